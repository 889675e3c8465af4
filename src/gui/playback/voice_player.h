#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vocanta {

class AudioOutput;
class Voice;
class VoiceStream;

// Samples as the sound card pulls them: made ahead in idle time, and made at once when
// the card asks for more than is ready, so that a slow voice stutters rather than stops.
class PlaybackSource : public QIODevice {
  Q_OBJECT

 public:
  // Puts up to count samples into out and returns how many; 0 means the sound is over.
  using Producer = std::function<size_t(int16_t* out, size_t count)>;
  explicit PlaybackSource(Producer produce);

  // Makes samples until ahead samples wait; false once the producer has ended.
  bool make_ahead(size_t ahead, size_t most);
  bool atEnd() const override { return ended_ && waiting() == 0; }
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override;
  // Samples made and not yet taken by the device.
  size_t waiting() const { return buffer_.size() - taken_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  void make(size_t count);

  Producer produce_;
  std::vector<int16_t> buffer_;
  size_t taken_ = 0;
  bool ended_ = false;
};

// Plays the current voice while it is still being rendered, or samples already made,
// and tells where the sound is.
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
  // Whether the voice model is being read: edits that rebuild it must stop the sound.
  bool rendering_voice() const { return stream_ != nullptr; }
  double position_seconds() const;

 signals:
  void position_changed(double seconds);
  void stopped();

 private:
  QString start(PlaybackSource::Producer produce, int samplingFrequency, double startSeconds);
  void make_ahead();

  std::unique_ptr<AudioOutput> output_;
  std::unique_ptr<VoiceStream> stream_;
  std::vector<int16_t> samples_;
  std::unique_ptr<PlaybackSource> source_;
  int samplingFrequency_ = 0;
  double startSeconds_ = 0;
  QTimer ahead_;
  QTimer cursor_;
};

}  // namespace vocanta
