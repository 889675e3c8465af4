#include "core/support/file_paths.h"

namespace vocanta {

std::string change_extension(const std::string& path, const std::string& extension) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + extension;
  return path.substr(0, dot) + extension;
}

}  // namespace vocanta
