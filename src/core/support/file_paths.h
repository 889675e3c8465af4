#pragma once

#include <string>

namespace vocanta {

// The path with its extension (after the last "." of the file name) replaced, or the
// extension appended when the file name has none.
std::string change_extension(const std::string& path, const std::string& extension);

}  // namespace vocanta
