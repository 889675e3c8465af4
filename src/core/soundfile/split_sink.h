#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/soundfile/audio_file.h"
#include "core/soundfile/companion_files.h"
#include "core/soundfile/raw_sample_writer.h"
#include "core/soundfile/sample_sink.h"
#include "core/support/atomic_file.h"

namespace vocanta {

// Each voice of a series into a file of its own in one folder: a sample file as a plain
// build writes it, or an audio file. A voice's samples gather in a scratch file, and
// become its file (made beside its target) once the voice is done and its label known;
// the files and the texts that describe them replace earlier ones only when the build
// finishes (also after a break), and none of them after a failure.
class SplitSink : public SampleSink {
 public:
  // The path of the file of the voice at index (from 0) of the series, with its label.
  using Namer = std::function<std::string(int64_t index, const std::string& label)>;

  // format: an audio format, or none for sample files whose proc item names
  // documentPath; firstIndex: the place in the series of the first voice to come.
  SplitSink(std::string folder, std::optional<AudioFormat> format, std::string documentPath,
            int64_t firstIndex, Namer namer);
  SplitSink(const SplitSink&) = delete;
  SplitSink& operator=(const SplitSink&) = delete;
  ~SplitSink() override { abandon(); }

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
  // Empties the scratch file for the next voice.
  void restart_scratch();
  void stage_sample_file(PendingFile& pending, const std::string& target);
  void put_in_place();

  std::string folder_;
  std::optional<AudioFormat> format_;
  std::string documentPath_;
  int64_t next_;
  Namer namer_;
  int32_t samplingFrequency_ = 0;
  PendingFile scratch_;
  RawSampleWriter samples_;
  std::vector<std::unique_ptr<PendingFile>> voices_;
  CompanionFiles companions_;
  std::string failure_;
};

}  // namespace vocanta
