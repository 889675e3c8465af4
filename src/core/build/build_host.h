#pragma once

#include <cstdint>
#include <string>

#include "core/build/build_outcome.h"

namespace vocanta {

// What a build shows and asks of the program around it. The desktop program draws
// progress and lamps and lets window messages run; vocanta-cli prints a progress bar.
class BuildHost {
 public:
  virtual ~BuildHost() = default;

  // Milliseconds since some fixed start; drives the progress throttling.
  virtual uint32_t tick_count() = 0;
  // The seed of a randomized build: milliseconds since midnight UTC.
  virtual uint32_t clock_seed() = 0;

  virtual void add_statistics_line(const std::string& line) = 0;
  // The build started (true) or finished (false): the button breaks while it runs.
  virtual void build_running(bool running) = 0;
  // Autosave: the document goes beside the sample file, when the user asked for it.
  virtual void autosave(const std::string& samplePath) = 0;
  // A throttled refresh: the heavy-load flag, the progress cursors at time t and the
  // percentage text such as "07.50%".
  virtual void refresh_progress(double t, const std::string& percent) = 0;
  // Lets pending window messages run (the Break button among them).
  virtual void process_events() = 0;
  virtual void overload_state(OverloadState state) = 0;
  // A voice brought to a level target clipped count samples after a gain of gainDb; label
  // is empty for a plain build. Said beside the overload state, which cannot name it.
  virtual void voice_overload(const std::string& label, int64_t count, double gainDb) {
    (void)label, (void)count, (void)gainDb;
  }
  virtual void outcome(BuildOutcome outcome) = 0;
  virtual void beep() = 0;
  // The build is over: clear the heavy-load flag and tell the other tools of the new file.
  virtual void build_finished() = 0;
};

// A host that shows nothing, with the real clocks; a base for hosts that need only some.
class QuietBuildHost : public BuildHost {
 public:
  uint32_t tick_count() override;
  uint32_t clock_seed() override;
  void add_statistics_line(const std::string&) override {}
  void build_running(bool) override {}
  void autosave(const std::string&) override {}
  void refresh_progress(double, const std::string&) override {}
  void process_events() override {}
  void overload_state(OverloadState) override {}
  void outcome(BuildOutcome) override {}
  void beep() override {}
  void build_finished() override {}
};

}  // namespace vocanta
