#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <memory>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/prompter.h"
#include "gui/diagram/background_command.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_window_host.h"
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

void ParameterWindow::load_background(const QString& fileName) {
  if (fileName.isEmpty()) return;
  backgroundLeft = 0;
  backgroundTop = 0;
  session_.set_background_file(param_.index(), "");
  backgroundVisible = false;
  if (QFileInfo::exists(fileName)) {
    try {
      background = BackgroundPicture::from_file(fileName);
    } catch (...) {
      // The window must not go on showing a picture it no longer has.
      background = BackgroundPicture();
      redraw();
      throw;
    }
    session_.set_background_file(param_.index(), fileName.toStdString());
    backgroundVisible = true;
  } else if (session_.prompter().ask_yes_no(fileName.toStdString() + ", background for " +
                                            param_.title + ", was not found. Search?") ==
             Answer::Yes) {
    host_.search_background(*this, fileName);
  }
  redraw();
}

void ParameterWindow::clear_background() {
  session_.set_background_file(param_.index(), "");
  backgroundVisible = false;
  background = BackgroundPicture();
  redraw();
}

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
  apply_background_step(before, after, "Open background", true);
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
  apply_background_step(before, after, "Paste background", !pasted.isNull());
}

void ParameterWindow::clear_background_step() {
  const BackgroundState before = background_state();
  if (before.picture.isNull() && before.file.empty()) return clear_background();
  BackgroundState after = before;
  after.picture = BackgroundPicture();
  after.file.clear();
  after.visible = false;
  apply_background_step(before, after, "Clear background", true);
}

void ParameterWindow::show_background(bool visible) {
  backgroundVisible = visible;
  redraw();
}

void ParameterWindow::copy_background() const {
  if (!background.isNull()) put_on_clipboard(background);
}

BackgroundState ParameterWindow::background_state() const {
  return {background, param_.backgroundFile, backgroundVisible, backgroundLeft, backgroundTop};
}

void ParameterWindow::set_background_state(const BackgroundState& state) {
  background = state.picture;
  session_.set_background_file(param_.index(), state.file);
  backgroundVisible = state.visible;
  backgroundLeft = state.left;
  backgroundTop = state.top;
  redraw();
}

void ParameterWindow::apply_background_step(const BackgroundState& before,
                                            const BackgroundState& after, const char* caption,
                                            bool modifiesDocument) {
  session_.apply(std::make_unique<BackgroundCommand>(host_.background_views(), param_.index(),
                                                     before, after, caption, modifiesDocument),
                 0);
}

}  // namespace vocanta
