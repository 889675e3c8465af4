#pragma once

#include <string>
#include <utility>

#include "core/model/edit_history.h"
#include "gui/diagram/background_views.h"

namespace vocanta {

// A change of a window's background (Open, Paste, Clear, a move), taken back as a whole.
// The views live as long as the program, longer than any history that names them.
class BackgroundCommand : public EditCommand {
 public:
  BackgroundCommand(BackgroundViews& views, int index, BackgroundState before,
                    BackgroundState after, std::string caption, bool modifiesDocument)
      : views_(views),
        index_(index),
        before_(std::move(before)),
        after_(std::move(after)),
        caption_(std::move(caption)),
        modifies_(modifiesDocument) {}
  std::string caption() const override { return caption_; }
  void apply(Voice&) override { views_.apply_background(index_, after_); }
  void revert(Voice&) override { views_.apply_background(index_, before_); }
  bool modifies_document() const override { return modifies_; }

 private:
  BackgroundViews& views_;
  int index_;
  BackgroundState before_, after_;
  std::string caption_;
  bool modifies_;
};

}  // namespace vocanta
