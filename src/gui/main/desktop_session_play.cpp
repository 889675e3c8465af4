// Playback on the desktop: the player, its cursor in the windows, and what it could not do.
#include "core/document/session.h"
#include "core/support/prompter.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/desktop_session.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/error_report.h"
#include "gui/playback/voice_player.h"
#include "gui/result/result_window.h"

namespace vocanta {

void DesktopSession::create_player(std::unique_ptr<AudioOutput> output) {
  delete player_;
  player_ = new VoicePlayer(std::move(output), this);
  connect(player_, &VoicePlayer::position_changed, this, reported([this](double t) {
            // The result view follows the parameter windows' cursor; without it, on its own.
            if (progressCursor_)
              windows_->draw_sync_cursors(0, 0, t, t);
            else if (resultWindow_)
              resultWindow_->set_cursor_time(t);
          }));
  connect(player_, &VoicePlayer::stopped, this, reported([this] {
            emit progressShown("");
            emit playingChanged();
          }));
}

void DesktopSession::set_audio_output(std::unique_ptr<AudioOutput> output) {
  create_player(std::move(output));
  emit playingChanged();
}

void DesktopSession::play_voice() {
  session_->build_run().check_idle();
  played(
      player_->play_voice(session_->voice(), clocks_.clock_seed(), session_->decimal_separator()));
}

void DesktopSession::play_samples(std::vector<int16_t> samples, int samplingFrequency,
                                  int64_t from) {
  session_->build_run().check_idle();
  played(player_->play_samples(std::move(samples), samplingFrequency, from));
}

void DesktopSession::played(const QString& refused) {
  emit playingChanged();
  if (refused.isEmpty())
    emit progressShown("Playing");
  else
    cannot_play(refused);
}

void DesktopSession::cannot_play(const QString& why) {
  // Said once in a box; after that the label is enough, since pressing F5 again in the
  // same session changes nothing about the machine.
  emit progressShown("Cannot play");
  if (toldCannotPlay_.contains(why)) return;
  toldCannotPlay_ << why;
  prompter_->message(why.toStdString());
}

void DesktopSession::stop_playback() {
  player_->stop();
}

}  // namespace vocanta
