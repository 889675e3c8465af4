#include <cmath>
#include <cstring>
#include <string>

#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "fuzz_check.h"

using namespace vocanta;
using vocanta::fuzz::require;

namespace {

// The raising parsers accept exactly what the others accept, with the same value.
void require_parsers_agree(std::string_view text) {
  double number = 0;
  const bool isNumber = try_parse_number(text, number);
  try {
    const double parsed = parse_number(text);
    require(isNumber && parsed == number, "parse_number agrees");
  } catch (const VocantaError&) {
    require(!isNumber, "parse_number raises only on what try_parse_number refuses");
  }
  int whole = 0;
  const bool isInteger = try_parse_integer(text, whole);
  try {
    const int parsed = parse_integer(text);
    require(isInteger && parsed == whole, "parse_integer agrees");
  } catch (const VocantaError&) {
    require(!isInteger, "parse_integer raises only on what try_parse_integer refuses");
  }
  require(!isInteger || (isNumber && number == whole), "a whole number is a number too");
}

// What a document or a window shows must read back to a number that shows the same.
void require_round_trip(double value) {
  for (const char separator : {'.', ','}) {
    const std::string shown = format_number(value, separator);
    double back = 0;
    require(try_parse_number(shown, back, separator), "a formatted number parses");
    require(format_number(back, separator) == shown, "a parsed number formats the same");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = vocanta::fuzz::as_text(data, size);
  require_parsers_agree(text);
  double value = 0;
  if (try_parse_number(text, value)) require_round_trip(value);
  // Eight bytes are also taken as a double, to reach values no short text names.
  if (size == sizeof value) {
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value)) require_round_trip(value);
  }
  return 0;
}
