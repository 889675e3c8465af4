#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Writes bytes to a new file beside path, flushes them to the disk and renames the file
// over path. On any failure path is left as it was and false is returned.
bool write_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace vocanta
