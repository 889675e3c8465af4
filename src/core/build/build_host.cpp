#include "core/build/build_host.h"

#include <chrono>

namespace vocanta {

uint32_t QuietBuildHost::tick_count() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

uint32_t QuietBuildHost::clock_seed() {
  // ((hour * 60 + minute) * 60 + second) * 1000 + millisecond is the time of day in ms.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<uint32_t>(ms % 86400000);
}

}  // namespace vocanta
