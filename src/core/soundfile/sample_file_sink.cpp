#include "core/soundfile/sample_file_sink.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <utility>

#include "core/soundfile/sample_header.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

thead sample_file_header(const std::string& path, const std::string& labelPath,
                         int32_t samplingFrequency, bool labelled, const std::string& documentPath,
                         const std::vector<titem>& extra) {
  thead h;
  h.set_file_name(path);
  h.set("file", "samp");
  h.set("sftot", std::to_string(samplingFrequency));
  h.set("nchans", "1");
  h.set("msb", "last");
  if (labelled) h.set("labels", labelPath);
  h.add_proc("Vocanta " + documentPath);
  for (const titem& item : extra) h.set(item.name, item.value);
  return h;
}

SampleFileSink::SampleFileSink(std::string path, std::string documentPath, bool series)
    : path_(std::move(path)),
      series_(series),
      filePath_(path_),
      labels_(path_),
      documentPath_(std::move(documentPath)) {}

void SampleFileSink::open() {
  failure_.clear();
  errno = 0;
  if (series_) {
    const int fd = pending_.create(path_);
    if (fd < 0) throw VocantaError(file_failure("Cannot create", path_, errno));
    ::close(fd);
    filePath_ = pending_.direct() ? pending_.target() : pending_.temp_path();
  } else if (std::FILE* f = std::fopen(path_.c_str(), "wb")) {
    std::fclose(f);
  } else {
    throw VocantaError(file_failure("Cannot create", path_, errno));
  }
}

void SampleFileSink::begin(const SinkFormat& format) {
  labelled_ = format.labelled;
  write_header(format);
  errno = 0;
  std::FILE* file = std::fopen(filePath_.c_str(), "r+b");
  if (!file) throw VocantaError(file_failure("Cannot write to", path_, errno));
  samples_.attach(file, filePath_, 1024, path_);
  if (labelled_) labels_.start();
}

void SampleFileSink::write_header(const SinkFormat& format) {
  thead h = sample_file_header(path_, labels_.path(), format.samplingFrequency, format.labelled,
                               documentPath_, extra_);
  h.set_file_name(filePath_);
  // A header that cannot be written still leaves the samples at byte 1024.
  h.write();
}

size_t SampleFileSink::write(const int16_t* samples, size_t count) {
  const size_t kept = samples_.write(samples, count);
  if (kept < count && failure_.empty()) failure_ = samples_.failure();
  return kept;
}

void SampleFileSink::voice_done(int64_t start, int64_t count, const std::string& label) {
  if (labelled_) labels_.append(start, count, label);
}

void SampleFileSink::finish() noexcept {
  const bool wasOpen = samples_.is_open();
  if (!samples_.close() && failure_.empty()) failure_ = "Cannot write to " + path_;
  if (!series_ || !wasOpen) return;
  if (!failure_.empty()) return abandon();
  try {
    companions_.prepare(path_);
    put_in_place();
  } catch (const std::exception& e) {
    failure_ = e.what();
    abandon();
  }
}

void SampleFileSink::put_in_place() {
  errno = 0;
  if (!pending_.commit()) throw VocantaError(file_failure("Cannot write to", path_, errno));
  labels_.commit();
  companions_.commit();
}

void SampleFileSink::abandon() noexcept {
  if (!series_) return finish();
  samples_.close();
  pending_.discard();
  labels_.discard();
  companions_.discard();
}

}  // namespace vocanta
