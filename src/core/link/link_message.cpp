#include "core/link/link_message.h"

#include <charconv>
#include <optional>

namespace vocanta {
namespace {

// A whole decimal integer with an optional sign and surrounding blanks, or nothing.
std::optional<int32_t> read_integer(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

}  // namespace

uint16_t link_version_number(const std::string& text) {
  const size_t point = text.find('.');
  if (point == std::string::npos) return static_cast<uint16_t>(read_integer(text).value_or(0));
  const auto major = read_integer(std::string_view(text).substr(0, point));
  const auto minor = read_integer(std::string_view(text).substr(point + 1));
  if (!major || !minor) return 0;
  // Unsigned arithmetic: the wrap to 16 bits is wanted, an overflow of int is not.
  const uint32_t number =
      static_cast<uint32_t>(*major) * 256u + (static_cast<uint32_t>(*minor) & 0xFFu);
  return static_cast<uint16_t>(number);
}

}  // namespace vocanta
