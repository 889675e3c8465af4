#include "core/build/batch_build.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "core/build/build_run.h"
#include "core/build/series_jobs.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/support/text_case.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// Voices one batch contributes: steps 0..N; a negative N has none.
int64_t steps_of(const tbatchitem* b) {
  return b && b->nSteps >= 0 ? b->nSteps + 1 : 0;
}

}  // namespace

std::vector<std::string> sorted_batch_names(const BatchList& batches) {
  std::vector<std::string> names;
  for (const tbatchitem* b = batches.head(); b; b = b->next) names.push_back(b->name);
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return to_lower_text(a) < to_lower_text(b);
  });
  return names;
}

BatchBuildChoice scripted_batch_choice(const BatchList& batches, bool combinations,
                                       bool includeWithout, const std::vector<std::string>* only) {
  BatchBuildChoice c;
  c.combinations = combinations;
  c.includeWithout = includeWithout;
  c.entries = sorted_batch_names(batches);
  c.selected.assign(c.entries.size(), false);
  if (!only) return c;
  c.selectedOnly = true;
  for (const std::string& name : *only) {
    const int16_t id = batches.find_batch_id(name);
    if (id == 0) throw VocantaError("The document has no batch named '" + name + "'");
    for (size_t i = 0; i < c.entries.size(); ++i)
      if (batches.find_batch_id(c.entries[i]) == id) c.selected[i] = true;
  }
  return c;
}

BatchBuild::BatchBuild(BuildRun& run, BatchList& batches, BatchBuildChoice choice,
                       BatchProgress* progress)
    : run_(run), batches_(&batches), choice_(std::move(choice)), progress_(progress) {
  choice_.selected.resize(choice_.entries.size(), false);
}

std::vector<const tbatchitem*> BatchBuild::entry_batches() const {
  // One pass over the chain: a list of thousands of batches must not look every entry
  // up anew. The first batch of a name wins, as find_batch_id finds it.
  std::unordered_map<std::string, const tbatchitem*> byName;
  for (const tbatchitem* b = batches_->head(); b; b = b->next)
    byName.emplace(normalize_batch_name(b->name), b);
  std::vector<const tbatchitem*> found;
  found.reserve(choice_.entries.size());
  for (const std::string& entry : choice_.entries) {
    const auto it = byName.find(normalize_batch_name(entry));
    found.push_back(it == byName.end() ? nullptr : it->second);
  }
  return found;
}

std::vector<int16_t> BatchBuild::entry_ids() const {
  std::vector<int16_t> ids;
  for (const tbatchitem* b : entry_batches()) ids.push_back(b ? b->id : 0);
  return ids;
}

bool BatchBuild::chosen(size_t index) const {
  return !choice_.selectedOnly || choice_.selected[index];
}

bool BatchBuild::counted(const std::vector<int16_t>& ids, size_t index) const {
  // An entry that names no batch could never finish its steps.
  return batches_->find_batch(ids[index]) && chosen(index);
}

int64_t BatchBuild::count_separate_builds() const {
  const std::vector<const tbatchitem*> batches = entry_batches();
  int64_t n = 0;
  for (size_t i = 0; i < batches.size(); ++i)
    if (chosen(i)) n += steps_of(batches[i]);
  // The voice without batch is built whether or not batches exist, so it is counted so.
  return choice_.includeWithout ? n + 1 : n;
}

int64_t BatchBuild::count_combination_builds() const {
  const std::vector<const tbatchitem*> batches = entry_batches();
  const int64_t without = choice_.includeWithout ? 1 : 0;
  int64_t n = 1;
  bool any = false;
  for (size_t i = 0; i < batches.size(); ++i)
    if (batches[i] && chosen(i)) {
      any = true;
      n = count_product(n, steps_of(batches[i]) + without);
    }
  // With no counted batch the series is the one voice without batch, if asked for.
  return any ? n : without;
}

int64_t BatchBuild::count() const {
  return choice_.combinations ? count_combination_builds() : count_separate_builds();
}

// The combinations in floating point: only their size is wanted, and it may be far
// beyond 64 bits.
double BatchBuild::combination_estimate() const {
  const std::vector<const tbatchitem*> batches = entry_batches();
  const int64_t without = choice_.includeWithout ? 1 : 0;
  double n = 1;
  for (size_t i = 0; i < batches.size(); ++i)
    if (batches[i] && chosen(i)) n *= static_cast<double>(steps_of(batches[i]) + without);
  return n;
}

int64_t BatchBuild::checked_count() const {
  const int64_t n = count();
  if (n < kCountLimit) return n;
  char size[32];
  std::snprintf(size, sizeof size, "%.3g", combination_estimate());
  throw VocantaError("The series has about " + std::string(size) +
                     " voices: too many to count or build (at most " +
                     std::to_string(kCountLimit - 1) + ")");
}

int64_t BatchBuild::buildable_count() const {
  const int64_t voices = count();
  if (voices == 0)
    throw VocantaError(
        "There is nothing to build: choose batches or check \"Include build without batch\"");
  return voices;
}

void BatchBuild::build(const std::string& path) {
  const int64_t voices = buildable_count();
  run_.run_series(path, voices, [&] { build_voices(); });
}

void BatchBuild::build_into(SampleSink& sink, const std::string& path) {
  const int64_t voices = buildable_count();
  run_.run_series(sink, path, voices, [&] { build_voices(); });
}

std::shared_ptr<void> BatchBuild::render_ahead(int64_t first, int64_t end) {
  std::shared_ptr<SeriesJobs> jobs = run_.series_jobs(choice_, VoiceRange{first, end});
  if (!jobs) return nullptr;
  run_.supply_voices(jobs.get());
  // The run takes no pieces once the threads are gone.
  return {jobs.get(), [this, jobs](void*) mutable {
            run_.supply_voices(nullptr);
            jobs.reset();
          }};
}

void BatchBuild::build_voices() {
  const std::shared_ptr<void> ahead = render_ahead(0, count());
  int64_t index = 0;
  for_each_voice([&](const std::string& label) {
    const int64_t start = run_.samples_in_file();
    build_labelled(label);
    if (recorder_)
      recorder_(BuiltVoice{index, label, *batches_, start, run_.samples_in_file() - start,
                           run_.voice_gain_dB()});
    ++index;
  });
}

void BatchBuild::for_each_voice(const std::function<void(const std::string&)>& voice) {
  // The build renders a copy of the voice: its batches are the ones to step. The copy
  // keeps the identifiers, so the entries name the same batches in it.
  struct Restore {
    BatchList*& at;
    BatchList* const was;
    ~Restore() { at = was; }
  } restore{batches_, std::exchange(batches_, &run_.rendered_voice().batches)};
  voice_ = voice;
  const std::vector<int16_t> ids = entry_ids();
  if (!choice_.combinations) {
    build_separately(ids);
  } else {
    batches_->reset_all_batches();
    batches_->activate_all_batches();
    if (!ids.empty())
      build_combinations(ids);
    else
      voice_("No batch");
  }
  voice_ = nullptr;
}

void BatchBuild::build_separately(const std::vector<int16_t>& ids) {
  if (choice_.includeWithout) {
    batches_->deactivate_batches();
    voice_("No batch");
  }
  for (size_t i = 0; i < ids.size() && !run_.cut_short(); ++i) {
    if (!counted(ids, i)) continue;
    batches_->reset_all_batches();
    const int16_t id = ids[i];
    batches_->activate_only_batch(id);
    batches_->reset_batch(id);
    for (int16_t s = batches_->step_batch(id); s >= 0 && !run_.cut_short();
         s = batches_->step_batch(id))
      voice_(batches_->batch_name(id) + " " + std::to_string(s));
  }
}

// " Name step", the part of a combination's label for a batch applied at a step, appended
// piece by piece (a sum of strings here draws a false -Wrestrict warning of GCC 12).
void BatchBuild::append_step(std::string& label, int16_t id, int16_t step) const {
  label.append(" ").append(batches_->batch_name(id)).append(" ").append(std::to_string(step));
}

// An odometer with one wheel per list entry, the first turning slowest: a list of
// thousands of batches needs no stack of that depth. A wheel is mounted reset (and
// stepped to 0 unless the voice without batch is wanted); an entry that is not counted
// has one position, a counted one turns until its batch has run through or the build
// is cut short. Each voice is built at the last wheel.
void BatchBuild::build_combinations(const std::vector<int16_t>& ids) {
  struct Wheel {
    int16_t step;      // -1: the batch is left out of the voice, -2: it has run through
    size_t labelSize;  // the label's length before this wheel's part
  };
  const size_t last = ids.size() - 1;
  std::vector<Wheel> wheels;
  std::string label;
  bool mount = true;  // otherwise the wheels below the deepest one have run through
  while (mount || !wheels.empty()) {
    const size_t index = mount ? wheels.size() : wheels.size() - 1;
    if (mount) {
      int16_t s = batches_->reset_batch(ids[index]);
      if (!choice_.includeWithout) s = batches_->step_batch(ids[index]);
      wheels.push_back({s, label.size()});
    } else if (counted(ids, index)) {
      wheels.back().step = batches_->step_batch(ids[index]);
    }
    const Wheel& w = wheels.back();
    label.resize(w.labelSize);
    const bool isCounted = counted(ids, index);
    if (isCounted ? w.step == -2 || run_.cut_short() : !mount) {
      wheels.pop_back();
      mount = false;
      continue;
    }
    if (isCounted && w.step != -1) append_step(label, ids[index], w.step);
    mount = index < last;
    if (mount) continue;
    if (isCounted || !label.empty())
      voice_(label.empty() ? "No batch" : label);
    else if (choice_.includeWithout)
      voice_("No batch");
    if (!isCounted) wheels.pop_back();
  }
}

void BatchBuild::build_labelled(const std::string& label) {
  if (progress_) progress_->show_label(label);
  run_.render_voice(label);
  if (progress_) progress_->show_label("");
}

}  // namespace vocanta
