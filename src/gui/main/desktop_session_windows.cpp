// Where the desktop's windows go: templates opened, windows arranged, placed at their
// first show, and their places kept between runs.
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "core/document/session.h"
#include "core/support/vocanta_error.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/desktop_session.h"
#include "gui/main/statistics_window.h"
#include "gui/main/template_dialog.h"
#include "gui/platform/error_report.h"
#include "gui/platform/program_data.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/window_arrangement.h"
#include "gui/platform/window_places.h"
#include "gui/playback/voice_player.h"
#include "gui/result/result_window.h"

namespace vocanta {
namespace {

// The room a window's title bar and borders take beside its contents.
QSize frame_extra(const QWidget& w) {
  return w.frameGeometry().size() - w.geometry().size();
}

// Room for the curves beyond what a parameter window's axis fields and labels take: less
// and neither the curves can be read nor their points hit.
constexpr QSize kReadableDiagram(240, 120);
// What a window arranged alone or with few others grows to, however small it was.
constexpr QSize kUsefulFrame(640, 440);

// Places the window's frame on the rect.
void put(QWidget& w, const QRect& frame, bool resizable) {
  w.move(frame.topLeft());
  if (resizable) w.resize(frame.size() - frame_extra(w));
}

}  // namespace

void DesktopSession::new_from_template() {
  const QString folder = templates_folder();
  if (folder.isEmpty())
    throw VocantaError(
        "No templates found: none of these folders holds a document: " +
        data_folder_candidates(running_program_places(), "templates").join(", ").toStdString());
  TemplateDialog dialog(list_templates(folder), &main_);
  if (dialog.exec() == QDialog::Accepted && !dialog.chosen().isEmpty())
    open_template(dialog.chosen());
}

void DesktopSession::open_template(const QString& path) {
  DocumentLifecycle& document = session_->document();
  if (document.ask_save_changes()) document.open_copy(path.toStdString());
}

void DesktopSession::arrange_windows() {
  std::vector<ParameterWindow*> shown;
  for (int i = 0; i < kParameterCount; ++i)
    if (windows_->window(i).isVisible()) shown.push_back(&windows_->window(i));
  PointEditor& editor = windows_->point_editor();
  ArrangeRequest request;
  request.available = main_.screen() ? main_.screen()->availableGeometry() : QRect(0, 0, 1280, 800);
  request.mainFrame = main_.frameGeometry().size();
  request.editorFrame = editor.frameGeometry().size();
  request.windowFrame = kUsefulFrame;
  for (const ParameterWindow* w : shown) {
    request.windowFrame = request.windowFrame.expandedTo(w->frameGeometry().size());
    request.smallestFrames.push_back(w->smallest_size() + kReadableDiagram + frame_extra(*w));
  }
  request.titleHeight = std::max(24, frame_extra(main_).height());
  const Arrangement a = vocanta::arrange_windows(request);
  put(main_, a.main, false);
  put(editor, a.editor, false);
  windows_->keep_editor_place();
  // In the order of the cascade, so that each title bar stays above the window before.
  for (size_t i = 0; i < shown.size(); ++i) {
    put(*shown[i], a.windows[i], true);
    shown[i]->raise();
  }
}

std::vector<std::pair<QString, QWidget*>> DesktopSession::placed_windows() {
  std::vector<std::pair<QString, QWidget*>> placed = {{"Main", &main_},
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

void DesktopSession::save_window_places() {
  // A window never shown has no place of its own; one hidden now keeps the place it had.
  for (const auto& [name, window] : placed_windows())
    if (window->isVisible()) save_window_place(*store_, name, *window);
}

void DesktopSession::restore_window_places() {
  for (const auto& [name, window] : placed_windows()) {
    if (window == &main_ || !restore_window_place(*store_, name, *window)) continue;
    if (window == &windows_->point_editor()) windows_->keep_editor_place();
    if (window == batchWindow_) batchWindowPlaced_ = true;
    if (window == resultWindow_) resultWindowPlaced_ = true;
  }
}

void DesktopSession::show_batch_window() {
  // The window manager would put the tall window wherever the pointer is, partly off a
  // small screen; its first place is beside the main window instead.
  if (!std::exchange(batchWindowPlaced_, true)) place_beside(*batchWindow_, main_);
  batchWindow_->show();
  batchWindow_->raise();
}

void DesktopSession::create_result_window() {
  resultWindow_ = new ResultWindow(*session_, &main_);
  session_->build_run().record_tracks(true);
  windows_->set_time_cursor_listener([this](double t) { resultWindow_->set_cursor_time(t); });
  resultWindow_->set_play_handler(
      [this](const std::vector<int16_t>& samples, int samplingFrequency, int64_t from) {
        run_reported([&] { play_samples(samples, samplingFrequency, from); });
      });
  resultWindow_->set_stop_handler([this] {
    if (!player_->playing()) return false;
    stop_playback();
    return true;
  });
}

void DesktopSession::show_result_window() {
  if (!std::exchange(resultWindowPlaced_, true)) place_at_foot(*resultWindow_, main_);
  resultWindow_->show();
  resultWindow_->raise();
  resultWindow_->activateWindow();
}

}  // namespace vocanta
