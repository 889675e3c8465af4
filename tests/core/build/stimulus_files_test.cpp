#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/build/split_build.h"
#include "core/build/stimulus_table.h"
#include "core/build/textgrid_writer.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"

namespace vocanta {
namespace {

TEST(StimulusFiles, NamesKeepOnlyPlainCharactersInOneRunAndNothingHiddenAtTheEnds) {
  EXPECT_EQ(file_name_part(" Pitch 0 Vowel 2"), "Pitch_0_Vowel_2");
  EXPECT_EQ(file_name_part("a/b\\c  d"), "a_b_c_d");
  EXPECT_EQ(file_name_part("F1+2.5-x"), "F1+2.5-x");
  EXPECT_EQ(file_name_part("\xC3\x9C"
                           "ber \"hoch\""),
            "ber_hoch");  // "Über", byte by byte
  EXPECT_EQ(file_name_part("..hidden."), "hidden");
  EXPECT_EQ(file_name_part("-option"), "option");
  EXPECT_EQ(file_name_part("_ / _"), "");
  EXPECT_EQ(voice_file_stem("cont", 3, 12, "F1 3"), "cont_03_F1_3");
  EXPECT_EQ(voice_file_stem("cont", 12, 12, "F1 3"), "cont_12_F1_3");
  EXPECT_EQ(voice_file_stem("my vowels", 1, 100, " / "), "my_vowels_001");
  EXPECT_EQ(voice_file_stem("", 7, 7, "No batch"), "7_No_batch");
}

TEST(StimulusFiles, TableFieldsAreQuotedOnlyWhereAReaderNeedsIt) {
  EXPECT_EQ(csv_field("Vowel 2"), "Vowel 2");
  EXPECT_EQ(csv_field(" Vowel 2"), "\" Vowel 2\"");
  EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
  EXPECT_EQ(csv_field("say \"e\""), "\"say \"\"e\"\"\"");
  EXPECT_EQ(csv_field("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(textgrid_string("say \"e\""), "\"say \"\"e\"\"\"");
}

// Points of one batch on two parameters, two of them at one x (a step): each gets a
// column of its own, named so that the two at one x differ, in the curve's order (a point
// added later at the same x comes first).
TEST(StimulusFiles, EveryBatchedPointHasAColumnOfItsOwn) {
  Voice voice;
  install_parameter_definitions(voice, '.');
  voice.add_point(param::kFormants, "Vowel", 2, 0.25, 1500, 1400, 300);
  voice.add_point(param::kFormants, "Vowel", 2, 0.25, 1800, 1700, 300);
  voice.add_point(param::kOverallLevel, "Vowel", 1, 0.5, 0, -6, 3);
  voice.add_point(param::kF0, "", 1, 0, 100, 0, 0);
  const int16_t vowel = voice.batches.find_batch_id("Vowel");
  voice.batches.find_batch(vowel)->nSteps = 2;
  BatchBuildChoice choice;
  choice.entries = sorted_batch_names(voice.batches);
  StimulusTable table(voice, choice);
  const std::vector<std::string> columns = table.columns();
  ASSERT_EQ(columns.size(), 11u);
  EXPECT_EQ(columns[7], "Vowel_step");
  EXPECT_EQ(columns[8], "Overall level@0.5s_dB");
  EXPECT_EQ(columns[9].substr(0, 9), "F2@0.25s_");
  EXPECT_EQ(columns[10], columns[9] + "#2");

  voice.batches.reset_all_batches();
  voice.batches.activate_only_batch(vowel);
  voice.batches.reset_batch(vowel);
  voice.batches.step_batch(vowel);
  voice.batches.step_batch(vowel);  // step 1 of 2
  const std::string label = "Vowel 1, \"mid\"";
  table.record(BuiltVoice{4, label, voice.batches, 800, 400}, "a b.wav", 800);
  voice.batches.deactivate_batches();
  table.record(BuiltVoice{5, "No batch", voice.batches, 1200, 400}, "a b.wav", 1200);
  const std::string text = table.text(8000);
  const std::string rows = text.substr(text.find("\r\n") + 2);
  EXPECT_EQ(rows,
            "5,a b.wav,800,400,0.1,0.05,\"Vowel 1, \"\"mid\"\"\",1,-4.5,1850,1550\r\n"
            "6,a b.wav,1200,400,0.15,0.05,No batch,,0,1800,1500\r\n");
}

TEST(StimulusFiles, TextGridIntervalsMeetWhereTheVoicesStart) {
  const std::string grid = textgrid_text({{0, 441, "a"}, {441, 441, "b \"c\""}}, 44100);
  EXPECT_NE(grid.find("xmax = 0.02 \ntiers? <exists> \nsize = 1 \n"), std::string::npos);
  EXPECT_NE(grid.find("intervals: size = 2 \n"), std::string::npos);
  EXPECT_NE(grid.find("intervals [1]:\n            xmin = 0 \n            xmax = 0.01 \n"
                      "            text = \"a\" \n"),
            std::string::npos);
  EXPECT_NE(grid.find("intervals [2]:\n            xmin = 0.01 \n            xmax = 0.02 \n"
                      "            text = \"b \"\"c\"\"\" \n"),
            std::string::npos);
}

}  // namespace
}  // namespace vocanta
