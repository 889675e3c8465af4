#include "core/model/parameter_table.h"

#include <gtest/gtest.h>

#include <set>

#include "core/model/voice.h"

namespace vocanta {
namespace {

TEST(ParameterTable, InstallsCaptionsRangesAndDefaults) {
  Voice voice;
  install_parameter_definitions(voice, '.');

  const Parameter& f0 = voice.parameter(param::kF0);
  EXPECT_EQ(f0.paramNumber, 5);
  EXPECT_EQ(f0.title, "F0");
  EXPECT_EQ(f0.key, "F0");
  EXPECT_EQ(f0.yCaption, "Freq[Hz]");
  EXPECT_EQ(f0.xCaption, "Time[s]");
  EXPECT_EQ(f0.xMax, "1");
  EXPECT_EQ(f0.yMax, "200");
  EXPECT_EQ(f0.state.defaultValue, 100);

  // Empty units still show their brackets on y; partial-number axes show the label alone.
  EXPECT_EQ(voice.parameter(param::kFlutterQ).yCaption, "Q[]");
  EXPECT_EQ(voice.parameter(param::kF0Factor).yCaption, "Factor[]");
  EXPECT_EQ(voice.parameter(param::kHarmonicSpectrum).xCaption, "Partial#");
  EXPECT_EQ(voice.parameter(param::kTweenieSpectrum).xCaption, "Tweenie #");
  EXPECT_EQ(voice.parameter(param::kPhase).yCaption, "Phase[\u00B0]");
  EXPECT_EQ(voice.parameter(param::kFormantBandwidth).xCaption, "Form. freq[Hz]");

  // Half the sampling frequency for the two frequency axes.
  EXPECT_EQ(voice.parameter(param::kFrequencyResponse).xMax, "8000");
  EXPECT_EQ(voice.parameter(param::kFormantBandwidth).xMax, "8000");
  EXPECT_EQ(voice.parameter(param::kHarmonicSpectrum).xMax, "20");
  EXPECT_EQ(voice.parameter(param::kTweenieSpectrum).xMax, "1");

  EXPECT_DOUBLE_EQ(voice.parameter(param::kTweenieSpectrum).xGridStep, 0.5);
  EXPECT_DOUBLE_EQ(voice.parameter(param::kSubharmonicSpectrum).xGridOffset, 0.5);
  EXPECT_DOUBLE_EQ(voice.parameter(param::kSubPhase).xGridOffset, 0.5);
  EXPECT_TRUE(voice.parameter(param::kFormants).multiCurve);
  EXPECT_FALSE(voice.parameter(param::kFormants).showDefault);
  EXPECT_FALSE(voice.parameter(param::kFrequencyResponse).showDefault);
}

TEST(ParameterTable, KeysTitlesAndInstallOrderAreComplete) {
  std::set<std::string_view> keys, titles;
  std::set<int> installed(kInstallOrder.begin(), kInstallOrder.end());
  for (const ParameterDefinition& d : kParameterTable) {
    keys.insert(d.key);
    titles.insert(d.title);
  }
  // Keys name document sections and titles background entries: both must be unique.
  EXPECT_EQ(keys.size(), 23u);
  EXPECT_EQ(titles.size(), 23u);
  EXPECT_EQ(installed.size(), 23u);
  EXPECT_EQ(*installed.begin(), 0);
  EXPECT_EQ(*installed.rbegin(), 22);
}

TEST(ParameterTable, RangesFollowTheSettingsTexts) {
  Voice voice;
  voice.settings.duration = "2,5";
  voice.settings.samplingFrequency = "44100";
  install_parameter_definitions(voice, ',');
  EXPECT_EQ(voice.parameter(param::kOverallLevel).xMax, "2,5");
  EXPECT_EQ(voice.parameter(param::kFrequencyResponse).xMax, "22050");
  voice.settings.samplingFrequency = "22049";
  install_parameter_definitions(voice, ',');
  EXPECT_EQ(voice.parameter(param::kFormantBandwidth).xMax, "11024,5");

  voice.settings.duration = std::string(1, '3');  // "3" trips a false -Wrestrict of GCC 12
  set_time_ranges(voice);
  EXPECT_EQ(voice.parameter(param::kFormants).xMax, "3");
  EXPECT_EQ(voice.parameter(param::kPhase).xMax, "20");
}

TEST(ParameterTable, NewClearsTheVoiceButKeepsRandomize) {
  Voice voice;
  reset_to_new(voice);
  voice.add_point(param::kF0, "Vowel", 1, 0, 120, 120, 0);
  voice.parameter(param::kF0).backgroundFile = "/tmp/a.bmp";
  voice.parameter(param::kF0).state.defaultValue = 5;
  voice.settings.gain = "-3";
  voice.settings.randomize = true;
  voice.tweeniesInUse = 4;
  reset_to_new(voice);
  EXPECT_EQ(curve_count(voice.parameter(param::kF0).state), 0);
  EXPECT_EQ(voice.parameter(param::kF0).backgroundFile, "");
  EXPECT_EQ(voice.parameter(param::kF0).state.defaultValue, 100);
  EXPECT_EQ(voice.batches.batch_count(), 0);
  EXPECT_EQ(voice.settings.gain, "-20");
  EXPECT_TRUE(voice.settings.randomize);
  EXPECT_EQ(voice.tweeniesInUse, 1);
  // With no curve, the formants yield no formant at all and the rest their defaults.
  EXPECT_EQ(curve_count(voice.parameter(param::kFormants).state), 0);
  EXPECT_EQ(curve_value(voice.parameter(param::kFlutterQ).state, 1, 0.3), 0.707);
}

}  // namespace
}  // namespace vocanta
