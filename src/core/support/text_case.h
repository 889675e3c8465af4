#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Letter case of UTF-8 text for the letters users type in names: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic. Other characters keep their bytes.
std::string to_lower_text(std::string_view text);
std::string to_upper_first(std::string_view text);
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace vocanta
