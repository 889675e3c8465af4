#include "gui/playback/voice_player.h"

#include <algorithm>
#include <cstring>

#include "core/synthesis/voice_stream.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

// Made per turn of the event loop: short enough to keep the windows lively.
constexpr size_t kSlice = 2048;
// How far ahead of the sound card the voice is rendered, in seconds.
constexpr double kAheadSeconds = 2.0;

}  // namespace

PlaybackSource::PlaybackSource(Producer produce) : produce_(std::move(produce)) {
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 PlaybackSource::bytesAvailable() const {
  return static_cast<qint64>(waiting() * sizeof(int16_t)) + QIODevice::bytesAvailable();
}

void PlaybackSource::make(size_t count) {
  if (ended_) return;
  if (taken_ > 0 && taken_ == buffer_.size()) {
    buffer_.clear();
    taken_ = 0;
  }
  const size_t before = buffer_.size();
  buffer_.resize(before + count);
  const size_t made = produce_(buffer_.data() + before, count);
  buffer_.resize(before + made);
  if (made == 0) ended_ = true;
}

bool PlaybackSource::make_ahead(size_t ahead, size_t most) {
  if (!ended_ && waiting() < ahead) make(std::min(most, ahead - waiting()));
  return !ended_;
}

qint64 PlaybackSource::readData(char* data, qint64 maxSize) {
  const auto wanted = static_cast<size_t>(maxSize) / sizeof(int16_t);
  while (waiting() < wanted && !ended_) make(wanted - waiting());
  const size_t count = std::min(wanted, waiting());
  std::memcpy(data, buffer_.data() + taken_, count * sizeof(int16_t));
  taken_ += count;
  // The samples already played are dropped once they are many, not at every read.
  if (taken_ > (1u << 20)) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(taken_));
    taken_ = 0;
  }
  return static_cast<qint64>(count * sizeof(int16_t));
}

VoicePlayer::VoicePlayer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : QObject(parent), output_(std::move(output)) {
  connect(output_.get(), &AudioOutput::ran_dry, this, reported(this, &VoicePlayer::stop));
  connect(&ahead_, &QTimer::timeout, this, reported(this, &VoicePlayer::make_ahead));
  connect(&cursor_, &QTimer::timeout, this,
          reported([this] { emit position_changed(position_seconds()); }));
  cursor_.setInterval(40);
}

VoicePlayer::~VoicePlayer() {
  output_->disconnect(this);
  output_->stop();
}

QString VoicePlayer::play_voice(Voice& voice, uint32_t seed, char decimalSeparator) {
  stop();
  if (QString missing = output_->missing_device(); !missing.isEmpty()) return missing;
  stream_ = std::make_unique<VoiceStream>(voice, seed, decimalSeparator);
  VoiceStream& stream = *stream_;
  const QString refused =
      start([&stream](int16_t* out, size_t count) { return stream.render(out, count); },
            stream.sampling_frequency(), 0);
  if (!refused.isEmpty()) stream_.reset();
  return refused;
}

QString VoicePlayer::play_samples(std::vector<int16_t> samples, int samplingFrequency,
                                  int64_t from) {
  stop();
  if (QString missing = output_->missing_device(); !missing.isEmpty()) return missing;
  samples_ = std::move(samples);
  size_t next = static_cast<size_t>(std::clamp<int64_t>(from, 0, std::ssize(samples_)));
  return start(
      [this, next](int16_t* out, size_t count) mutable {
        const size_t n = std::min(count, samples_.size() - next);
        std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(next), n, out);
        next += n;
        return n;
      },
      samplingFrequency, static_cast<double>(next) / samplingFrequency);
}

QString VoicePlayer::start(PlaybackSource::Producer produce, int samplingFrequency,
                           double startSeconds) {
  samplingFrequency_ = samplingFrequency;
  startSeconds_ = startSeconds;
  source_ = std::make_unique<PlaybackSource>(std::move(produce));
  // The first slice before the device asks, so that the sound starts at once.
  source_->make_ahead(kSlice, kSlice);
  const QString refused = output_->start(*source_, samplingFrequency);
  if (!refused.isEmpty()) {
    source_.reset();
    samples_.clear();
    return refused;
  }
  ahead_.start(0);
  cursor_.start();
  emit position_changed(startSeconds_);
  return {};
}

void VoicePlayer::make_ahead() {
  const auto ahead = static_cast<size_t>(kAheadSeconds * samplingFrequency_);
  if (!source_ || !source_->make_ahead(ahead, kSlice)) {
    ahead_.stop();
    return;
  }
  // At once while behind; once far enough ahead, only now and then.
  ahead_.setInterval(source_->waiting() < ahead ? 0 : 20);
}

void VoicePlayer::stop() {
  if (!source_) return;
  ahead_.stop();
  cursor_.stop();
  output_->stop();
  source_.reset();
  stream_.reset();
  samples_.clear();
  samples_.shrink_to_fit();
  emit stopped();
}

double VoicePlayer::position_seconds() const {
  return startSeconds_ + static_cast<double>(output_->played_usecs()) / 1e6;
}

}  // namespace vocanta
