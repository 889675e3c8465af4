#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/playback/playback_source.h"

namespace vocanta {

class AudioOutput;
class Voice;
class VoiceStream;

// Plays the current voice while it is still being rendered (from a copy taken when the
// sound starts, on the source's thread), or samples already made, and tells where the
// sound is.
class VoicePlayer : public QObject {
  Q_OBJECT

 public:
  explicit VoicePlayer(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
  ~VoicePlayer() override;

  AudioOutput& output() { return *output_; }
  // Empty when playing could start; otherwise why not, for the user. The voice's
  // settings are read first (written with decimalSeparator), so refused settings throw
  // their usual error.
  QString play_voice(Voice& voice, uint32_t seed, char decimalSeparator);
  QString play_samples(std::vector<int16_t> samples, int samplingFrequency, int64_t from);
  void stop();
  bool playing() const { return source_ != nullptr; }
  // Whether the sound is the voice being rendered, rather than samples already made.
  bool rendering_voice() const { return stream_ != nullptr; }
  double position_seconds() const;

 signals:
  void position_changed(double seconds);
  void stopped();

 private:
  QString start(PlaybackSource::Producer produce, int samplingFrequency, double startSeconds);
  // Moves the cursor on; a failure of the rendering ends the sound and is reported.
  void tick();

  std::unique_ptr<AudioOutput> output_;
  std::unique_ptr<VoiceStream> stream_;
  std::vector<int16_t> samples_;
  std::unique_ptr<PlaybackSource> source_;
  int samplingFrequency_ = 0;
  double startSeconds_ = 0;
  QTimer cursor_;
};

}  // namespace vocanta
