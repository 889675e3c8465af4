#pragma once

#include <string>

namespace vocanta {

// The path with its extension (after the last "." of the file name) replaced, or the
// extension appended when the file name has none.
std::string change_extension(const std::string& path, const std::string& extension);

// The path with its extension replaced by the lower-case extension, unless a file of
// that name exists with the extension in another letter case: then that file's name.
// A proposed ".SMP" beside "voice.smp" would be a second file where names differ in case.
std::string change_extension_as_on_disk(const std::string& path, const std::string& extension);

// The absolute, lexically normal form of path; path itself when the working folder is
// unknown.
std::string absolute_path(const std::string& path);

// The same file by identity when both exist (links, "..", another spelling), else by
// the absolute path of a file that is still to come.
bool same_file(const std::string& a, const std::string& b);

}  // namespace vocanta
