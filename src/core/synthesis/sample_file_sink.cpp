#include "core/synthesis/sample_file_sink.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/sample_header.h"

namespace vocanta {
namespace {

// "Cannot write to PATH: No space left on device": what failed and the system's reason.
std::string failure(const std::string& what, const std::string& path, int error) {
  std::string text = what + " " + path;
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

}  // namespace

SampleFileSink::SampleFileSink(std::string path, std::string documentPath)
    : path_(std::move(path)),
      labelPath_(change_extension(path_, ".CSV")),
      documentPath_(std::move(documentPath)) {}

void SampleFileSink::open() {
  errno = 0;
  if (std::FILE* f = std::fopen(path_.c_str(), "wb"))
    std::fclose(f);
  else
    throw VocantaError(failure("Cannot create", path_, errno));
}

void SampleFileSink::begin(const SinkFormat& format) {
  labelled_ = format.labelled;
  samplesWritten_ = 0;
  writeFailure_.clear();
  write_header(format);
  errno = 0;
  file_ = std::fopen(path_.c_str(), "r+b");
  if (!file_ || std::fseek(file_, 1024, SEEK_SET) != 0)
    throw VocantaError(failure("Cannot write to", path_, errno));
  // Unbuffered, so that a block that does not fit on the disk shows as a short write.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if (labelled_) start_label_file();
}

void SampleFileSink::write_header(const SinkFormat& format) {
  thead h;
  h.set_file_name(path_);
  h.set("file", "samp");
  h.set("sftot", std::to_string(format.samplingFrequency));
  h.set("nchans", "1");
  h.set("msb", "last");
  if (format.labelled) h.set("labels", labelPath_);
  h.add_proc("Vocanta " + documentPath_);
  // A header that cannot be written still leaves the samples at byte 1024.
  h.write();
}

void SampleFileSink::start_label_file() {
  errno = 0;
  std::FILE* f = std::fopen(labelPath_.c_str(), "wb");
  if (!f) throw VocantaError(failure("Cannot create", labelPath_, errno));
  const std::string first = path_ + "\r\n";
  const bool ok = std::fwrite(first.data(), 1, first.size(), f) == first.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError(failure("Cannot write to", labelPath_, errno));
}

size_t SampleFileSink::write(const int16_t* samples, size_t count) {
  if (count == 0) return 0;
  bytes_.resize(2 * count);
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    bytes_[2 * i] = static_cast<unsigned char>(v & 0xFF);
    bytes_[2 * i + 1] = static_cast<unsigned char>(v >> 8);
  }
  errno = 0;
  const size_t written = std::fwrite(bytes_.data(), 1, bytes_.size(), file_);
  if (written < bytes_.size()) {
    writeFailure_ = failure("Cannot write to", path_, errno);
    // The file ends with whole samples, and a later write must not leave a gap.
    if (written % 2 != 0) {
      const auto end = 1024 + 2 * (static_cast<uintmax_t>(samplesWritten_) + written / 2);
      std::error_code ec;
      std::filesystem::resize_file(path_, end, ec);
      std::fseek(file_, static_cast<long>(end), SEEK_SET);
    }
  }
  samplesWritten_ += static_cast<int64_t>(written / 2);
  return written / 2;
}

void SampleFileSink::voice_done(int64_t start, int64_t count, const std::string& label) {
  if (!labelled_) return;
  errno = 0;
  std::FILE* f = std::fopen(labelPath_.c_str(), "ab");
  if (!f) throw VocantaError(failure("Cannot write to", labelPath_, errno));
  const std::string line =
      std::to_string(start) + "," + std::to_string(count) + "," + label + "\r\n";
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError(failure("Cannot write to", labelPath_, errno));
}

void SampleFileSink::finish() noexcept {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace vocanta
