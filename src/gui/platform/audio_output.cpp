#include "gui/platform/audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>

#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

class SystemAudioOutput : public AudioOutput {
 public:
  SystemAudioOutput() {
    drain_.setSingleShot(true);
    connect(&drain_, &QTimer::timeout, this, &AudioOutput::ran_dry);
  }

  QString missing_device() const override {
    if (!QMediaDevices::defaultAudioOutput().isNull()) return {};
    return "No audio output device was found, so Vocanta cannot play the voice. Build it "
           "into a WAV file to listen to it elsewhere.";
  }

  QString start(QIODevice& source, int samplingFrequency) override {
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(samplingFrequency);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull()) return missing_device();
    if (!device.isFormatSupported(format))
      return QString("The audio device %1 cannot play 16-bit samples at %2 Hz.")
          .arg(device.description())
          .arg(samplingFrequency);
    sink_ = std::make_unique<QAudioSink>(device, format);
    connect(sink_.get(), &QAudioSink::stateChanged, this,
            reported(this, &SystemAudioOutput::state_changed));
    source_ = &source;
    sink_->start(&source);
    if (sink_->error() == QAudio::OpenError) {
      stop();
      return QString("The audio device %1 could not be opened.").arg(device.description());
    }
    return {};
  }

  void stop() override {
    drain_.stop();
    if (!sink_) return;
    // Before the stop, whose state change must not count as the sound running dry.
    const std::unique_ptr<QAudioSink> sink = std::move(sink_);
    sink->disconnect(this);
    sink->stop();
    source_ = nullptr;
  }

  qint64 played_usecs() const override {
    if (!sink_) return 0;
    // What the device has taken less what still waits in its buffer.
    const qint64 waiting = std::max<qint64>(sink_->bufferSize() - sink_->bytesFree(), 0);
    const qint64 usecs = sink_->processedUSecs() - sink_->format().durationForBytes(waiting);
    return std::max<qint64>(usecs, 0);
  }

  ~SystemAudioOutput() override { stop(); }

 private:
  void state_changed(QAudio::State state) {
    // Idle is also an underrun; only a source at its end means the sound is over, and
    // then the device still plays what it holds: stopping now would cut that off.
    if (state == QAudio::IdleState && source_ && source_->atEnd()) {
      const qint64 held = sink_->format().durationForBytes(sink_->bufferSize());
      drain_.start(static_cast<int>(held / 1000) + 100);
    }
    if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError) emit ran_dry();
  }

  std::unique_ptr<QAudioSink> sink_;
  QIODevice* source_ = nullptr;
  QTimer drain_;
};

}  // namespace

std::unique_ptr<AudioOutput> make_system_audio_output() {
  return std::make_unique<SystemAudioOutput>();
}

}  // namespace vocanta
