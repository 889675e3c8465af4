#include "core/support/file_paths.h"

#include <filesystem>

#include "core/support/text_case.h"

namespace vocanta {

std::string change_extension(const std::string& path, const std::string& extension) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + extension;
  return path.substr(0, dot) + extension;
}

std::string absolute_path(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(path, ec);
  return (ec ? std::filesystem::path(path) : p).lexically_normal().string();
}

bool same_file(const std::string& a, const std::string& b) {
  std::error_code ea, eb, ec;
  if (std::filesystem::exists(a, ea) && std::filesystem::exists(b, eb)) {
    const bool same = std::filesystem::equivalent(a, b, ec);
    if (!ec) return same;
  }
  return absolute_path(a) == absolute_path(b);
}

std::string change_extension_as_on_disk(const std::string& path, const std::string& extension) {
  namespace fs = std::filesystem;
  const std::string wanted = change_extension(path, to_lower_text(extension));
  std::error_code ec;
  if (fs::exists(fs::symlink_status(wanted, ec))) return wanted;
  const size_t slash = wanted.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : wanted.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? wanted : wanted.substr(slash + 1);
  const size_t base = name.size() - extension.size();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string other = it->path().filename().string();
    if (other.size() == name.size() && other.compare(0, base, name, 0, base) == 0 &&
        equal_ignoring_case(std::string_view(other).substr(base),
                            std::string_view(name).substr(base)))
      return wanted.substr(0, wanted.size() - name.size()) + other;
  }
  return wanted;
}

}  // namespace vocanta
