#include "core/synthesis/batch_build.h"

#include <algorithm>

#include "core/model/batch_list.h"
#include "core/support/text_case.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/build_run.h"

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

BatchBuild::BatchBuild(BuildRun& run, BatchList& batches, BatchBuildChoice choice,
                       BatchProgress* progress)
    : run_(run), batches_(batches), choice_(std::move(choice)), progress_(progress) {
  choice_.selected.resize(choice_.entries.size(), false);
}

bool BatchBuild::counted(size_t index) const {
  // An entry that names no batch could never finish its steps.
  if (!batches_.find_batch(entry_id(index))) return false;
  return !choice_.selectedOnly || choice_.selected[index];
}

int16_t BatchBuild::entry_id(size_t index) const {
  return batches_.find_batch_id(choice_.entries[index]);
}

int64_t BatchBuild::count_separate_builds() const {
  int64_t n = 0;
  for (size_t i = 0; i < choice_.entries.size(); ++i)
    if (counted(i)) n += steps_of(batches_.find_batch(entry_id(i)));
  // The voice without batch is built whether or not batches exist, so it is counted so.
  return choice_.includeWithout ? n + 1 : n;
}

int64_t BatchBuild::count_combination_builds() const {
  const int64_t without = choice_.includeWithout ? 1 : 0;
  int64_t n = 1;
  bool any = false;
  for (size_t i = 0; i < choice_.entries.size(); ++i)
    if (counted(i)) {
      any = true;
      n = count_product(n, steps_of(batches_.find_batch(entry_id(i))) + without);
    }
  // With no counted batch the series is the one voice without batch, if asked for.
  return any ? n : without;
}

int64_t BatchBuild::count() const {
  return choice_.combinations ? count_combination_builds() : count_separate_builds();
}

void BatchBuild::build(const std::string& path) {
  const int64_t voices = count();
  if (voices == 0)
    throw VocantaError(
        "There is nothing to build: choose batches or check \"Include build without batch\"");
  run_.run_series(path, voices, [&] {
    if (!choice_.combinations) {
      build_separately();
    } else {
      batches_.reset_all_batches();
      batches_.activate_all_batches();
      if (!choice_.entries.empty())
        recursive_batchbuild(0, "");
      else
        build_labelled("No batch");
    }
  });
}

void BatchBuild::build_separately() {
  if (choice_.includeWithout) {
    batches_.deactivate_batches();
    build_labelled("No batch");
  }
  for (size_t i = 0; i < choice_.entries.size() && !run_.break_requested(); ++i) {
    if (!counted(i)) continue;
    batches_.reset_all_batches();
    const int16_t id = entry_id(i);
    batches_.activate_only_batch(id);
    batches_.reset_batch(id);
    for (int16_t s = batches_.step_batch(id); s >= 0 && !run_.break_requested();
         s = batches_.step_batch(id))
      build_labelled(batches_.batch_name(id) + " " + std::to_string(s));
  }
}

void BatchBuild::recursive_batchbuild(size_t index, const std::string& label) {
  const int16_t id = entry_id(index);
  const bool last = index + 1 == choice_.entries.size();
  int16_t s = batches_.reset_batch(id);
  if (!choice_.includeWithout) s = batches_.step_batch(id);
  if (!counted(index)) {
    if (!last)
      recursive_batchbuild(index + 1, label);
    else if (!label.empty())
      build_labelled(label);
    else if (choice_.includeWithout)
      build_labelled("No batch");
    return;
  }
  while (s != -2 && !run_.break_requested()) {
    const std::string deeper =
        s == -1 ? label : label + " " + batches_.batch_name(id) + " " + std::to_string(s);
    if (last)
      build_labelled(deeper.empty() ? "No batch" : deeper);
    else
      recursive_batchbuild(index + 1, deeper);
    s = batches_.step_batch(id);
  }
}

void BatchBuild::build_labelled(const std::string& label) {
  if (progress_) progress_->show_label(label);
  run_.render_voice(label);
  if (progress_) progress_->show_label("");
}

}  // namespace vocanta
