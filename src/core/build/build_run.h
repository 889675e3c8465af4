#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/build/build_host.h"
#include "core/build/level_match.h"
#include "core/soundfile/sample_sink.h"
#include "core/synthesis/engine.h"
#include "core/synthesis/render_break.h"
#include "core/synthesis/synthesis_settings.h"
#include "core/synthesis/voice_tracks.h"

namespace vocanta {

class SeriesJobs;
class Voice;
class VoiceRenderer;
struct BatchBuildChoice;
struct VoicePiece;
struct VoiceRange;

// A count beyond any build that could finish; products of counts stop there rather
// than overflow.
constexpr int64_t kCountLimit = INT64_MAX / 65536;
int64_t count_product(int64_t a, int64_t b);
// The samples of voices voices of length samples; throws, saying the size, when they
// reach the limit of counts.
int64_t series_samples(int64_t voices, int64_t length);

// The refusal of a labelled output whose name holds a line break: the label file's
// first line names it, and would not read back.
std::string line_break_in(const std::string& path);

// A build: one destination, one or more voices, one outcome. It renders block by block
// and hands each block to the sink; between blocks, and every so many partials inside
// long samples, the host shows progress and lets the user break.
class BuildRun : private RenderBreak {
 public:
  BuildRun(Voice& voice, BuildHost& host);
  BuildRun(const BuildRun&) = delete;
  BuildRun& operator=(const BuildRun&) = delete;
  ~BuildRun() override;

  // The document that the header's proc item names; no build writes over it.
  void set_document_path(const std::string& path) { documentPath_ = path; }
  const std::string& document_path() const { return documentPath_; }
  // Which engine renders the voices of the builds to come; the fast one unless told.
  void set_engine(Engine engine) { engine_ = engine; }
  // The decimal separator of the settings texts and of the numbers the host is shown;
  // "." unless told.
  void set_decimal_separator(char separator) { decimalSeparator_ = separator; }
  char decimal_separator() const { return decimalSeparator_; }
  // The document open now, when it is another file (saved under a new name since it was
  // loaded): the build must not write over it either.
  void set_open_document(const std::string& path) { openDocument_ = path; }
  // Keeps the drawn F0 and formants of each voice of the builds to come, for a picture of
  // the built file; off unless asked, since scripts have no picture to show.
  void record_tracks(bool on) { recordTracks_ = on; }
  const VoiceTracks& tracks() const { return tracks_; }
  // Replaces the clock seed of randomized builds (for reproducible runs).
  void set_fixed_seed(uint32_t seed) {
    fixedSeed_ = seed;
    hasFixedSeed_ = true;
  }

  // Brings each voice of the builds to come to target before it is rounded and written;
  // none (the default) leaves the samples as rendered.
  void set_level_target(std::optional<LevelTarget> target) { levelTarget_ = target; }
  const std::optional<LevelTarget>& level_target() const { return levelTarget_; }
  // How many values of a voice level matching holds in memory; the rest wait in a
  // temporary file.
  void set_level_memory(size_t values) { levelMemory_ = values; }
  // The gain level matching gave the voice rendered last; none without level matching.
  std::optional<double> voice_gain_dB() const { return voiceGain_; }

  // How many threads the builds to come render on: the voices of a series side by side,
  // a plain voice on two at most; 0 (the default) takes default_jobs.
  void set_jobs(int jobs) { jobs_ = jobs; }
  int jobs() const;
  // Inside a series: threads that render the voices range of the series ahead, or none
  // when the series renders on one thread. supply_voices then hands render_voice their
  // samples instead of rendering them.
  std::unique_ptr<SeriesJobs> series_jobs(const BatchBuildChoice& choice, VoiceRange range);
  void supply_voices(SeriesJobs* jobs) { supply_ = jobs; }

  // A plain build into path. An error raised on the way still finishes the build.
  void build_voice(const std::string& path);
  // One voice and its label, inside run or run_series.
  void render_voice(const std::string& label);
  // One voice rendered and dropped: a slice of a series starts its voices where the
  // voices before it left the renderer.
  void pass_voice();
  // Throttled: the host refreshes only as often as it can afford, and lets window
  // messages run when it has not refreshed for a while; true when they ran.
  bool show_progress(double t);
  void request_break() {
    if (running_) breakRequested_ = true;
  }

  // Refuses a build while another runs.
  void check_idle() const;
  // Runs body, which renders the voices, as a plain build into path, every batch off; the
  // build is finished also on an error.
  template <typename Body>
  void run(const std::string& path, Body body) {
    check_idle();
    check_destination(path, false);
    const std::unique_ptr<SampleSink> sink = sink_for(path, false);
    run_into(*sink, path, kPlainBuild, body);
  }
  // The same into a destination of the caller's; path names the build.
  template <typename Body>
  void run(SampleSink& sink, const std::string& path, Body body) {
    run_into(sink, path, kPlainBuild, body);
  }
  // Texts the next series into a path of its own puts in place with its file.
  void set_series_companions(CompanionSource source) { companions_ = std::move(source); }
  // A labelled series of voices into path: a label line per voice, and the progress
  // counts all of them.
  template <typename Body>
  void run_series(const std::string& path, int64_t voices, Body body) {
    CompanionSource companions = std::exchange(companions_, {});
    check_idle();
    check_destination(path, true);
    const std::unique_ptr<SampleSink> sink = sink_for(path, true);
    if (companions) sink->set_companions(std::move(companions));
    run_into(*sink, path, voices, body);
  }
  // The same into a destination of the caller's; a slice of a series may hold no voice.
  template <typename Body>
  void run_series(SampleSink& sink, const std::string& path, int64_t voices, Body body) {
    check_idle();
    check_destination(path, true);
    run_into(sink, path, voices, body);
  }

  // The voice the build renders: inside a build a copy taken at its start, so that the
  // user may edit the document meanwhile and a file is never a mix of two voices;
  // otherwise the document's voice.
  Voice& rendered_voice() { return rendered_ ? *rendered_ : voice_; }

  const SynthesisSettings& settings() const { return settings_; }
  BuildOutcome outcome() const { return outcome_; }
  // The file the last build wrote (or began to write): autosave may since have pointed
  // the document's sample path elsewhere.
  const std::string& destination() const { return destination_; }

  bool running() const { return running_; }
  bool break_requested() const { return breakRequested_; }
  // Why the destination took fewer samples than it was given, such as "Cannot write to
  // PATH: No space left on device"; empty when it took them all.
  const std::string& write_failure() const { return writeFailure_; }
  // A break or a write failure: a series starts no further voice.
  bool cut_short() const { return breakRequested_ || !writeFailure_.empty(); }
  int64_t samples_computed() const { return samplesComputed_; }
  int64_t samples_in_file() const { return samplesInFile_; }
  int64_t total_samples() const { return totalSamples_; }
  OverloadState overload_state() const { return overloadState_; }
  double seconds_taken() const { return endSeconds_ - startSeconds_; }

 private:
  static constexpr int64_t kPlainBuild = -1;
  // seriesVoices: the voices of a labelled series, kPlainBuild for one plain voice.
  template <typename Body>
  void run_into(SampleSink& sink, const std::string& path, int64_t seriesVoices, Body& body) {
    check_idle();
    try {
      begin_build(sink, path, seriesVoices);
      body();
      end_build();
    } catch (...) {
      finish_after_error();
      throw;
    }
  }
  // Refuses, before anything is written, a sample file or (labelled) a label file that
  // would be the document or each other.
  void check_destination(const std::string& path, bool labelled) const;
  // An audio file by the extension of path, otherwise a sample file.
  std::unique_ptr<SampleSink> sink_for(const std::string& path, bool series) const;
  Answer break_now(double t) override;
  void begin_build(SampleSink& sink, const std::string& path, int64_t seriesVoices);
  void start_rendering(int64_t seriesVoices);
  bool render_block();
  // The voice whole into memory or a temporary file, then scaled to the level target,
  // rounded and written; label names it when it clips. write_matched returns how many
  // samples clipped.
  void render_matched(const std::string& label);
  int64_t write_matched(VoiceValues& values, double gainDb);
  // The voice the series' threads rendered, written as render_voice would write it.
  void write_supplied(const std::string& label);
  // One piece of the voice that began at sample start; false at the voice's end.
  bool write_piece(VoicePiece& piece, int64_t start, const std::string& label);
  // Of the voice that began at sample start, the time of its last sample in the file.
  double voice_seconds(int64_t start) const;
  // Hands count samples to the sink; false when it kept fewer.
  bool store(const int16_t* samples, size_t count);
  void end_build();
  void finish_after_error();
  void finish_sink();
  // Ends the copy's life; the document's voice takes its random sequence and, after a
  // series, the batch states its last voice left, as if it had been built itself.
  void release_copy();
  void set_overload_state(OverloadState state);
  std::string percent_text() const;

  Voice& voice_;
  std::unique_ptr<Voice> rendered_;
  bool series_ = false;
  BuildHost& host_;
  SynthesisSettings settings_;
  SampleSink* sink_ = nullptr;
  std::unique_ptr<VoiceRenderer> renderer_;
  int jobs_ = 0;
  SeriesJobs* supply_ = nullptr;
  Engine engine_ = Engine::Fast;
  char decimalSeparator_ = '.';
  std::string documentPath_;
  std::string openDocument_;
  CompanionSource companions_;
  std::string destination_;
  BuildOutcome outcome_ = BuildOutcome::None;
  std::string writeFailure_;
  uint32_t fixedSeed_ = 0;
  bool hasFixedSeed_ = false;
  bool recordTracks_ = false;
  VoiceTracks tracks_;
  bool failed_ = false;
  std::optional<LevelTarget> levelTarget_;
  size_t levelMemory_ = size_t{1} << 22;  // 32 MB of values, 87 s at 48 kHz
  std::optional<double> voiceGain_;

  bool running_ = false;
  bool breakRequested_ = false;
  int64_t samplesInFile_ = 0;
  int64_t samplesComputed_ = 0;
  int64_t totalSamples_ = 0;
  double startSeconds_ = 0, endSeconds_ = 0;
  OverloadState overloadState_ = OverloadState::Unknown;
  uint32_t lastRefresh_ = 0;
  double avgRefreshCost_ = 10;
};

}  // namespace vocanta
