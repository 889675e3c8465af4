#pragma once

#include <cstdio>
#include <memory>

namespace vocanta {

// A C stream closed when it goes out of scope, for files only read or whose close
// result no one needs; a writer that must know its data reached the disk closes the
// stream itself and checks.
struct CloseFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, CloseFile>;

}  // namespace vocanta
