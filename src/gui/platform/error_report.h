#pragma once

#include <QString>
#include <concepts>
#include <functional>
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

// A callable wrapped for connect(): its arguments pass through, its exceptions are
// reported. It takes only the arguments the callable takes, so that connect() can drop
// those a signal has beyond them (the checked flag of clicked(), say).
template <typename F>
class Reported {
 public:
  explicit Reported(F f) : f_(std::move(f)) {}

  template <typename... Args>
  requires std::invocable<const F&, Args...>
  void operator()(Args&&... args) const {
    run_reported([&] { std::invoke(f_, std::forward<Args>(args)...); });
  }

 private:
  F f_;
};

template <typename F>
Reported<F> reported(F f) {
  return Reported<F>(std::move(f));
}

// The same for a member function of object, as connect() takes a slot.
template <typename T, typename Method>
auto reported(T* object, Method method) {
  return reported(std::bind_front(method, object));
}

}  // namespace vocanta
