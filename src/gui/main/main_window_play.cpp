#include <QAction>
#include <QLabel>
#include <QMenu>

#include "core/document/session.h"
#include "core/support/prompter.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/gui_build_host.h"
#include "gui/main/main_window.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/error_report.h"
#include "gui/playback/voice_player.h"
#include "gui/result/result_window.h"

namespace vocanta {

void MainWindow::create_player(std::unique_ptr<AudioOutput> output) {
  delete player_;
  player_ = new VoicePlayer(std::move(output), this);
  connect(player_, &VoicePlayer::position_changed, this, [this](double t) {
    // The result view follows the parameter windows' cursor; without it, on its own.
    if (progressCursorAction_->isChecked())
      windows_->draw_sync_cursors(0, 0, t, t);
    else if (resultWindow_)
      resultWindow_->set_cursor_time(t);
  });
  connect(player_, &VoicePlayer::stopped, this, [this] {
    progresslabel_->setText("");
    refresh_play_actions();
  });
}

void MainWindow::set_audio_output(std::unique_ptr<AudioOutput> output) {
  create_player(std::move(output));
  refresh_play_actions();
}

void MainWindow::create_play_actions() {
  playAction_ = fileMenu_->addAction("&Play voice", QKeySequence("F5"), this,
                                     [this] { run_reported([this] { play_voice(); }); });
  playAction_->setObjectName("playAction");
  stopAction_ = fileMenu_->addAction("St&op", this, [this] { player_->stop(); });
  stopAction_->setObjectName("stopAction");
  stopAction_->setShortcuts({QKeySequence("Shift+F5"), QKeySequence(Qt::Key_Escape)});
  refresh_play_actions();
}

void MainWindow::play_voice() {
  session_->build_run().check_idle();
  played(player_->play_voice(session_->voice(), buildHost_->clock_seed(),
                             session_->decimal_separator()));
}

void MainWindow::play_samples(std::vector<int16_t> samples, int samplingFrequency, int64_t from) {
  session_->build_run().check_idle();
  played(player_->play_samples(std::move(samples), samplingFrequency, from));
}

void MainWindow::played(const QString& refused) {
  refresh_play_actions();
  if (refused.isEmpty())
    progresslabel_->setText("Playing");
  else
    cannot_play(refused);
}

void MainWindow::cannot_play(const QString& why) {
  // Said once in a box; after that the label is enough, since pressing F5 again in the
  // same session changes nothing about the machine.
  progresslabel_->setText("Cannot play");
  if (toldCannotPlay_.contains(why)) return;
  toldCannotPlay_ << why;
  prompter_->message(why.toStdString());
}

void MainWindow::stop_playback() {
  player_->stop();
}

void MainWindow::refresh_play_actions() {
  if (!playAction_) return;
  playAction_->setEnabled(!building_);
  stopAction_->setEnabled(player_->playing());
}

}  // namespace vocanta
