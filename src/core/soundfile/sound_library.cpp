#include "core/soundfile/sound_library.h"

#include <dlfcn.h>

#include <string>

#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// The soname of the interface the header describes; a later major version could
// change the functions' signatures under the same names.
constexpr const char* kLibraryName = "libsndfile.so.1";

std::string cannot_load(const std::string& why) {
  return std::string("Cannot load ") + kLibraryName +
         ", which reads and writes WAV, FLAC and AIFF files: " + why;
}

template <typename Function>
void resolve(void* handle, Function& function, const char* name) {
  function = reinterpret_cast<Function>(::dlsym(handle, name));
  if (!function) throw VocantaError(cannot_load(std::string("it has no function ") + name));
}

void resolve_all(void* handle, SoundLibrary& library) {
  resolve(handle, library.open, "sf_open");
  resolve(handle, library.open_fd, "sf_open_fd");
  resolve(handle, library.close, "sf_close");
  resolve(handle, library.strerror, "sf_strerror");
  resolve(handle, library.error_number, "sf_error_number");
  resolve(handle, library.command, "sf_command");
  resolve(handle, library.readf_short, "sf_readf_short");
  resolve(handle, library.writef_short, "sf_writef_short");
}

SoundLibrary load() {
  // Bound now: a function missing from the library fails here, not in the middle of
  // writing a file.
  void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    throw VocantaError(cannot_load(why ? why : "the system gives no reason"));
  }
  SoundLibrary library{};
  try {
    resolve_all(handle, library);
  } catch (...) {
    ::dlclose(handle);
    throw;
  }
  // Never closed: open files and the library's own state may outlive any one caller.
  return library;
}

}  // namespace

const SoundLibrary& sound_library() {
  static const SoundLibrary library = load();
  return library;
}

}  // namespace vocanta
