#include "core/support/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/support/message_text.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
std::string_view trim_blanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal digits of |value| rounded to `digits` significant digits, trailing zeros
// removed, and the exponent of the first digit (value = d.ddd * 10^exponent).
struct Decimal {
  bool negative;
  std::string digits;
  int exponent;
};

// Values just below the largest double round up past it, to a text that reads as no
// number at all.
bool above_largest_double(const Decimal& d) {
  if (d.exponent < std::numeric_limits<double>::max_exponent10) return false;
  const std::string text =
      d.digits.substr(0, 1) + "." + d.digits.substr(1) + "e" + std::to_string(d.exponent);
  double v = 0;
  return std::from_chars(text.data(), text.data() + text.size(), v).ec ==
         std::errc::result_out_of_range;
}

// The next lower decimal of as many digits: the nearest text that still reads back.
void step_down(std::string& digits) {
  size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '0') digits[--i] = '9';
  if (i > 0) --digits[i - 1];
}

Decimal to_decimal(double value, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  Decimal d{buf[0] == '-', "", 0};
  const char* p = buf + (d.negative ? 1 : 0);
  for (; *p && *p != 'e'; ++p)
    if (is_digit(*p)) d.digits += *p;
  d.exponent = std::atoi(p + 1);
  if (above_largest_double(d)) step_down(d.digits);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string fixed_text(const Decimal& d, char separator) {
  std::string whole, fraction;
  if (d.exponent >= 0) {
    const size_t n = static_cast<size_t>(d.exponent) + 1;
    whole = d.digits.substr(0, std::min(n, d.digits.size()));
    if (whole.size() < n) whole.append(n - whole.size(), '0');
    if (d.digits.size() > n) fraction = d.digits.substr(n);
  } else {
    whole = "0";
    fraction = std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
  }
  std::string out = d.negative ? "-" : "";
  out += whole;
  if (!fraction.empty()) out += separator + fraction;
  return out;
}

}  // namespace

std::string format_number(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  const Decimal d = to_decimal(value, 15);
  if (d.exponent >= -4 && d.exponent <= 14) return fixed_text(d, decimalSeparator);
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (d.digits.size() > 1) out += decimalSeparator + d.digits.substr(1);
  return out + "E" + std::to_string(d.exponent);
}

std::string format_round_trip(double value) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string format_fixed3(double value, char decimalSeparator) {
  if (!std::isfinite(value)) return format_number(value, decimalSeparator);
  // Rounded from the 15-digit decimal form, so that 2.0005 shows as 2.001 as typed and
  // not as its binary neighbour below.
  const Decimal d = to_decimal(value, 15);
  // All digits from 10^max(e,0) down to 10^-3, with one more for rounding.
  const int top = std::max(d.exponent, 0);
  std::string fixed;
  for (int power = top; power >= -4; --power) {
    const int at = d.exponent - power;
    fixed += (at >= 0 && at < static_cast<int>(d.digits.size())) ? d.digits[at] : '0';
  }
  const bool roundUp = fixed.back() >= '5';
  fixed.pop_back();
  if (roundUp) {
    size_t i = fixed.size();
    while (i > 0 && fixed[i - 1] == '9') fixed[--i] = '0';
    if (i == 0)
      fixed.insert(fixed.begin(), '1');
    else
      ++fixed[i - 1];
  }
  const bool zero = fixed.find_first_not_of('0') == std::string::npos;
  std::string out = d.negative && !zero ? "-" : "";
  out += fixed.substr(0, fixed.size() - 3);
  out += decimalSeparator;
  out += fixed.substr(fixed.size() - 3);
  return out;
}

bool try_parse_number(std::string_view text, double& value, char decimalSeparator) {
  const std::string_view t = trim_blanks(text);
  std::string clean;  // the number in the form from_chars takes: no "+", "." as point
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  // Power of ten of the first significant digit as written before the exponent; it tells
  // an overflow from an underflow, whatever sign the exponent has.
  long long leading = 0;
  bool significant = false;
  size_t mantissaDigits = 0;
  for (; i < t.size() && is_digit(t[i]); ++i, ++mantissaDigits) {
    if (significant)
      ++leading;
    else
      significant = t[i] != '0';
    clean += t[i];
  }
  if (i < t.size() && t[i] == decimalSeparator) {
    clean += '.';
    for (++i; i < t.size() && is_digit(t[i]); ++i, ++mantissaDigits) {
      if (!significant) {
        --leading;
        significant = t[i] != '0';
      }
      clean += t[i];
    }
  }
  if (mantissaDigits == 0) return false;
  long long exponent = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    clean += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativeExponent = t[i++] == '-';
    if (negativeExponent) clean += '-';
    size_t exponentDigits = 0;
    for (; i < t.size() && is_digit(t[i]); ++i, ++exponentDigits) {
      clean += t[i];
      exponent = std::min(exponent * 10 + (t[i] - '0'), 1'000'000'000LL);
    }
    if (exponentDigits == 0) return false;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != t.size()) return false;
  double v = 0;
  const auto [end, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), v);
  if (end != clean.data() + clean.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Too small to hold is zero; too large is not a number we can store.
    if (leading + exponent >= 0) return false;
    v = 0;
  } else if (ec != std::errc()) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

double parse_number(std::string_view text, char decimalSeparator) {
  double v = 0;
  if (try_parse_number(text, v, decimalSeparator)) return v;
  // Only the empty text has a message of its own; blanks alone are a text that is no number.
  if (text.empty()) throw VocantaError("Cannot convert empty string to number");
  throw VocantaError(quoted(text) + " is not a valid floating point value");
}

bool try_parse_integer(std::string_view text, int& value) {
  const std::string_view t = trim_blanks(text);
  size_t i = (!t.empty() && t[0] == '+') ? 1 : 0;
  if (i == t.size() || (t[i] == '-' && i == 1)) return false;
  int v = 0;
  const auto [end, ec] = std::from_chars(t.data() + i, t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  value = v;
  return true;
}

int parse_integer(std::string_view text) {
  int v = 0;
  if (!try_parse_integer(text, v))
    throw VocantaError(quoted(text) + " is not a valid integer value");
  return v;
}

}  // namespace vocanta
