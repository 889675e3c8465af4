#include "core/soundfile/audio_file_sink.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "core/soundfile/sound_library.h"
#include "core/support/unique_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {}  // namespace

AudioFileSink::AudioFileSink(std::string path, AudioFormat format)
    : path_(std::move(path)), format_(format), labels_(path_) {}

void AudioFileSink::open() {
  errno = 0;
  const int fd = staging_.create_scratch(path_);
  if (fd < 0) throw VocantaError(file_failure("Cannot create", path_, errno));
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
    throw VocantaError(file_failure("Cannot create", path_, errno));
  }
  failure_.clear();
  cues_.clear();
  samples_.attach(file, staging_.temp_path(), 0, path_);
}

void AudioFileSink::begin(const SinkFormat& format) {
  samplingFrequency_ = format.samplingFrequency;
  labelled_ = format.labelled;
  // Hours of rendering must not end in a file the format cannot hold.
  check_audio_limits(path_, format_, samplingFrequency_, format.samples,
                     labelled_ && format_ == AudioFormat::Wav ? format.voices : 0);
  // Nor in a sound library that is not there.
  sound_library();
  if (labelled_) labels_.start();
}

size_t AudioFileSink::write(const int16_t* samples, size_t count) {
  const size_t kept = samples_.write(samples, count);
  if (kept < count && failure_.empty()) failure_ = samples_.failure();
  return kept;
}

void AudioFileSink::voice_done(int64_t start, int64_t count, const std::string& label) {
  if (!labelled_) return;
  labels_.append(start, count, label);
  cues_.push_back(CuePoint{start, label});
}

void AudioFileSink::finish() noexcept {
  if (!samples_.is_open()) return;
  if (!samples_.close() && failure_.empty()) failure_ = "Cannot write to " + path_;
  if (failure_.empty()) {
    try {
      companions_.prepare(path_);
      make_audio_file();
      // Only beside the audio file it describes: a label file put in place before would
      // describe an earlier file if this one failed.
      labels_.commit();
      companions_.commit();
    } catch (const std::exception& e) {
      failure_ = e.what();
    }
  }
  labels_.discard();
  companions_.discard();
  staging_.discard();
}

void AudioFileSink::abandon() noexcept {
  samples_.close();
  labels_.discard();
  companions_.discard();
  staging_.discard();
}

void AudioFileSink::make_audio_file() {
  errno = 0;
  const UniqueFile file(std::fopen(staging_.temp_path().c_str(), "rb"));
  if (!file) throw VocantaError(file_failure("Cannot read", staging_.temp_path(), errno));
  write_audio_file(path_, format_, samplingFrequency_,
                   RawSamples{file.get(), staging_.temp_path(), samples_.samples()}, cues_);
}

}  // namespace vocanta
