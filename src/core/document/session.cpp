#include "core/document/session.h"

#include <algorithm>
#include <utility>

#include "core/model/edit_commands.h"

namespace vocanta {

Session::Session(Prompter& prompter, DocumentHost& documentHost, BuildHost& buildHost)
    : prompter_(&prompter),
      document_(voice_, history_, prompter, documentHost),
      run_(voice_, buildHost) {}

void Session::set_prompter(Prompter& prompter) {
  prompter_ = &prompter;
  document_.set_prompter(prompter);
}

void Session::set_decimal_separator(char separator) {
  decimalSeparator_ = separator;
  document_.set_decimal_separator(separator);
  run_.set_decimal_separator(separator);
}

void Session::set_x_limits(int index, const AxisTexts& limits) {
  Parameter& p = voice_.parameter(index);
  p.xMin = limits.min;
  p.xMax = limits.max;
  voice_.events.notify({ModelChange::Kind::AxisLimits, index});
}

void Session::fit_time_axes(uint64_t group) {
  const AxisTexts range = time_range(voice_.settings);
  const auto fits = [&](const Parameter& p) {
    return p.xQuantity != quantity::kTime || (p.xMin == range.min && p.xMax == range.max);
  };
  // An OK that changes nothing leaves no step to undo.
  if (std::all_of(voice_.parameters().begin(), voice_.parameters().end(), fits)) return;
  apply(std::make_unique<TimeAxesCommand>(), group);
}

void Session::set_y_limits(int index, const AxisTexts& limits) {
  Parameter& p = voice_.parameter(index);
  p.yMin = limits.min;
  p.yMax = limits.max;
  voice_.events.notify({ModelChange::Kind::AxisLimits, index});
}

void Session::set_background_file(int index, std::string file) {
  vocanta::set_background_file(voice_, index, std::move(file));
}

void Session::apply(std::unique_ptr<EditCommand> command, uint64_t group) {
  command->apply(voice_);
  if (command->modifies_document()) document_.set_modified(true);
  history_.push(std::move(command), group);
  history_changed();
}

void Session::undo() {
  if (!history_.can_undo()) return;
  history_.undo(voice_);
  document_.set_modified(history_.differs_from_saved());
  history_changed();
}

void Session::redo() {
  if (!history_.can_redo()) return;
  history_.redo(voice_);
  document_.set_modified(history_.differs_from_saved());
  history_changed();
}

void Session::history_changed() {
  voice_.events.notify({ModelChange::Kind::History});
}

void Session::build_voice(const std::string& path) {
  run_.set_document_path(document_.lastLoadedPath);
  run_.set_open_document(document_.documentPath);
  run_.build_voice(path);
}

void Session::build_batches(const std::string& path, BatchBuildChoice choice,
                            BatchProgress* progress) {
  run_.set_document_path(document_.lastLoadedPath);
  run_.set_open_document(document_.documentPath);
  BatchBuild(run_, voice_.batches, std::move(choice), progress).build(path);
}

}  // namespace vocanta
