#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vocanta {

class BatchList;
class BuildRun;
class SampleSink;
struct tbatchitem;

// The choices of the batch window that shape a batch build.
struct BatchBuildChoice {
  bool selectedOnly = false;    // "Selected batches only" rather than "All batches"
  bool combinations = false;    // "All combinations of batches" rather than "Each batch separately"
  bool includeWithout = false;  // "Include build without batch"
  // The batch list as displayed (names sorted), with its selection.
  std::vector<std::string> entries;
  std::vector<bool> selected;
};

// Shows the label of the voice being built in the batch window; empty when it is done.
class BatchProgress {
 public:
  virtual ~BatchProgress() = default;
  virtual void show_label(const std::string& label) = 0;
};

// A voice of a series once it is built: its place in the series (from 0), its label, the
// batch states it was built with, its first sample in the file, its length and the gain
// level matching gave it (none without).
struct BuiltVoice {
  int64_t index;
  const std::string& label;
  const BatchList& states;
  int64_t start;
  int64_t length;
  std::optional<double> gainDb = std::nullopt;
};
using VoiceRecorder = std::function<void(const BuiltVoice&)>;

// The batch list in the order the batch window shows it: names sorted without regard
// to letter case.
std::vector<std::string> sorted_batch_names(const BatchList& batches);

// The choice a script makes without the window: all batches, or only those named (in any
// letter case); throws VocantaError for a name the document has no batch of.
BatchBuildChoice scripted_batch_choice(const BatchList& batches, bool combinations,
                                       bool includeWithout, const std::vector<std::string>* only);

class BatchBuild {
 public:
  BatchBuild(BuildRun& run, BatchList& batches, BatchBuildChoice choice,
             BatchProgress* progress = nullptr);

  int64_t count_separate_builds() const;
  int64_t count_combination_builds() const;
  int64_t count() const;
  // The count, or a refusal that says the size of a series too large to count.
  int64_t checked_count() const;

  // Builds every voice of the series into path, one label line each. Refuses a series
  // without any voice before the file is touched.
  void build(const std::string& path);
  // The same into a destination of the caller's; path names the build.
  void build_into(SampleSink& sink, const std::string& path);
  // Told of every voice that build renders (a table of the series is made of them).
  void set_recorder(VoiceRecorder recorder) { recorder_ = std::move(recorder); }

  void build_labelled(const std::string& label);

  // Inside a running build: the voices range of the series rendered ahead on the run's
  // threads for as long as the result lives, or nothing when it has one thread.
  std::shared_ptr<void> render_ahead(int64_t first, int64_t end);

  // Walks the series inside a running build, setting the batch states of each voice in
  // turn and calling voice with its label where build would render it.
  void for_each_voice(const std::function<void(const std::string&)>& voice);

 private:
  // The batch each list entry names (nullptr for none), looked up in one pass.
  std::vector<const tbatchitem*> entry_batches() const;
  std::vector<int16_t> entry_ids() const;
  // The count, refusing a series without any voice.
  int64_t buildable_count() const;
  void build_voices();
  double combination_estimate() const;
  bool chosen(size_t index) const;
  bool counted(const std::vector<int16_t>& ids, size_t index) const;
  void build_separately(const std::vector<int16_t>& ids);
  void build_combinations(const std::vector<int16_t>& ids);
  void append_step(std::string& label, int16_t id, int16_t step) const;

  BuildRun& run_;
  BatchList* batches_;  // the voice's, or inside for_each_voice the build's copy's
  BatchBuildChoice choice_;
  BatchProgress* progress_;
  std::function<void(const std::string&)> voice_;
  VoiceRecorder recorder_;
};

}  // namespace vocanta
