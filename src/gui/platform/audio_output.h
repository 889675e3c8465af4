#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QIODevice;

namespace vocanta {

// Where playback's samples go: the sound card, or in tests a recorder. It pulls 16-bit
// mono samples from a source device as fast as it plays them.
class AudioOutput : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Empty when there is a device to play on; otherwise why not, for the user.
  virtual QString missing_device() const = 0;
  // Starts pulling from source; an empty result means it plays, otherwise it says why not.
  virtual QString start(QIODevice& source, int samplingFrequency) = 0;
  virtual void stop() = 0;
  // Microseconds of sound played since the start.
  virtual qint64 played_usecs() const = 0;

 signals:
  // The source ran dry (or the device failed) and the device has nothing left to play.
  void ran_dry();
};

// The default output device of the system, through Qt Multimedia.
std::unique_ptr<AudioOutput> make_system_audio_output();

}  // namespace vocanta
