#pragma once

#include <stdexcept>
#include <string>

namespace vocanta {

// Every error the user may see carries its final message text.
class VocantaError : public std::runtime_error {
 public:
  explicit VocantaError(const std::string& message) : std::runtime_error(readable(message)) {}

 private:
  // Whoever shows the message takes what() as a C string, which would end at a NUL byte
  // of a quoted value; shown as "\0" the whole message gets through.
  static std::string readable(const std::string& message) {
    std::string out;
    out.reserve(message.size());
    for (const char c : message) {
      if (c == '\0')
        out += "\\0";
      else
        out += c;
    }
    return out;
  }
};

}  // namespace vocanta
