#include "core/support/note_value.h"

#include <gtest/gtest.h>

#include <string>

#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

TEST(NoteValue, ReadsLetterAccidentalAndOctave) {
  EXPECT_EQ(note_value("A4"), 440);
  EXPECT_NEAR(note_value("C4"), 261.6256, 1e-4);
  EXPECT_NEAR(note_value("a#3"), 233.0819, 1e-4);
  EXPECT_NEAR(note_value("Bb2"), 116.5409, 1e-4);
  EXPECT_EQ(note_value("H3"), note_value("B3"));
  EXPECT_EQ(note_value(" a 4 !? "), 440);  // other characters are passed over
  EXPECT_EQ(note_value("A-1"), 13.75);
  EXPECT_EQ(note_value("A+1"), 55);
  EXPECT_EQ(note_value("xyz"), 0);
  EXPECT_EQ(note_value("#3"), 0);  // no letter: no note
}

TEST(NoteValue, RefusesAMissingOrHugeOctave) {
  // The message quotes what the user typed, not the rest of it after the letter.
  for (const char* bad : {"A", "C#", "A4-", "abc"}) {
    try {
      note_value(bad);
      ADD_FAILURE() << bad << " was read";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(bad) +
                              "' is neither a number nor a note with its octave, such as A4");
    }
  }
  try {
    note_value("A99999");
    ADD_FAILURE() << "an infinite frequency was read";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'A99999' is out of range");
  }
}

}  // namespace
}  // namespace vocanta
