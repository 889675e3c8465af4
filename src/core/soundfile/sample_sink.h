#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/soundfile/companion_files.h"

namespace vocanta {

// What every destination of a build learns before the first sample.
struct SinkFormat {
  int32_t samplingFrequency = 16000;
  // A series of voices with a label each (a batch build), rather than one plain voice.
  bool labelled = false;
  // The samples and voices the build gives when it runs through, for a destination that
  // must refuse, before the first sample, more than it can hold.
  int64_t samples = 0;
  int64_t voices = 1;
};

// Where the samples of a build go: a sample file, an audio file, memory for playback.
// The build run calls open, begin, then write and voice_done as the voices come, and
// finish at the end, also after a break or an error.
class SampleSink {
 public:
  virtual ~SampleSink() = default;

  // Claims the destination before the settings are read, so that a destination that
  // cannot be made is the first thing the user hears of.
  virtual void open() {}
  virtual void begin(const SinkFormat& format) = 0;
  // Stores mono 16-bit samples; returns how many it kept. Fewer than count means the
  // destination is full, and the build ends there.
  virtual size_t write(const int16_t* samples, size_t count) = 0;
  // After a write that kept fewer: why, for the user ("Cannot write to PATH: reason").
  virtual std::string write_failure() const { return {}; }
  // Texts that describe a series (its table, a TextGrid), written by a file that is put
  // in place as a whole with them; other destinations have no place for them.
  virtual void set_companions(CompanionSource) {}
  // One voice is over: its first sample in the build, its length and its label.
  virtual void voice_done(int64_t start, int64_t count, const std::string& label) = 0;
  // Must not throw: it also runs while an earlier error is on its way to the user.
  virtual void finish() noexcept = 0;
  // The build failed: a destination that replaces its file only when complete leaves
  // the earlier file as it was.
  virtual void abandon() noexcept { finish(); }
};

}  // namespace vocanta
