#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// A value as a message quotes it: at most kShownCharacters characters, the rest cut off
// with "…", and NUL, CR and LF shown as "\0", "\r" and "\n". A hostile document may hold
// megabytes in one value; its message must still fit on a line.
inline constexpr size_t kShownCharacters = 60;
std::string shown_value(std::string_view value);

// The value between single quotes, as the conversion messages show it.
std::string quoted(std::string_view value);

}  // namespace vocanta
