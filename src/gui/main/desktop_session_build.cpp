// The build as the desktop shows it: the button, the percentage, the lamps, the progress
// cursor in the parameter windows, the statistics and the result view.
#include <QApplication>
#include <QFileInfo>
#include <charconv>
#include <cstdint>
#include <string>

#include "core/build/build_run.h"
#include "core/document/session.h"
#include "core/soundfile/audio_file.h"
#include "core/support/prompter.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/desktop_session.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/message_box.h"
#include "gui/result/result_window.h"

namespace vocanta {
namespace {

// A gain with its sign and two decimals, as vocanta-cli prints it, with the separator of
// the other numbers in the windows.
std::string signed_gain(double dB, char separator) {
  char text[400];  // the longest fixed text of a double
  const auto [end, ec] = std::to_chars(text, text + sizeof text, dB, std::chars_format::fixed, 2);
  std::string gain = ec == std::errc() ? std::string(text, end) : std::string("?");
  for (char& c : gain)
    if (c == '.') c = separator;
  return gain.front() == '-' ? gain : "+" + gain;
}

}  // namespace

uint32_t DesktopSession::tick_count() {
  return clocks_.tick_count();
}

uint32_t DesktopSession::clock_seed() {
  return clocks_.clock_seed();
}

void DesktopSession::add_statistics_line(const std::string& line) {
  statistics_->add_line(QString::fromStdString(line));
}

void DesktopSession::build_running(bool running) {
  // The build wants the cores that playback renders on; the sound would stutter.
  if (running) stop_playback();
  building_ = running;
  // The progress cursor marks a build under way; none may stay behind once it ends.
  if (!running) windows_->draw_sync_cursors(-1, -1, 0, 0);
  batchWindow_->build_running(running);
  emit buildRunningChanged(running);
}

void DesktopSession::autosave(const std::string& samplePath) {
  if (settingsDialog_->autosave())
    session_->document().autosave(batchWindow_->autosave_path(samplePath));
}

void DesktopSession::refresh_progress(double t, const std::string& percent) {
  link_->set_HeavyLoad(true);
  if (progressCursor_) windows_->draw_sync_cursors(0, 0, t, t);
  emit progressShown(QString::fromStdString(percent));
}

void DesktopSession::process_events() {
  QCoreApplication::processEvents();
}

void DesktopSession::overload_state(OverloadState state) {
  emit overloadChanged(state);
}

void DesktopSession::voice_overload(const std::string& label, int64_t count, double gainDb) {
  // The lamp says that some voice clipped; the log says which, since a series has many.
  add_statistics_line("Overload, reduce gain! " +
                      (label.empty() ? std::string("The voice") : "The voice '" + label + "'") +
                      " clips " + std::to_string(count) + (count == 1 ? " sample" : " samples") +
                      " after a gain of " + signed_gain(gainDb, session_->decimal_separator()) +
                      " dB");
}

void DesktopSession::outcome(BuildOutcome outcome) {
  const std::string_view text = shown_text(outcome);
  emit progressShown(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void DesktopSession::beep() {
  QApplication::beep();
}

void DesktopSession::build_finished() {
  // Ending the heavy load releases a program that waited for it, before the news.
  link_->set_HeavyLoad(false);
  link_->new_file();
  result_built();
}

void DesktopSession::break_or_build() {
  BuildRun& run = session_->build_run();
  if (run.running())
    run.request_break();
  else
    build_voice_command();
}

void DesktopSession::build_voice_command() {
  // Refused at once rather than after the file dialog, which would overwrite nothing.
  session_->build_run().check_idle();
  DocumentLifecycle& document = session_->document();
  const std::string path =
      prompter_->save_file_name("Build file as", kBuildFileFilter, document.samplePath);
  if (path.empty()) return;
  document.samplePath = path;
  build_voice(QString::fromStdString(path));
}

void DesktopSession::build_voice(const QString& path) {
  const BuildRunningScope building;
  session_->build_voice(path.toStdString());
}

void DesktopSession::result_built() {
  // A build broken off or failed leaves a file that is not the voice as drawn; the
  // voices in a folder are each a file, and the view shows a build's one file only.
  if (session_->build_run().outcome() != BuildOutcome::Done || batchWindow_->building_split())
    return;
  const QString path = QString::fromStdString(session_->build_run().destination());
  resultWindow_->show_built(QFileInfo(path).absoluteFilePath(),
                            std::make_shared<VoiceTracks>(session_->build_run().tracks()));
}

}  // namespace vocanta
