#include "core/model/edit_history.h"

#include <algorithm>

namespace vocanta {

void EditHistory::push(std::unique_ptr<EditCommand> applied, uint64_t group) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(done_), entries_.end());
  if (saved_ != kUnreachable && saved_ > done_) saved_ = kUnreachable;
  if (open_ && group != 0 && !entries_.empty() && entries_.back().group == group) {
    auto& steps = entries_.back().steps;
    if (!steps.back()->absorb(*applied)) steps.push_back(std::move(applied));
    return;
  }
  Entry entry;
  entry.group = group;
  entry.steps.push_back(std::move(applied));
  entries_.push_back(std::move(entry));
  done_ = entries_.size();
  open_ = true;
}

void EditHistory::undo(Voice& voice) {
  if (!can_undo()) return;
  open_ = false;
  auto& steps = entries_[done_ - 1].steps;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) (*step)->revert(voice);
  --done_;
}

void EditHistory::redo(Voice& voice) {
  if (!can_redo()) return;
  open_ = false;
  for (auto& step : entries_[done_].steps) step->apply(voice);
  ++done_;
}

void EditHistory::clear() {
  entries_.clear();
  done_ = 0;
  open_ = false;
  saved_ = kUnreachable;
}

void EditHistory::mark_saved() {
  saved_ = done_;
  open_ = false;
}

bool EditHistory::differs_from_saved() const {
  if (saved_ == kUnreachable) return true;
  const size_t from = std::min(saved_, done_);
  const size_t to = std::max(saved_, done_);
  for (size_t i = from; i < to; ++i)
    for (const auto& step : entries_[i].steps)
      if (step->modifies_document()) return true;
  return false;
}

std::string EditHistory::undo_caption() const {
  return can_undo() ? entries_[done_ - 1].steps.front()->caption() : std::string();
}

std::string EditHistory::redo_caption() const {
  return can_redo() ? entries_[done_].steps.front()->caption() : std::string();
}

}  // namespace vocanta
