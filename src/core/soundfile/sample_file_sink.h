#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/soundfile/label_file.h"
#include "core/soundfile/raw_sample_writer.h"
#include "core/soundfile/sample_header.h"
#include "core/soundfile/sample_sink.h"
#include "core/support/atomic_file.h"

namespace vocanta {

// The header a build gives the sample file at path: its items, labelPath for a labelled
// series, the proc item naming documentPath, then any extra items.
thead sample_file_header(const std::string& path, const std::string& labelPath,
                         int32_t samplingFrequency, bool labelled, const std::string& documentPath,
                         const std::vector<titem>& extra = {});

// A sample file: the 1024-byte text header, then the samples least significant byte
// first; for a labelled series also the label file beside it (the same name, ".CSV"),
// one line per voice. A plain voice is written into its file as it comes, so that a
// break or a full disk leaves the samples so far; a series and its label file are
// written beside their targets and replace them together at the end (also after a
// break), or not at all after a failure, so that a sample file never lies beside the
// label file of another build.
class SampleFileSink : public SampleSink {
 public:
  // documentPath is what the header's proc item names; series: written beside the
  // target and put in place with its label file. Touches no file yet.
  SampleFileSink(std::string path, std::string documentPath, bool series = false);
  SampleFileSink(const SampleFileSink&) = delete;
  SampleFileSink& operator=(const SampleFileSink&) = delete;
  ~SampleFileSink() override { abandon(); }

  const std::string& label_path() const { return labels_.path(); }
  // Items the header carries after the usual ones (a part of a series says which).
  void add_item(std::string name, std::string value) {
    extra_.push_back({std::move(name), std::move(value)});
  }

  void open() override;
  void begin(const SinkFormat& format) override;
  size_t write(const int16_t* samples, size_t count) override;
  std::string write_failure() const override { return failure_; }
  void voice_done(int64_t start, int64_t count, const std::string& label) override;
  void set_companions(CompanionSource source) override {
    companions_.set_source(std::move(source));
  }
  void finish() noexcept override;
  void abandon() noexcept override;

 private:
  void write_header(const SinkFormat& format);
  void put_in_place();

  std::string path_;
  bool series_;
  // The file the samples go to: path_, or for a series the new file beside it.
  std::string filePath_;
  PendingFile pending_;
  std::string failure_;
  LabelFile labels_;
  CompanionFiles companions_;
  std::string documentPath_;
  RawSampleWriter samples_;
  bool labelled_ = false;
  std::vector<titem> extra_;
};

}  // namespace vocanta
