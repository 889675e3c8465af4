// The point editor's buttons and check boxes: the mouse mode of every diagram, a new
// curve, and the background and grid lines of the window worked on.
#include <QCheckBox>
#include <QPushButton>

#include "core/document/session.h"
#include "core/model/curve_commands.h"
#include "core/model/voice.h"
#include "core/support/prompter.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/platform/error_report.h"

namespace vocanta {

namespace {

constexpr const char* kOpenFilter = "Bitmap files (*.bmp)|*.bmp|Windows metafile (*.wmf)|*.wmf";

}  // namespace

void PointEditor::connect_buttons() {
  const auto on = [this](QPushButton* b, auto handler) {
    connect(b, &QPushButton::clicked, this, reported(handler));
  };
  on(addbutton, [this] { set_mode_everywhere(EditMode::Add); });
  on(movebutton, [this] { set_mode_everywhere(EditMode::Move); });
  on(deletebutton, [this] { set_mode_everywhere(EditMode::Delete); });
  on(markbutton, [this] { set_mode_everywhere(EditMode::Mark); });
  on(newcurvebutton, [this] { newcurve_click(); });
  on(openbutton, [this] { open_background(openFileName_); });
  on(savebutton, [this] { savebutton_click(); });
  on(pastebutton, [this] { window().paste_background(); });
  on(copybutton, [this] { copybutton_click(); });
  on(showbutton, [this] { window().show_background(true); });
  on(hidebutton, [this] { window().show_background(false); });
  on(backmove, [this] { backmove_click(); });
  on(clearbutton, [this] { window().clear_background_step(); });
  connect(majorcheck, &QCheckBox::clicked, this, reported([this](bool checked) {
            window().majorGrid = checked;
            window().redraw();
          }));
  connect(minorcheck, &QCheckBox::clicked, this, reported([this](bool checked) {
            window().minorGrid = checked;
            window().redraw();
          }));
}

void PointEditor::set_mode_everywhere(EditMode mode) {
  for (int i = 0; i < kParameterCount; ++i) windows_.window(i).set_edit_mode(mode);
}

void PointEditor::backmove_click() {
  // Only a picture that is shown can be dragged; the other diagrams keep their mode.
  for (int i = 0; i < kParameterCount; ++i) {
    ParameterWindow& w = windows_.window(i);
    if (w.backgroundVisible) w.set_edit_mode(EditMode::MoveBackground);
  }
}

void PointEditor::newcurve_click() {
  session_.apply(std::make_unique<NewCurveCommand>(window().parameter().index()));
  set_mode_everywhere(EditMode::Add);
}

void PointEditor::open_background(const QString& preset) {
  const std::string chosen =
      session_.prompter().open_file_name("Open background...", kOpenFilter, preset.toStdString());
  if (chosen.empty()) return;
  openFileName_ = QString::fromStdString(chosen);
  window().open_background(openFileName_);
}

void PointEditor::savebutton_click() {
  // The document's save asks the same for a pasted picture; one dialog remembers the file.
  session_.document().save_background(windows_.active_window() - 1);
}

void PointEditor::copybutton_click() {
  ParameterWindow& w = window();
  if (w.background.kind() != BackgroundPicture::Kind::None) w.copy_background();
}

}  // namespace vocanta
