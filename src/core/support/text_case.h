#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Letter case of UTF-8 text for the letters users type in names: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic. Other characters keep their bytes.
std::string to_lower_text(std::string_view text);
std::string to_upper_first(std::string_view text);
bool equal_ignoring_case(std::string_view a, std::string_view b);

// The bytes of the first `characters` characters; a byte that begins no UTF-8 sequence
// counts as one character, so that 8-bit names are measured as they were typed.
size_t utf8_prefix_size(std::string_view text, size_t characters);

}  // namespace vocanta
