#pragma once

#include <iosfwd>

#include "core/build/build_host.h"

namespace vocanta {

class BuildRun;

// Progress on stderr when it is a terminal; Ctrl+C breaks the build like the Break
// button, so the samples so far stay in a valid file.
class CliBuildHost : public QuietBuildHost {
 public:
  explicit CliBuildHost(std::ostream& err);
  ~CliBuildHost() override;
  void attach(BuildRun& run) { run_ = &run; }

  void refresh_progress(double t, const std::string& percent) override;
  void process_events() override;
  void build_running(bool running) override;
  void voice_overload(const std::string& label, int64_t count, double gainDb) override;

 private:
  std::ostream& err_;
  BuildRun* run_ = nullptr;
  bool terminal_ = false;
  bool drawn_ = false;
};

}  // namespace vocanta
