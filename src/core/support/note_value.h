#pragma once

#include <string_view>

namespace vocanta {

// A musical note name as a frequency in hertz, for fields that take "A4" as well as
// 440: a letter A to H (H is B), an optional "#" or "b", and a whole-number octave;
// other characters are passed over. A text without any of these characters is 0.
// Raises "'…' is neither a number nor a note with its octave, such as A4" when the
// octave is missing or no whole number, and "'…' is out of range" when the frequency has
// no finite value.
double note_value(std::string_view text);

}  // namespace vocanta
