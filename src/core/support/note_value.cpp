#include "core/support/note_value.h"

#include <cmath>
#include <string>

#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// The characters a note name is made of, in upper case; the rest is decoration.
std::string note_characters(std::string_view text) {
  std::string kept;
  for (char c : text) {
    const char u = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (u == '#' || u == '+' || u == '-' || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'H'))
      kept.push_back(u);
  }
  return kept;
}

// The note of the letter in octave 0, counted in semitones from A0 (27.5 Hz).
double letter_base(char letter) {
  const auto semitones = [](int n) { return 27.5 * std::pow(2.0, n / 12.0); };
  switch (letter) {
    case 'A':
      return 27.5;
    case 'B':
    case 'H':
      return semitones(2);
    case 'C':
      return semitones(-9);
    case 'D':
      return semitones(-7);
    case 'E':
      return semitones(-5);
    case 'F':
      return semitones(-4);
    case 'G':
      return semitones(-2);
    default:
      return 0;
  }
}

}  // namespace

double note_value(std::string_view text) {
  const std::string t = note_characters(text);
  if (t.empty()) return 0;
  double value = letter_base(t[0]);
  std::string_view rest = std::string_view(t).substr(1);
  if (!rest.empty() && (rest[0] == '#' || rest[0] == 'B')) {
    value *= std::pow(2.0, (rest[0] == '#' ? 1 : -1) / 12.0);
    rest.remove_prefix(1);
  }
  // The octave is what a user leaves out ("A"), and the integer conversion would quote
  // only the empty rest of the name.
  int octave = 0;
  if (!try_parse_integer(rest, octave))
    throw VocantaError(quoted(text) +
                       " is neither a number nor a note with its octave, such as A4");
  const double frequency = value * std::pow(2.0, octave);
  if (!std::isfinite(frequency)) throw VocantaError(quoted(text) + " is out of range");
  return frequency;
}

}  // namespace vocanta
