#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/soundfile/label_file.h"
#include "core/soundfile/raw_sample_writer.h"
#include "core/soundfile/sample_header.h"
#include "core/soundfile/sample_sink.h"

namespace vocanta {

// The header a build gives the sample file at path: its items, labelPath for a labelled
// series, the proc item naming documentPath, then any extra items.
thead sample_file_header(const std::string& path, const std::string& labelPath,
                         int32_t samplingFrequency, bool labelled, const std::string& documentPath,
                         const std::vector<titem>& extra = {});

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

  const std::string& label_path() const { return labels_.path(); }
  // Items the header carries after the usual ones (a part of a series says which).
  void add_item(std::string name, std::string value) {
    extra_.push_back({std::move(name), std::move(value)});
  }

  void open() override;
  void begin(const SinkFormat& format) override;
  size_t write(const int16_t* samples, size_t count) override;
  std::string write_failure() const override { return samples_.failure(); }
  void voice_done(int64_t start, int64_t count, const std::string& label) override;
  void finish() noexcept override;

 private:
  void write_header(const SinkFormat& format);

  std::string path_;
  LabelFile labels_;
  std::string documentPath_;
  RawSampleWriter samples_;
  bool labelled_ = false;
  std::vector<titem> extra_;
};

}  // namespace vocanta
