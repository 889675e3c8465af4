#include "core/support/message_text.h"

#include "core/support/text_case.h"

namespace vocanta {

std::string shown_value(std::string_view value) {
  const size_t kept = utf8_prefix_size(value, kShownCharacters);
  std::string out;
  out.reserve(kept + 8);
  for (const char c : value.substr(0, kept)) {
    switch (c) {
      case '\0':
        out += "\\0";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  if (kept < value.size()) out += "\xE2\x80\xA6";  // "…"
  return out;
}

std::string quoted(std::string_view value) {
  // Built piece by piece: "'" + text trips a false -Wrestrict warning of GCC 12.
  std::string out(1, '\'');
  out += shown_value(value);
  out += '\'';
  return out;
}

}  // namespace vocanta
