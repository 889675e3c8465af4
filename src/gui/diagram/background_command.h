#pragma once

#include <string>

#include "core/model/edit_history.h"
#include "gui/platform/background_picture.h"

namespace vocanta {

class ParameterWindow;

// Everything of a parameter window's background that a step can change.
struct BackgroundState {
  BackgroundPicture picture;
  std::string file;  // the parameter's backgroundFile
  bool visible = false;
  int16_t left = 0, top = 0;
};

// A change of a window's background (Open, Paste, Clear, a move), taken back as a whole.
// The windows live as long as the program, longer than any history that names them.
class BackgroundCommand : public EditCommand {
 public:
  BackgroundCommand(ParameterWindow& window, BackgroundState before, BackgroundState after,
                    std::string caption, bool modifiesDocument)
      : window_(window),
        before_(std::move(before)),
        after_(std::move(after)),
        caption_(std::move(caption)),
        modifies_(modifiesDocument) {}
  std::string caption() const override { return caption_; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  bool modifies_document() const override { return modifies_; }
  // A build never looks at pictures.
  bool harmless_to_builds() const override { return true; }

 private:
  ParameterWindow& window_;
  BackgroundState before_, after_;
  std::string caption_;
  bool modifies_;
};

}  // namespace vocanta
