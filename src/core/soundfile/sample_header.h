#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vocanta {

struct titem {
  std::string name;
  std::string value;
};

// The text header at the front of a sample file: "name=value" lines, the end line "=",
// free lines, the bytes 00 04 1A and zeros up to the header size.
class thead {
 public:
  static constexpr int16_t kBadHeadSize = 1001;
  static constexpr int16_t kShortWrite = 1002;
  static constexpr int16_t kTooLong = 1003;

  thead() { clear(); }

  void clear();
  void set_file_name(std::string_view path);
  std::string get(std::string_view name) const;
  void set(std::string_view name, std::string_view value);
  void add_proc(std::string_view text);
  void add_line(std::string_view line);
  void write();

  // The header block exactly as write() puts it into the file; empty after error 1003.
  std::string compose();

  int16_t error() const { return error_; }
  int16_t header_size() const { return headerSize_; }
  const std::vector<titem>& items() const { return items_; }

 private:
  int16_t error_ = 0;
  std::string fileName_;
  std::vector<titem> items_;
  std::vector<std::string> lines_;
  int16_t headerSize_ = 1024;
};

}  // namespace vocanta
