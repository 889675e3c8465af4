#include "core/support/text_case.h"

#include <cstdint>

namespace vocanta {
namespace {

struct Decoded {
  char32_t cp;
  size_t length;
  bool valid;
};

Decoded decode(std::string_view s, size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t len = b0 < 0x80           ? 1
               : (b0 >> 5) == 0x6  ? 2
               : (b0 >> 4) == 0xE  ? 3
               : (b0 >> 3) == 0x1E ? 4
                                   : 0;
  if (len == 0 || i + len > s.size()) return {b0, 1, false};
  if (len == 1) return {b0, 1, true};
  char32_t cp = b0 & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return {b0, 1, false};
    cp = (cp << 6) | (b & 0x3F);
  }
  // An overlong form is not UTF-8 but may well be two or three 8-bit letters ("\xC0\x80"
  // is not a NUL); decoding it would change the bytes of the name.
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[len]) return {b0, 1, false};
  return {cp, len, true};
}

void encode(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Latin Extended-A pairs its letters upper/lower, with the parity flipping in 0x139..0x148
// and 0x179..0x17E.
bool extended_a_upper_is_even(char32_t c) {
  return (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool extended_a_upper_is_odd(char32_t c) {
  return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

char32_t lower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x130) return c;  // dotted capital I has no single-letter lower form here
  if (extended_a_upper_is_even(c) && c % 2 == 0) return c + 1;
  if (extended_a_upper_is_odd(c) && c % 2 == 1) return c + 1;
  if (c == 0x178) return 0xFF;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

char32_t upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c == 0x131) return c;
  if (extended_a_upper_is_even(c - 1) && c % 2 == 1) return c - 1;
  if (extended_a_upper_is_odd(c - 1) && c % 2 == 0) return c - 1;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

template <typename Map>
std::string map_text(std::string_view text, size_t count, Map map) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  for (size_t n = 0; i < text.size() && n < count; ++n) {
    const Decoded d = decode(text, i);
    if (d.valid)
      encode(map(d.cp), out);
    else
      out += text[i];
    i += d.length;
  }
  out.append(text.substr(i));
  return out;
}

}  // namespace

std::string to_lower_text(std::string_view text) {
  // Fast path for the plain ASCII names of sections and keys, which every lookup in a
  // document folds: only A-Z change.
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) >= 0x80) return map_text(text, text.size(), lower);
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

std::string to_upper_first(std::string_view text) {
  return map_text(text, 1, upper);
}

size_t utf8_prefix_size(std::string_view text, size_t characters) {
  size_t i = 0;
  for (size_t n = 0; i < text.size() && n < characters; ++n) i += decode(text, i).length;
  return i;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  // Fast path for the plain ASCII keys of documents and settings.
  if (a.size() == b.size()) {
    bool ascii = true, same = true;
    for (size_t i = 0; i < a.size() && same; ++i) {
      const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
      if (x >= 0x80 || y >= 0x80) {
        ascii = false;
        break;
      }
      same = (x | (x >= 'A' && x <= 'Z' ? 0x20 : 0)) == (y | (y >= 'A' && y <= 'Z' ? 0x20 : 0));
    }
    if (ascii) return same;
  }
  return to_lower_text(a) == to_lower_text(b);
}

}  // namespace vocanta
