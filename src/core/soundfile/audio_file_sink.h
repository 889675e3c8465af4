#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/soundfile/audio_file.h"
#include "core/soundfile/label_file.h"
#include "core/soundfile/raw_sample_writer.h"
#include "core/soundfile/sample_sink.h"
#include "core/support/atomic_file.h"

namespace vocanta {

// An audio file (WAV, FLAC, AIFF) holding the very samples a sample file would, and for
// a labelled series the label file beside it and, in a WAV, a cue point per voice.
// The samples gather in a file beside the target while the build runs, because the cue
// points must be known before the first sample of a WAV; the audio file is made from
// them when the build finishes and replaces an earlier one only when it is complete.
class AudioFileSink : public SampleSink {
 public:
  AudioFileSink(std::string path, AudioFormat format);
  AudioFileSink(const AudioFileSink&) = delete;
  AudioFileSink& operator=(const AudioFileSink&) = delete;
  ~AudioFileSink() override { abandon(); }

  void open() override;
  void begin(const SinkFormat& format) override;
  size_t write(const int16_t* samples, size_t count) override;
  std::string write_failure() const override { return failure_; }
  void voice_done(int64_t start, int64_t count, const std::string& label) override;
  void set_companions(CompanionSource source) override {
    companions_.set_source(std::move(source));
  }
  // Makes the audio file of the samples so far, also after a break; not after a write
  // that failed, which leaves the earlier file.
  void finish() noexcept override;
  void abandon() noexcept override;

 private:
  void make_audio_file();

  std::string path_;
  AudioFormat format_;
  LabelFile labels_;
  CompanionFiles companions_;
  PendingFile staging_;
  RawSampleWriter samples_;
  int32_t samplingFrequency_ = 0;
  bool labelled_ = false;
  std::vector<CuePoint> cues_;
  std::string failure_;
};

}  // namespace vocanta
