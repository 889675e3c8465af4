#include "core/soundfile/sample_file_sink.h"

#include <cerrno>
#include <cstdio>
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

SampleFileSink::SampleFileSink(std::string path, std::string documentPath)
    : path_(std::move(path)), labels_(path_), documentPath_(std::move(documentPath)) {}

void SampleFileSink::open() {
  errno = 0;
  if (std::FILE* f = std::fopen(path_.c_str(), "wb"))
    std::fclose(f);
  else
    throw VocantaError(file_failure("Cannot create", path_, errno));
}

void SampleFileSink::begin(const SinkFormat& format) {
  labelled_ = format.labelled;
  write_header(format);
  errno = 0;
  std::FILE* file = std::fopen(path_.c_str(), "r+b");
  if (!file) throw VocantaError(file_failure("Cannot write to", path_, errno));
  samples_.attach(file, path_, 1024, path_);
  if (labelled_) labels_.start();
}

void SampleFileSink::write_header(const SinkFormat& format) {
  thead h = sample_file_header(path_, labels_.path(), format.samplingFrequency, format.labelled,
                               documentPath_, extra_);
  // A header that cannot be written still leaves the samples at byte 1024.
  h.write();
}

size_t SampleFileSink::write(const int16_t* samples, size_t count) {
  return samples_.write(samples, count);
}

void SampleFileSink::voice_done(int64_t start, int64_t count, const std::string& label) {
  if (labelled_) labels_.append(start, count, label);
}

void SampleFileSink::finish() noexcept {
  samples_.close();
}

}  // namespace vocanta
