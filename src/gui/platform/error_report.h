#pragma once

#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

namespace vocanta {

// The one place every error the windows cannot handle themselves goes: shown in a box
// titled "Vocanta" by default, recorded by the error log, printed by an unattended run.
void report_error(const QString& message);
// Replaces the handler; tests record messages, an unattended run prints them.
void set_error_handler(std::function<void(const QString&)> handler);
// The handler now in place, for a handler that passes errors on to it.
std::function<void(const QString&)> current_error_handler();

// Runs the command and reports what it throws instead of letting it through: Qt cannot
// carry an exception out of a slot, so every menu action and connection runs in here.
void run_reported(const std::function<void()>& command);

// The callable wrapped for connect(): the signal's arguments pass through when it takes
// them (Qt cannot see how many a generic wrapper wants), its exceptions are reported.
template <typename F>
auto reported(F f) {
  return [f = std::move(f)](auto&&... args) {
    run_reported([&] {
      if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
        f(std::forward<decltype(args)>(args)...);
      else
        f();
    });
  };
}

}  // namespace vocanta
