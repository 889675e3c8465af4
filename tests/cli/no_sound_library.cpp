// Preloaded into vocanta-cli to stand for a system without libsndfile: every dlopen of
// it fails as the loader fails for a missing file, with the loader's own message.
#include <dlfcn.h>

#include <cstring>

extern "C" void* dlopen(const char* file, int mode) {
  using Open = void* (*)(const char*, int);
  static const auto next = reinterpret_cast<Open>(::dlsym(RTLD_NEXT, "dlopen"));
  if (file && std::strstr(file, "libsndfile")) return next("libsndfile-absent.so.1", mode);
  return next(file, mode);
}
