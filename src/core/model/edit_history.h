#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vocanta {

class Voice;

// One change of a document's content that can be taken back and made again. A command
// is applied once before it enters the history; undo reverts it, redo applies it again.
class EditCommand {
 public:
  virtual ~EditCommand() = default;
  // Names the step in the menu: "&Undo " + caption.
  virtual std::string caption() const = 0;
  virtual void apply(Voice& voice) = 0;
  virtual void revert(Voice& voice) = 0;
  // Takes over a later step of the same kind (the next position of a drag, the next
  // keystroke in a field), so that one undo takes back both; false when it cannot.
  virtual bool absorb(const EditCommand&) { return false; }
  // Whether applying it makes the document differ from its file.
  virtual bool modifies_document() const { return true; }
};

// The steps that undo and redo walk through. Steps pushed with the same non-zero group
// as the step on top (one drag, one visit to a dialog) become one entry.
class EditHistory {
 public:
  void push(std::unique_ptr<EditCommand> applied, uint64_t group = 0);
  void undo(Voice& voice);
  void redo(Voice& voice);
  void clear();

  bool can_undo() const { return done_ > 0; }
  bool can_redo() const { return done_ < entries_.size(); }
  // The caption of the step that undo or redo would take; empty when there is none.
  std::string undo_caption() const;
  std::string redo_caption() const;
  size_t size() const { return entries_.size(); }

  // The state now is the one in the document's file: after a save, and after a New or
  // a read that left the document unmodified. The next step starts an entry of its own,
  // so that the saved state stays one undo can return to.
  void mark_saved();
  // Whether a step that changes the document lies between the state now and the saved
  // one; true when the saved state can no longer be reached (never marked, cleared,
  // or dropped by a step taken after an undo).
  bool differs_from_saved() const;

  // A new group for the steps of one drag or one dialog visit.
  uint64_t new_group() { return ++lastGroup_; }

 private:
  struct Entry {
    std::vector<std::unique_ptr<EditCommand>> steps;
    uint64_t group = 0;
  };

  std::vector<Entry> entries_;
  size_t done_ = 0;
  // The top entry may still grow: nothing was undone or redone since it was pushed.
  bool open_ = false;
  uint64_t lastGroup_ = 0;
  static constexpr size_t kUnreachable = static_cast<size_t>(-1);
  // The value done_ had when the document was saved.
  size_t saved_ = kUnreachable;
};

}  // namespace vocanta
