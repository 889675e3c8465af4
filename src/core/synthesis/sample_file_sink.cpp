#include "core/synthesis/sample_file_sink.h"

#include <utility>

#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/sample_header.h"

namespace vocanta {

SampleFileSink::SampleFileSink(std::string path, std::string documentPath)
    : path_(std::move(path)),
      labelPath_(change_extension(path_, ".CSV")),
      documentPath_(std::move(documentPath)) {}

void SampleFileSink::open() {
  if (std::FILE* f = std::fopen(path_.c_str(), "wb"))
    std::fclose(f);
  else
    throw VocantaError("Cannot create " + path_);
}

void SampleFileSink::begin(const SinkFormat& format) {
  labelled_ = format.labelled;
  write_header(format);
  file_ = std::fopen(path_.c_str(), "r+b");
  if (!file_ || std::fseek(file_, 1024, SEEK_SET) != 0)
    throw VocantaError("Cannot write to " + path_);
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
  std::FILE* f = std::fopen(labelPath_.c_str(), "wb");
  if (!f) throw VocantaError("Cannot create " + labelPath_);
  const std::string first = path_ + "\r\n";
  const bool ok = std::fwrite(first.data(), 1, first.size(), f) == first.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError("Cannot write to " + labelPath_);
}

size_t SampleFileSink::write(const int16_t* samples, size_t count) {
  if (count == 0) return 0;
  bytes_.resize(2 * count);
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    bytes_[2 * i] = static_cast<unsigned char>(v & 0xFF);
    bytes_[2 * i + 1] = static_cast<unsigned char>(v >> 8);
  }
  return std::fwrite(bytes_.data(), 1, bytes_.size(), file_) / 2;
}

void SampleFileSink::voice_done(int64_t start, int64_t count, const std::string& label) {
  if (!labelled_) return;
  std::FILE* f = std::fopen(labelPath_.c_str(), "ab");
  if (!f) throw VocantaError("Cannot write to " + labelPath_);
  const std::string line =
      std::to_string(start) + "," + std::to_string(count) + "," + label + "\r\n";
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError("Cannot write to " + labelPath_);
}

void SampleFileSink::finish() noexcept {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace vocanta
