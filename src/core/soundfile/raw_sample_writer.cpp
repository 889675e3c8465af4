#include "core/soundfile/raw_sample_writer.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/soundfile/label_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

void RawSampleWriter::attach(std::FILE* file, const std::string& path, int64_t offset,
                             const std::string& shownPath) {
  close();
  file_ = file;
  path_ = path;
  shownPath_ = shownPath;
  offset_ = offset;
  samples_ = 0;
  failure_.clear();
  errno = 0;
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
    throw VocantaError(file_failure("Cannot write to", shownPath_, errno));
  // Unbuffered, so that a block that does not fit on the disk shows as a short write.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

size_t RawSampleWriter::write(const int16_t* samples, size_t count) {
  if (count == 0 || !file_) return 0;
  bytes_.resize(2 * count);
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    bytes_[2 * i] = static_cast<unsigned char>(v & 0xFF);
    bytes_[2 * i + 1] = static_cast<unsigned char>(v >> 8);
  }
  errno = 0;
  const size_t written = std::fwrite(bytes_.data(), 1, bytes_.size(), file_);
  if (written < bytes_.size()) {
    failure_ = file_failure("Cannot write to", shownPath_, errno);
    // The file ends with whole samples, and a later write must not leave a gap.
    if (written % 2 != 0) {
      const auto end =
          static_cast<uintmax_t>(offset_ + 2 * (samples_ + static_cast<int64_t>(written / 2)));
      std::error_code ec;
      std::filesystem::resize_file(path_, end, ec);
      std::fseek(file_, static_cast<long>(end), SEEK_SET);
    }
  }
  samples_ += static_cast<int64_t>(written / 2);
  return written / 2;
}

bool RawSampleWriter::close() noexcept {
  if (!file_) return true;
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

}  // namespace vocanta
