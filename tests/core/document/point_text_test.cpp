#include "core/document/point_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/model/curve.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

void expect_point(std::string_view text, double y, double batchY, double batchRange,
                  const std::string& name) {
  SCOPED_TRACE(std::string(text));
  const PointText p = parse_point_value(text);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.batchY, batchY);
  EXPECT_EQ(p.batchRange, batchRange);
  EXPECT_EQ(p.batchName, name);
}

std::string error_of(std::string_view text) {
  try {
    parse_point_value(text);
  } catch (const VocantaError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(PointTextTest, Formatting) {
  TCurvePoint p;
  p.y = 120;
  p.batchY = 120;
  EXPECT_EQ(format_point_text(p, ""), "120;120;0;");
  p.y = -0.5;
  p.batchY = 1e-5;
  p.batchRange = 2.5e20;
  EXPECT_EQ(format_point_text(p, "Vib;rato"), "-0.5;1E-5;2.5E20;Vib;rato");
}

TEST(PointTextTest, AllForms) {
  expect_point("120", 120, 120, 0, "");             // a bare value
  expect_point("120;10;Vib", 120, 120, 10, "Vib");  // y;range;name
  expect_point("120;10;", 120, 120, 10, "");
  expect_point("120;;Vib", 120, 120, 0, "Vib");
  expect_point("120;100;40;", 120, 100, 40, "");  // the current form
  expect_point("120;100;40;Vib", 120, 100, 40, "Vib");
  expect_point(";5;7;", 0, 5, 7, "");
  expect_point(";;;", 0, 0, 0, "");
  expect_point("1E-5;-2.5;1e3;A;b;c", 0.00001, -2.5, 1000, "A;b;c");
  expect_point(" 120 ; 100 ;40; Vib", 120, 100, 40, " Vib");
  expect_point("120;10", 120, 120, 10, "");  // one separator: a value and a range
  expect_point("120;", 120, 120, 0, "");
}

TEST(PointTextTest, LongNamesAreCutAndBadNumbersRefused) {
  const std::string name(300, 'n');
  expect_point("1;2;3;" + name, 1, 2, 3, name.substr(0, 255));
  expect_point("1;2;" + name, 1, 1, 2, name.substr(0, 255));
  expect_point("1;2;3;" + name.substr(0, 255), 1, 2, 3, name.substr(0, 255));
  // Characters, not bytes: a name of 255 letters outside ASCII comes back whole.
  std::string letters;
  for (int i = 0; i < 256; ++i) letters += "\u0436";
  expect_point("1;2;3;" + letters, 1, 2, 3, letters.substr(0, 510));

  EXPECT_EQ(error_of(""), "Cannot convert empty string to number");
  EXPECT_EQ(error_of("abc"), "'abc' is not a valid floating point value");
  EXPECT_EQ(error_of("1;x;3;"), "'x' is not a valid floating point value");
  EXPECT_EQ(error_of("1;2;3,5;"), "'3,5' is not a valid floating point value");
  EXPECT_EQ(error_of("1,5;2;3;"), "'1,5' is not a valid floating point value");
}

}  // namespace
}  // namespace vocanta
