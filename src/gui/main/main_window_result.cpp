// The main window's part in the result view: it owns the window, opens it from the
// View menu and tells it of every file a build has written.
#include <QFileInfo>
#include <utility>

#include "core/document/session.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/main_window.h"
#include "gui/platform/error_report.h"
#include "gui/platform/window_places.h"
#include "gui/result/result_window.h"

namespace vocanta {

void MainWindow::create_result_window() {
  resultWindow_ = new ResultWindow(*session_, this);
  session_->build_run().record_tracks(true);
  windows_->set_time_cursor_listener([this](double t) { resultWindow_->set_cursor_time(t); });
  resultWindow_->set_play_handler(
      [this](const std::vector<int16_t>& samples, int samplingFrequency, int64_t from) {
        run_reported([&] { play_samples(samples, samplingFrequency, from); });
      });
}

void MainWindow::show_result_window() {
  if (!std::exchange(resultWindowPlaced_, true)) place_at_foot(*resultWindow_, *this);
  resultWindow_->show();
  resultWindow_->raise();
  resultWindow_->activateWindow();
}

void MainWindow::result_built() {
  // A build broken off or failed leaves a file that is not the voice as drawn.
  if (session_->build_run().outcome() != "Done!") return;
  const QString path = QString::fromStdString(session_->document().samplePath);
  resultWindow_->show_built(QFileInfo(path).absoluteFilePath(),
                            std::make_shared<VoiceTracks>(session_->build_run().tracks()));
}

}  // namespace vocanta
