#include "gui/platform/throw_address.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <typeinfo>

namespace {

thread_local std::uint64_t lastThrow = 0;

// Not inlined, so that the frames it skips are always its own and the hook's.
[[gnu::noinline]] std::uint64_t program_offset_of_caller() {
  Dl_info self{};
  if (::dladdr(reinterpret_cast<void*>(&vocanta::last_throw_address), &self) == 0) return 0;
  void* frames[24];
  const int count = ::backtrace(frames, 24);
  for (int i = 2; i < count; ++i) {
    Dl_info info{};
    if (::dladdr(frames[i], &info) == 0 || info.dli_fbase != self.dli_fbase) continue;
    // A return address points behind its call; one byte back lies within it.
    return reinterpret_cast<std::uintptr_t>(frames[i]) -
           reinterpret_cast<std::uintptr_t>(self.dli_fbase) - 1;
  }
  return 0;
}

}  // namespace

// The C++ runtime keeps no record of where an exception came from, and by the time the
// program-wide handler sees it the stack is unwound. Every throw passes through here on
// its way to the runtime's own function.
extern "C" [[noreturn]] void __cxa_throw(void* thrown, std::type_info* type,
                                         void (*destroy)(void*)) {
  using Throw = void (*)(void*, std::type_info*, void (*)(void*));
  static const Throw runtime = reinterpret_cast<Throw>(::dlsym(RTLD_NEXT, "__cxa_throw"));
  if (!runtime) std::abort();
  lastThrow = program_offset_of_caller();
  runtime(thrown, type, destroy);
  std::abort();  // the runtime's function never returns
}

namespace vocanta {

std::uint64_t last_throw_address() {
  return lastThrow;
}

}  // namespace vocanta
