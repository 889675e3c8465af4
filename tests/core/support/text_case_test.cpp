#include "core/support/text_case.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/model/batch_list.h"

namespace vocanta {
namespace {

TEST(TextCaseTest, LowerAndUpperAcrossScripts) {
  EXPECT_EQ(to_lower_text("Batch ONE 1-2_Z"), "batch one 1-2_z");
  // Each pair both ways; the edges of the ranges and their pairing parity matter.
  const std::pair<const char*, const char*> pairs[] = {
      {"à", "À"}, {"þ", "Þ"}, {"ÿ", "Ÿ"}, {"ā", "Ā"}, {"ĳ", "Ĳ"}, {"ĺ", "Ĺ"},
      {"ň", "Ň"}, {"ŋ", "Ŋ"}, {"ŷ", "Ŷ"}, {"ź", "Ź"}, {"ž", "Ž"}, {"α", "Α"},
      {"ω", "Ω"}, {"а", "А"}, {"я", "Я"}, {"ѐ", "Ѐ"}, {"џ", "Џ"}};
  for (const auto& [lower, upper] : pairs) {
    EXPECT_EQ(to_lower_text(upper), lower) << upper;
    EXPECT_EQ(to_upper_first(lower), upper) << lower;
  }
  // Letters without a partner and signs stay as they are.
  EXPECT_EQ(to_lower_text("×ß÷ĸŉ"), "×ß÷ĸŉ");
  for (const char* same : {"×", "÷", "ß", "ĸ", "ŉ", "ς", "1"})
    EXPECT_EQ(to_upper_first(same), same);
  EXPECT_EQ(to_upper_first("ab"), "Ab");  // only the first letter
  EXPECT_EQ(to_upper_first(""), "");
  // Bytes that are not UTF-8 are kept as they are.
  EXPECT_EQ(to_lower_text("\xC4X\xFF"), "\xC4x\xFF");
  EXPECT_EQ(to_upper_first("\xE9t\xE9"), "\xE9t\xE9");
  // Overlong forms, such as 8-bit "À€" or "àƒƒ", are not letters in disguise.
  EXPECT_EQ(to_lower_text("\xC0\x80X"), std::string("\xC0\x80x"));
  EXPECT_EQ(to_lower_text("\xC1\x81\xE0\x83\x83"), "\xC1\x81\xE0\x83\x83");
  EXPECT_FALSE(equal_ignoring_case("\xC1\x81", "a"));
}

TEST(TextCaseTest, EqualIgnoringCase) {
  EXPECT_TRUE(equal_ignoring_case("FileType", "Filetype"));
  EXPECT_TRUE(equal_ignoring_case("", ""));
  EXPECT_FALSE(equal_ignoring_case("Gain", "Gains"));
  EXPECT_FALSE(equal_ignoring_case("[", "{"));  // 0x5B and 0x7B differ by the case bit
  EXPECT_FALSE(equal_ignoring_case("@", "`"));
  EXPECT_TRUE(equal_ignoring_case("Ärger Ÿ", "äRGER ÿ"));
  EXPECT_FALSE(equal_ignoring_case("Ärger", "Örger"));
}

TEST(TextCaseTest, BatchNameNormalization) {
  EXPECT_EQ(normalize_batch_name("batch ONE"), "Batch one");
  EXPECT_EQ(normalize_batch_name("LOUD VOICE"), normalize_batch_name("loud voice"));
  EXPECT_EQ(normalize_batch_name(""), "");
  EXPECT_EQ(normalize_batch_name("ÉCOLE"), "École");
  EXPECT_EQ(normalize_batch_name(" vib"), " vib");
  EXPECT_EQ(normalize_batch_name("1ST"), "1st");
}

}  // namespace
}  // namespace vocanta
