#include <QClipboard>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <memory>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/prompter.h"
#include "gui/diagram/parameter_window.h"
#include "gui/platform/picture_clipboard.h"

namespace vocanta {

namespace {

// The window whose Open is under way. A missing file's search may run Open again; the
// outer Open then records everything as one step.
ParameterWindow* openingWindow = nullptr;

bool same(const BackgroundState& a, const BackgroundState& b) {
  return a.picture == b.picture && a.file == b.file && a.visible == b.visible && a.left == b.left &&
         a.top == b.top;
}

}  // namespace

void ParameterWindow::open_background(const QString& fileName) {
  if (openingWindow == this) return load_background(fileName);
  const QScopedValueRollback<ParameterWindow*> opening(openingWindow, this);
  const BackgroundState before = background_state();
  try {
    load_background(fileName);
  } catch (...) {
    // An unreadable file leaves the window as it was, so there is nothing to take back.
    set_background_state(before);
    throw;
  }
  const BackgroundState after = background_state();
  if (same(before, after)) return;
  session_.apply(std::make_unique<BackgroundCommand>(*this, before, after, "Open background", true),
                 0);
}

void ParameterWindow::paste_background() {
  const BackgroundPicture pasted = picture_from_clipboard(QGuiApplication::clipboard()->mimeData());
  const BackgroundState before = background_state();
  BackgroundState after = before;
  after.visible = true;
  after.left = after.top = 0;
  after.picture = pasted.isNull() ? before.picture : pasted;
  if (pasted.kind() == BackgroundPicture::Kind::Bitmap) {
    after.file = "*.bmp";
  } else if (pasted.kind() == BackgroundPicture::Kind::Metafile) {
    after.file = "*.wmf";
  } else {
    session_.prompter().message("Unsupported clipboard data format");
    after.file.clear();
    after.visible = false;
  }
  if (same(before, after)) return redraw();
  // Only a pasted picture counts as a change of the document; a refused paste merely
  // hides what was there, and undo shows it again.
  session_.apply(std::make_unique<BackgroundCommand>(*this, before, after, "Paste background",
                                                     !pasted.isNull()),
                 0);
}

void ParameterWindow::clear_background_step() {
  const BackgroundState before = background_state();
  if (before.picture.isNull() && before.file.empty()) return clear_background();
  BackgroundState after = before;
  after.picture = BackgroundPicture();
  after.file.clear();
  after.visible = false;
  session_.apply(
      std::make_unique<BackgroundCommand>(*this, before, after, "Clear background", true), 0);
}

void ParameterWindow::show_background(bool visible) {
  backgroundVisible = visible;
  redraw();
}

void ParameterWindow::save_background(const QString& fileName) {
  if (background.isNull()) return;
  background.save(fileName);
  param_.backgroundFile = fileName.toStdString();
}

void ParameterWindow::copy_background() const {
  if (!background.isNull()) put_on_clipboard(background);
}

BackgroundState ParameterWindow::background_state() const {
  return {background, param_.backgroundFile, backgroundVisible, backgroundLeft, backgroundTop};
}

void ParameterWindow::set_background_state(const BackgroundState& state) {
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
