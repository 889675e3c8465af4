#include "core/support/json_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace vocanta {
namespace {

TEST(JsonText, StringsEscapeWhatJsonForbidsAndReplaceBytesThatAreNoUtf8) {
  EXPECT_EQ(json_string("F1 3"), "\"F1 3\"");
  EXPECT_EQ(json_string("say \"a\"\\b"), "\"say \\\"a\\\"\\\\b\"");
  EXPECT_EQ(json_string("a\tb\r\nc"), "\"a\\tb\\r\\nc\"");
  EXPECT_EQ(json_string(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(json_string(std::string("nul\0", 4)), "\"nul\\u0000\"");
  // Valid sequences of two, three and four bytes pass unchanged.
  EXPECT_EQ(json_string("ä ɪ € 𝄞"), "\"ä ɪ € 𝄞\"");
  // A stray continuation byte, a lead byte without its continuation, an overlong form,
  // a surrogate and a code point beyond U+10FFFF each become one replacement per byte.
  EXPECT_EQ(json_string("\x80"), "\"\\ufffd\"");
  EXPECT_EQ(json_string("\xc3"), "\"\\ufffd\"");
  EXPECT_EQ(json_string("\xc3x"), "\"\\ufffdx\"");
  EXPECT_EQ(json_string("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(json_string("\xe0\x80\xaf"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(json_string("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(json_string("\xf4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
}

TEST(JsonText, NumbersReadBackExactlyAndWhatJsonCannotHoldIsNull) {
  EXPECT_EQ(json_number(0.25), "0.25");
  EXPECT_EQ(json_number(int64_t{9007199254740993}), "9007199254740993");
  for (const double v : {1.0 / 3.0, 400.0 / 44100.0, 1e-300, 123456789.125}) {
    const std::string text = json_number(v);
    double back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, v) << text;
  }
  EXPECT_EQ(json_number(std::numeric_limits<double>::quiet_NaN()), "null");
  EXPECT_EQ(json_number(-std::numeric_limits<double>::infinity()), "null");
}

}  // namespace
}  // namespace vocanta
