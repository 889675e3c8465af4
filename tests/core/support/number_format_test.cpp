#include "core/support/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// A quoted text and the rest of its message, appended piece by piece: "'" + text trips a
// false -Wrestrict warning of GCC 12 in Release.
std::string quoting(std::string_view text, std::string_view rest) {
  std::string out(1, '\'');
  out += text;
  out += rest;
  return out;
}

std::string error_of(auto&& call) {
  try {
    call();
  } catch (const VocantaError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(NumberFormatTest, FixedAndScientificBoundaries) {
  EXPECT_EQ(format_number(0), "0");
  EXPECT_EQ(format_number(-0.0), "0");
  EXPECT_EQ(format_number(0.0001), "0.0001");
  EXPECT_EQ(format_number(0.00001), "1E-5");
  EXPECT_EQ(format_number(-0.000012345), "-1.2345E-5");
  EXPECT_EQ(format_number(1e15), "1E15");
  EXPECT_EQ(format_number(999999999999999.0), "999999999999999");
  EXPECT_EQ(format_number(2.5e20), "2.5E20");
  EXPECT_EQ(format_number(1.5e-300), "1.5E-300");
  EXPECT_EQ(format_number(-20), "-20");
  EXPECT_EQ(format_number(-0.5), "-0.5");
  EXPECT_EQ(format_number(1e14), "100000000000000");
}

TEST(NumberFormatTest, FifteenSignificantDigitsRounded) {
  EXPECT_EQ(format_number(0.1 + 0.2), "0.3");
  EXPECT_EQ(format_number(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(format_number(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(format_number(123456789.123456789), "123456789.123457");
  // Rounding that carries into a new leading digit moves to the next notation.
  EXPECT_EQ(format_number(999999999999999.6), "1E15");
  EXPECT_EQ(format_number(9.9999999999999951e-5), "0.0001");
  EXPECT_EQ(format_number(1.0 / 3 * 1e-10), "3.33333333333333E-11");
}

TEST(NumberFormatTest, DecimalSeparatorAndNonFinite) {
  EXPECT_EQ(format_number(0.5, ','), "0,5");
  EXPECT_EQ(format_number(-1234.25, ','), "-1234,25");
  EXPECT_EQ(format_number(2.5e20, ','), "2,5E20");
  EXPECT_EQ(format_number(7, ','), "7");
  EXPECT_EQ(format_number(std::nan("")), "NAN");
  EXPECT_EQ(format_number(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(format_number(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(NumberFormatTest, FormattedNumbersReadBack) {
  for (double v : {0.1, -20.0, 1e-5, 0.0001, 2.5e20, -123.456, 1e300, 1e-310, 16000.0})
    EXPECT_EQ(parse_number(format_number(v)), v) << format_number(v);
  for (double v : {0.1, -1234.25, 3.0e-7}) EXPECT_EQ(parse_number(format_number(v, ','), ','), v);
  // Rounded up to 15 digits, the largest doubles would pass the largest one and read as
  // no number at all: they round down.
  const double top = std::numeric_limits<double>::max();
  EXPECT_EQ(format_number(top), "1.79769313486231E308");
  EXPECT_EQ(format_number(-top, ','), "-1,79769313486231E308");
  EXPECT_EQ(format_number(1.7976931348623149e308), "1.79769313486231E308");
  EXPECT_EQ(format_number(1.7976931348623e308), "1.7976931348623E308");
  EXPECT_EQ(parse_number(format_number(top)), 1.79769313486231e308);
  EXPECT_EQ(parse_number(format_fixed3(-top)), -1.79769313486231e308);
}

TEST(NumberFormatTest, FixedThreeDecimals) {
  EXPECT_EQ(format_fixed3(0), "0.000");
  EXPECT_EQ(format_fixed3(2.0005), "2.001");
  EXPECT_EQ(format_fixed3(-2.0005), "-2.001");
  EXPECT_EQ(format_fixed3(9.9996), "10.000");
  EXPECT_EQ(format_fixed3(-999.9995), "-1000.000");
  EXPECT_EQ(format_fixed3(0.0005), "0.001");
  EXPECT_EQ(format_fixed3(0.00049), "0.000");
  EXPECT_EQ(format_fixed3(-0.0001), "0.000");  // no "-0.000"
  EXPECT_EQ(format_fixed3(1234.5, ','), "1234,500");
  EXPECT_EQ(format_fixed3(2.5e20), "250000000000000000000.000");
  EXPECT_EQ(format_fixed3(std::nan("")), "NAN");
}

TEST(NumberFormatTest, ParseAcceptedForms) {
  EXPECT_EQ(parse_number("120"), 120);
  EXPECT_EQ(parse_number("-20"), -20);
  EXPECT_EQ(parse_number("+2.5"), 2.5);
  EXPECT_EQ(parse_number("  0.5 "), 0.5);
  EXPECT_EQ(parse_number(".5"), 0.5);
  EXPECT_EQ(parse_number("5."), 5);
  EXPECT_EQ(parse_number("1E-5"), 0.00001);
  EXPECT_EQ(parse_number("1e+3"), 1000);
  EXPECT_EQ(parse_number("-2.5E20"), -2.5e20);
  EXPECT_EQ(parse_number("0,25", ','), 0.25);
  EXPECT_EQ(parse_number("1,5E2", ','), 150);
  // Far below the smallest double is zero; huge mantissas with small exponents are fine.
  EXPECT_EQ(parse_number("1e-400"), 0);
  EXPECT_EQ(parse_number("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(parse_number("1" + std::string(400, '0') + "e-390"), 1e10);
}

TEST(NumberFormatTest, ParseRefusals) {
  EXPECT_EQ(error_of([] { parse_number(""); }), "Cannot convert empty string to number");
  // Blanks alone are a text, just not a number.
  EXPECT_EQ(error_of([] { parse_number("   "); }), "'   ' is not a valid floating point value");
  EXPECT_EQ(error_of([] { parse_number("\t"); }), "'\t' is not a valid floating point value");
  for (const char* bad : {"abc", "1,5", "1.000,5", "1 000", "1e", "e5", ".", "-", "+-1", "--1",
                          "0x10", "inf", "NAN", "1.5.2", "1e5.5", "12a", "1e+-2"})
    EXPECT_EQ(error_of([&] { parse_number(bad); }),
              quoting(bad, "' is not a valid floating point value"));
  // With ',' as separator the point is no longer one.
  EXPECT_EQ(error_of([] { parse_number("0.5", ','); }),
            "'0.5' is not a valid floating point value");
  // Too large to hold is refused, however the exponent is written.
  for (std::string big :
       {std::string("1e400"), std::string("-1E309"), "1" + std::string(400, '0'),
        "1" + std::string(400, '0') + "e-10", std::string("1e99999999999999999999")})
    EXPECT_EQ(
        error_of([&] { parse_number(big); }),
        quoting(big.substr(0, 60), big.size() > 60 ? "…' is not a valid floating point value"
                                                   : "' is not a valid floating point value"));
  double untouched = 42;
  EXPECT_FALSE(try_parse_number("x", untouched));
  EXPECT_EQ(untouched, 42);
}

TEST(NumberFormatTest, MessagesQuoteLongAndHiddenTextsReadably) {
  // A value of megabytes is cut to 60 characters (letters, not bytes) and marked as cut.
  const std::string huge(1'000'000, '7');
  EXPECT_EQ(error_of([&] { parse_number(huge + "x"); }),
            quoting(std::string(60, '7'), "…' is not a valid floating point value"));
  std::string umlauts;
  for (int i = 0; i < 61; ++i) umlauts += "ä";
  EXPECT_EQ(error_of([&] { parse_integer(umlauts); }),
            quoting(umlauts.substr(0, 120), "…' is not a valid integer value"));
  EXPECT_EQ(error_of([&] { parse_integer(umlauts.substr(0, 120)); }),
            quoting(umlauts.substr(0, 120), "' is not a valid integer value"));
  // NUL and line ends are shown, not obeyed: a C string would end at the NUL.
  EXPECT_EQ(error_of([] { parse_number(std::string("1\0z\r\n", 5)); }),
            "'1\\0z\\r\\n' is not a valid floating point value");
  EXPECT_STREQ(VocantaError(std::string("a\0b", 3)).what(), "a\\0b");
}

TEST(NumberFormatTest, Integers) {
  EXPECT_EQ(parse_integer("0"), 0);
  EXPECT_EQ(parse_integer(" 3 "), 3);
  EXPECT_EQ(parse_integer("+17"), 17);
  EXPECT_EQ(parse_integer("-5"), -5);
  EXPECT_EQ(parse_integer("2147483647"), 2147483647);
  EXPECT_EQ(parse_integer("-2147483648"), -2147483647 - 1);
  for (const char* bad :
       {"", " ", "abc", "1.0", "1e3", "+-1", "-+1", "--1", "+", "2147483648", "0x10", "3 4"})
    EXPECT_EQ(error_of([&] { parse_integer(bad); }),
              quoting(bad, "' is not a valid integer value"));
  int untouched = 9;
  EXPECT_FALSE(try_parse_integer("9x", untouched));
  EXPECT_EQ(untouched, 9);
}

}  // namespace
}  // namespace vocanta
