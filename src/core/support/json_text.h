#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vocanta {

// A JSON string literal of text: quotes, backslashes and control characters escaped, and
// any byte that is not part of valid UTF-8 given as U+FFFD, so that a label or a header
// value with stray bytes still yields a document every JSON reader accepts.
std::string json_string(std::string_view text);

// A JSON number: the shortest text that reads back as the same double (no NaN or
// infinity, which JSON cannot hold: those become null).
std::string json_number(double value);
std::string json_number(int64_t value);

}  // namespace vocanta
