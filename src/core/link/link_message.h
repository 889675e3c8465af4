#pragma once

#include <cstdint>
#include <string>

namespace vocanta {

// Where a program of the tool family can be reached; the transport decides its form (on
// the session bus, the program's unique bus name).
using LinkEndpoint = std::string;

// One received message, as the notification hooks see it.
struct tlinkevent {
  LinkEndpoint sender;
  uint8_t identifier = 0;
  uint8_t code = 0;
  uint16_t parameter = 0;
};

// The value on the wire: identifier x 2^24 + code x 2^16 + parameter. The code has
// seven bits; the eighth beside it is never set when sending and ignored on receipt.
inline uint32_t link_value(uint8_t identifier, uint8_t code, uint16_t parameter) {
  return (uint32_t{identifier} << 24) | (uint32_t{code & 0x7Fu} << 16) | parameter;
}

inline tlinkevent link_event(const LinkEndpoint& sender, uint32_t value) {
  return tlinkevent{sender, static_cast<uint8_t>(value >> 24),
                    static_cast<uint8_t>((value >> 16) & 0x7F), static_cast<uint16_t>(value)};
}

// The version number of code 8 from an about box's version text such as "3.0":
// major x 256 + minor, kept to 16 bits; a text without a point is one integer, and a
// text that cannot be read gives 0.
uint16_t link_version_number(const std::string& text);

}  // namespace vocanta
