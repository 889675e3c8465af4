#include "core/soundfile/split_sink.h"

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <utility>

#include "core/soundfile/label_file.h"
#include "core/soundfile/sample_file_sink.h"
#include "core/soundfile/sound_library.h"
#include "core/support/unique_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// The samples of a sample file start here, whatever its header holds.
constexpr size_t kHeaderSize = 1024;

void write_bytes(int fd, const char* bytes, size_t size, const std::string& target) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw VocantaError(file_failure("Cannot write to", target, errno));
    bytes += n;
    size -= static_cast<size_t>(n);
  }
}

}  // namespace

SplitSink::SplitSink(std::string folder, std::optional<AudioFormat> format,
                     std::string documentPath, int64_t firstIndex, Namer namer)
    : folder_(std::move(folder)),
      format_(format),
      documentPath_(std::move(documentPath)),
      next_(firstIndex),
      namer_(std::move(namer)) {}

void SplitSink::open() {
  failure_.clear();
  voices_.clear();
  errno = 0;
  const int fd = scratch_.create_scratch(folder_ + "/.voice");
  if (fd < 0) throw VocantaError(file_failure("Cannot create a file in", folder_, errno));
  ::close(fd);
  restart_scratch();
}

void SplitSink::restart_scratch() {
  errno = 0;
  std::FILE* file = std::fopen(scratch_.temp_path().c_str(), "wb");
  if (!file) throw VocantaError(file_failure("Cannot write to", scratch_.temp_path(), errno));
  samples_.attach(file, scratch_.temp_path(), 0, folder_);
}

void SplitSink::begin(const SinkFormat& format) {
  samplingFrequency_ = format.samplingFrequency;
  // Refused before hours of rendering, as a one-file build refuses its file.
  if (format_) {
    const int64_t perVoice = format.voices > 0 ? format.samples / format.voices : format.samples;
    check_audio_limits(folder_, *format_, samplingFrequency_, perVoice, 0);
    sound_library();
  }
}

size_t SplitSink::write(const int16_t* samples, size_t count) {
  const size_t kept = samples_.write(samples, count);
  if (kept < count && failure_.empty()) failure_ = samples_.failure();
  return kept;
}

void SplitSink::voice_done(int64_t, int64_t, const std::string& label) {
  const int64_t count = samples_.samples();
  if (!samples_.close()) throw VocantaError("Cannot write to " + scratch_.temp_path());
  const std::string target = namer_(next_++, label);
  auto pending = std::make_unique<PendingFile>();
  errno = 0;
  const UniqueFile file(std::fopen(scratch_.temp_path().c_str(), "rb"));
  if (!file) throw VocantaError(file_failure("Cannot read", scratch_.temp_path(), errno));
  if (format_)
    stage_audio_file(*pending, target, *format_, samplingFrequency_,
                     RawSamples{file.get(), scratch_.temp_path(), count});
  else
    stage_sample_file(*pending, target);
  voices_.push_back(std::move(pending));
  restart_scratch();
}

// The header of a plain build of the voice, then its samples.
void SplitSink::stage_sample_file(PendingFile& pending, const std::string& target) {
  std::string head =
      sample_file_header(target, "", samplingFrequency_, false, documentPath_).compose();
  // A header that does not fit is left out, and the samples still start at byte 1024.
  if (head.size() != kHeaderSize) head.assign(kHeaderSize, '\0');
  errno = 0;
  const int fd = pending.create(target);
  if (fd < 0) throw VocantaError(file_failure("Cannot create", target, errno));
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  write_bytes(fd, head.data(), head.size(), target);
  const UniqueFile from(std::fopen(scratch_.temp_path().c_str(), "rb"));
  if (!from) throw VocantaError(file_failure("Cannot read", scratch_.temp_path(), errno));
  char buffer[1 << 15];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, from.get())) > 0;)
    write_bytes(fd, buffer, n, target);
  if (std::ferror(from.get()))
    throw VocantaError(file_failure("Cannot read", scratch_.temp_path(), errno));
  if (!pending.direct() && ::fsync(fd) != 0)
    throw VocantaError(file_failure("Cannot write to", target, errno));
}

void SplitSink::finish() noexcept {
  samples_.close();
  scratch_.discard();
  if (!failure_.empty()) return abandon();
  try {
    put_in_place();
  } catch (const std::exception& e) {
    failure_ = e.what();
    abandon();
  }
}

void SplitSink::put_in_place() {
  companions_.prepare(folder_);
  for (const auto& voice : voices_) {
    errno = 0;
    if (!voice->commit())
      throw VocantaError(file_failure("Cannot write to", voice->target(), errno));
  }
  voices_.clear();
  companions_.commit();
}

void SplitSink::abandon() noexcept {
  samples_.close();
  scratch_.discard();
  voices_.clear();
  companions_.discard();
}

}  // namespace vocanta
