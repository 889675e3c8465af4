#include "cli/cli_build_host.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <ostream>

#include "core/build/build_run.h"

namespace vocanta {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void on_interrupt(int) {
  interrupted = 1;
}

}  // namespace

CliBuildHost::CliBuildHost(std::ostream& err) : err_(err), terminal_(::isatty(2) == 1) {
  interrupted = 0;
  std::signal(SIGINT, on_interrupt);
}

CliBuildHost::~CliBuildHost() {
  std::signal(SIGINT, SIG_DFL);
}

void CliBuildHost::refresh_progress(double, const std::string& percent) {
  process_events();
  if (!terminal_ || !run_ || run_->total_samples() <= 0) return;
  constexpr int kWidth = 40;
  const auto filled = static_cast<int>(kWidth * run_->samples_computed() / run_->total_samples());
  err_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kWidth - filled), '.') << "] " << percent << std::flush;
  drawn_ = true;
}

void CliBuildHost::process_events() {
  if (interrupted && run_) run_->request_break();
}

void CliBuildHost::build_running(bool running) {
  if (!running && drawn_) {
    err_ << "\n";
    drawn_ = false;
  }
}

void CliBuildHost::voice_overload(const std::string& label, int64_t count, double gainDb) {
  // On a line of its own, also when the progress bar is drawn.
  if (drawn_) err_ << "\n";
  drawn_ = false;
  char gain[32];
  std::snprintf(gain, sizeof gain, "%+.2f", gainDb);
  err_ << "vocanta-cli: Overload, reduce gain! "
       << (label.empty() ? std::string("The voice") : "The voice '" + label + "'") << " clips "
       << count << (count == 1 ? " sample" : " samples") << " after a gain of " << gain << " dB\n";
}

}  // namespace vocanta
