#include <QScreen>
#include <utility>

#include "core/document/session.h"
#include "core/support/vocanta_error.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/main_window.h"
#include "gui/main/statistics_window.h"
#include "gui/main/template_dialog.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/window_arrangement.h"
#include "gui/platform/window_places.h"
#include "gui/result/result_window.h"

namespace vocanta {
namespace {

// The room a window's title bar and borders take beside its contents.
QSize frame_extra(const QWidget& w) {
  return w.frameGeometry().size() - w.geometry().size();
}

// Places the window's frame on the rect.
void put(QWidget& w, const QRect& frame, bool resizable) {
  w.move(frame.topLeft());
  if (resizable) w.resize(frame.size() - frame_extra(w));
}

}  // namespace

void MainWindow::new_from_template() {
  const QString folder = templates_folder();
  if (folder.isEmpty())
    throw VocantaError(
        "No templates found: the folder examples/templates is neither beside the program "
        "nor installed");
  TemplateDialog dialog(list_templates(folder), this);
  if (dialog.exec() == QDialog::Accepted && !dialog.chosen().isEmpty())
    open_template(dialog.chosen());
}

void MainWindow::open_template(const QString& path) {
  DocumentLifecycle& document = session_->document();
  if (document.ask_save_changes()) document.open_copy(path.toStdString());
}

void MainWindow::arrange_windows() {
  std::vector<ParameterWindow*> shown;
  for (int i = 0; i < kParameterCount; ++i)
    if (windows_->window(i).isVisible()) shown.push_back(&windows_->window(i));
  PointEditor& editor = windows_->point_editor();
  ArrangeRequest request;
  request.available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
  request.mainFrame = frameGeometry().size();
  request.editorFrame = editor.frameGeometry().size();
  for (const ParameterWindow* w : shown) {
    request.windowFrame = request.windowFrame.expandedTo(w->frameGeometry().size());
    request.smallestFrames.push_back(w->smallest_size() + frame_extra(*w));
  }
  const Arrangement a = vocanta::arrange_windows(request);
  put(*this, a.main, false);
  put(editor, a.editor, false);
  windows_->keep_editor_place();
  for (size_t i = 0; i < shown.size(); ++i) put(*shown[i], a.windows[i], true);
}

std::vector<std::pair<QString, QWidget*>> MainWindow::placed_windows() {
  std::vector<std::pair<QString, QWidget*>> placed = {{"Main", this},
                                                      {"PointEditor", &windows_->point_editor()},
                                                      {"Batch", batchWindow_},
                                                      {"Statistics", statistics_},
                                                      {"Result", resultWindow_}};
  for (int i = 0; i < kParameterCount; ++i)
    placed.emplace_back(
        QString::fromUtf8(kParameterTable[i].key.data(), qsizetype(kParameterTable[i].key.size())),
        &windows_->window(i));
  return placed;
}

void MainWindow::save_window_places() {
  // A window never shown has no place of its own; one hidden now keeps the place it had.
  for (const auto& [name, window] : placed_windows())
    if (window->isVisible()) save_window_place(*store_, name, *window);
}

void MainWindow::show_batch_window() {
  // The window manager would put the tall window wherever the pointer is, partly off a
  // small screen; its first place is beside the main window instead.
  if (!std::exchange(batchWindowPlaced_, true)) place_beside(*batchWindow_, *this);
  batchWindow_->show();
  batchWindow_->raise();
}

void MainWindow::restore_window_places() {
  for (const auto& [name, window] : placed_windows()) {
    if (window == this || !restore_window_place(*store_, name, *window)) continue;
    if (window == &windows_->point_editor()) windows_->keep_editor_place();
    if (window == batchWindow_) batchWindowPlaced_ = true;
    if (window == resultWindow_) resultWindowPlaced_ = true;
  }
}

}  // namespace vocanta
