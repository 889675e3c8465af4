#include "core/soundfile/sample_header.h"

#include <cerrno>
#include <cstdio>

#include "core/support/number_format.h"

namespace vocanta {
namespace {

constexpr size_t kMaxText = 255;

std::string clipped(std::string_view s) {
  return std::string(s.substr(0, kMaxText));
}

}  // namespace

void thead::clear() {
  error_ = 0;
  items_.clear();
  lines_.clear();
  headerSize_ = 1024;
}

void thead::set_file_name(std::string_view path) {
  if (error_ == 0) fileName_ = path;
}

std::string thead::get(std::string_view name) const {
  for (const titem& i : items_)
    if (i.name == name) return i.value;
  return {};
}

void thead::set(std::string_view name, std::string_view value) {
  if (error_ != 0) return;
  const bool head = name == "head";
  if (head) {
    int size = 0;
    if (!try_parse_integer(value, size) || size < 15 || size > 32767) {
      error_ = kBadHeadSize;
      return;
    }
    headerSize_ = static_cast<int16_t>(size);
  }
  titem item{clipped(name), clipped(value)};
  if (head) {
    if (!items_.empty() && items_.front().name == "head")
      items_.front().value = item.value;
    else
      items_.insert(items_.begin(), std::move(item));
    return;
  }
  for (titem& i : items_)
    if (i.name == item.name) {
      i.value = item.value;
      return;
    }
  items_.push_back(std::move(item));
}

void thead::add_proc(std::string_view text) {
  int n = 0;
  while (!get("proc" + std::to_string(n)).empty()) ++n;
  set("proc" + std::to_string(n), text);
}

void thead::add_line(std::string_view line) {
  lines_.emplace_back(line);
}

std::string thead::compose() {
  std::string text;
  for (const titem& i : items_) text += i.name + "=" + i.value + "\r\n";
  text += "=\r\n";
  for (const std::string& l : lines_) text += l + "\r\n";
  text += std::string("\x00\x04\x1A", 3);
  const auto size = static_cast<size_t>(headerSize_);
  if (text.size() > size) {
    error_ = kTooLong;
    return {};
  }
  text.resize(size, '\0');
  return text;
}

void thead::write() {
  if (error_ != 0) return;
  const std::string block = compose();
  if (error_ != 0) return;
  std::FILE* f = std::fopen(fileName_.c_str(), "r+b");
  if (!f && errno == ENOENT) f = std::fopen(fileName_.c_str(), "w+b");
  if (!f) {
    error_ = static_cast<int16_t>(errno ? errno : EIO);
    return;
  }
  if (std::fseek(f, 0, SEEK_SET) != 0) {
    error_ = static_cast<int16_t>(errno ? errno : EIO);
    std::fclose(f);
    return;
  }
  const size_t written = std::fwrite(block.data(), 1, block.size(), f);
  if (std::fclose(f) != 0 || written < block.size()) error_ = kShortWrite;
}

}  // namespace vocanta
