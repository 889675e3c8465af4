#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/build/build_host.h"
#include "core/soundfile/sample_sink.h"

namespace vocanta {
class BuildRun;
}

namespace vocanta::python {

// The samples of a build kept in memory, with where each voice begins.
class MemorySink : public SampleSink {
 public:
  struct VoiceSpan {
    int64_t start, count;
    std::string label;
  };

  void begin(const SinkFormat& format) override;
  size_t write(const int16_t* samples, size_t count) override;
  void voice_done(int64_t start, int64_t count, const std::string& label) override;
  void finish() noexcept override {}

  std::vector<int16_t> samples;
  std::vector<VoiceSpan> voices;
};

// A build from Python runs without the interpreter's lock; between blocks it takes the
// lock back to see whether Ctrl+C was pressed, and then breaks the build as the Break
// button does. The KeyboardInterrupt is raised once the build has finished.
class ScriptBuildHost : public QuietBuildHost {
 public:
  void attach(BuildRun& run) { run_ = &run; }
  void refresh_progress(double, const std::string&) override { process_events(); }
  void process_events() override;
  // Raises the Python error that broke the build, if one did; the lock must be held.
  void raise_if_interrupted();

 private:
  BuildRun* run_ = nullptr;
  std::unique_ptr<pybind11::error_already_set> error_;
};

}  // namespace vocanta::python
