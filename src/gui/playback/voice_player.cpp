#include "gui/playback/voice_player.h"

#include <algorithm>

#include "core/synthesis/voice_stream.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

// Made before the device asks, so that the sound starts at once.
constexpr size_t kFirst = 2048;
// How far ahead of the sound card the voice is rendered, in seconds.
constexpr double kAheadSeconds = 2.0;

}  // namespace

VoicePlayer::VoicePlayer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : QObject(parent), output_(std::move(output)) {
  connect(output_.get(), &AudioOutput::ran_dry, this, reported(this, &VoicePlayer::stop));
  connect(&cursor_, &QTimer::timeout, this, reported(this, &VoicePlayer::tick));
  cursor_.setInterval(40);
}

VoicePlayer::~VoicePlayer() {
  output_->disconnect(this);
  output_->stop();
  if (stream_) stream_->interrupt();
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
  const auto ahead = static_cast<size_t>(kAheadSeconds * samplingFrequency);
  source_ = std::make_unique<PlaybackSource>(std::move(produce), kFirst, ahead);
  const QString refused = output_->start(*source_, samplingFrequency);
  if (!refused.isEmpty()) {
    source_.reset();
    samples_.clear();
    return refused;
  }
  cursor_.start();
  emit position_changed(startSeconds_);
  return {};
}

void VoicePlayer::tick() {
  if (source_) {
    try {
      source_->rethrow_failure();
    } catch (...) {
      stop();
      throw;
    }
  }
  emit position_changed(position_seconds());
}

void VoicePlayer::stop() {
  if (!source_) return;
  cursor_.stop();
  output_->stop();
  // A slow voice gives up its sample at once rather than hold the source's thread.
  if (stream_) stream_->interrupt();
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
