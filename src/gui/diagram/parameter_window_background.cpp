#include "core/model/voice.h"
#include "gui/diagram/parameter_window.h"

namespace vocanta {

void TForm2::open_background(const QString& fileName) {
  load_background(fileName);
}
void TForm2::paste_background() {}
void TForm2::clear_background_step() {
  clear_background();
}
void TForm2::show_background(bool visible) {
  backgroundVisible = visible;
  redraw();
}
void TForm2::save_background(const QString&) {}
void TForm2::copy_background() const {}
BackgroundState TForm2::background_state() const {
  return {background, param_.backgroundFile, backgroundVisible, backgroundLeft, backgroundTop};
}
void TForm2::set_background_state(const BackgroundState& state) {
  background = state.picture;
  param_.backgroundFile = state.file;
  backgroundVisible = state.visible;
  backgroundLeft = state.left;
  backgroundTop = state.top;
  redraw();
}

void BackgroundCommand::apply(Voice&) {
  window_.set_background_state(after_);
}
void BackgroundCommand::revert(Voice&) {
  window_.set_background_state(before_);
}

}  // namespace vocanta
