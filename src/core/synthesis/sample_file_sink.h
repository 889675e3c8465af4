#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/synthesis/sample_sink.h"

namespace vocanta {

// A sample file: the 1024-byte text header, then the samples least significant byte
// first; for a labelled series also the label file beside it (the same name, ".CSV"),
// one line per voice.
class SampleFileSink : public SampleSink {
 public:
  // documentPath is what the header's proc item names. Touches no file yet.
  SampleFileSink(std::string path, std::string documentPath);
  SampleFileSink(const SampleFileSink&) = delete;
  SampleFileSink& operator=(const SampleFileSink&) = delete;
  ~SampleFileSink() override { finish(); }

  const std::string& label_path() const { return labelPath_; }

  void open() override;
  void begin(const SinkFormat& format) override;
  size_t write(const int16_t* samples, size_t count) override;
  std::string write_failure() const override { return writeFailure_; }
  void voice_done(int64_t start, int64_t count, const std::string& label) override;
  void finish() noexcept override;

 private:
  void write_header(const SinkFormat& format);
  void start_label_file();

  std::string path_;
  std::string labelPath_;
  std::string documentPath_;
  std::FILE* file_ = nullptr;
  bool labelled_ = false;
  std::vector<unsigned char> bytes_;
  int64_t samplesWritten_ = 0;
  std::string writeFailure_;
};

}  // namespace vocanta
