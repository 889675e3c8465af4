#pragma once

#include "core/build/build_host.h"

namespace vocanta {

class MainWindow;

// The build as the main window shows it: the button, the percentage, the lamps, the
// progress cursor in the parameter windows and the statistics.
class GuiBuildHost : public BuildHost {
 public:
  explicit GuiBuildHost(MainWindow& main) : main_(main) {}
  uint32_t tick_count() override;
  uint32_t clock_seed() override;
  void add_statistics_line(const std::string& line) override;
  void build_running(bool running) override;
  void autosave(const std::string& samplePath) override;
  void refresh_progress(double t, const std::string& percent) override;
  void process_events() override;
  void overload_state(int state) override;
  void outcome(const std::string& text) override;
  void beep() override;
  void build_finished() override;

 private:
  MainWindow& main_;
  QuietBuildHost clocks_;
};

}  // namespace vocanta
