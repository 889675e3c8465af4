#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "core/build/build_run.h"
#include "core/document/session.h"
#include "core/soundfile/audio_file.h"
#include "core/support/prompter.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/gui_build_host.h"
#include "gui/main/main_window.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/message_box.h"

namespace vocanta {

uint32_t GuiBuildHost::tick_count() {
  return clocks_.tick_count();
}

uint32_t GuiBuildHost::clock_seed() {
  return clocks_.clock_seed();
}

void GuiBuildHost::add_statistics_line(const std::string& line) {
  main_.statistics_->add_line(QString::fromStdString(line));
}

void GuiBuildHost::build_running(bool running) {
  // Playing renders the same voice; the build has it to itself.
  if (running) main_.stop_playback();
  main_.building_ = running;
  main_.refresh_play_actions();
  main_.breakbutton_->setText(running ? "&Break" : "&Build...");
  main_.batchWindow_->build_running(running);
}

void GuiBuildHost::autosave(const std::string& samplePath) {
  if (main_.settingsDialog_->autosave()) main_.session_->document().autosave(samplePath);
}

void GuiBuildHost::refresh_progress(double t, const std::string& percent) {
  main_.link_->set_HeavyLoad(true);
  if (main_.progressCursorAction_->isChecked()) main_.windows_->draw_sync_cursors(0, 0, t, t);
  main_.progresslabel_->setText(QString::fromStdString(percent));
  main_.progresslabel_->repaint();
}

void GuiBuildHost::process_events() {
  QCoreApplication::processEvents();
}

void GuiBuildHost::overload_state(int state) {
  main_.set_overload_state(state);
}

void GuiBuildHost::outcome(const std::string& text) {
  main_.progresslabel_->setText(QString::fromStdString(text));
}

void GuiBuildHost::beep() {
  QApplication::beep();
}

void GuiBuildHost::build_finished() {
  // Ending the heavy load releases a program that waited for it, before the news.
  main_.link_->set_HeavyLoad(false);
  main_.link_->new_file();
  main_.result_built();
}

void MainWindow::set_overload_state(int state) {
  olgreen_->setVisible(state == 0);
  olred_->setVisible(state == 1);
  olgray_->setVisible(state == 2);
  ollabel_->setText(state == 1 ? "Overload, reduce gain!" : "");
}

void MainWindow::break_or_build() {
  BuildRun& run = session_->build_run();
  if (run.running())
    run.request_break();
  else
    build_voice_command();
}

void MainWindow::build_voice_command() {
  // Refused at once rather than after the file dialog, which would overwrite nothing.
  session_->build_run().check_idle();
  DocumentLifecycle& document = session_->document();
  const std::string path =
      prompter_->save_file_name("Build file as", kBuildFileFilter, document.samplePath);
  if (path.empty()) return;
  document.samplePath = path;
  build_voice(QString::fromStdString(path));
}

void MainWindow::build_voice(const QString& path) {
  const BuildRunningScope building;
  session_->build_voice(path.toStdString());
}

}  // namespace vocanta
