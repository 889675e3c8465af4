#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Numbers in documents always use "."; the windows pass the user's decimal separator.

// The text without the blanks, tabs and line breaks around it, which the parsers ignore.
std::string_view trim_blanks(std::string_view text);

// At most 15 significant digits, fixed notation from 0.0001 up to below 1E15, otherwise
// scientific with a bare exponent ("1E-5", "2.5E20"). Every finite value gives a text that
// parse_number reads: the few that would round up past the largest double round down.
std::string format_number(double value, char decimalSeparator = '.');

// Fixed notation with exactly three decimals, as in the axis range fields.
std::string format_fixed3(double value, char decimalSeparator = '.');

// The shortest text with "." that reads back as exactly this double, whatever the locale
// ("0.35", "1e-07"): for files that other programs read, where every digit counts.
std::string format_round_trip(double value);

// Raises "Cannot convert empty string to number" for the empty text, otherwise "'%s' is
// not a valid floating point value" (a long text shown cut). Blanks around the number are
// ignored; no thousands separators.
double parse_number(std::string_view text, char decimalSeparator = '.');

// A decimal whole number in 32 bits; raises "'%s' is not a valid integer value".
int parse_integer(std::string_view text);

// The same rules without raising; false when the text is not such a number.
bool try_parse_number(std::string_view text, double& value, char decimalSeparator = '.');
bool try_parse_integer(std::string_view text, int& value);

}  // namespace vocanta
