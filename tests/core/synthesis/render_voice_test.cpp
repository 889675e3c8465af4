#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>

#include "core/model/voice.h"
#include "core/synthesis/build_run.h"
#include "test_support.h"

namespace vocanta {
namespace {

std::vector<int16_t> samples_of(const std::string& bytes) {
  std::vector<int16_t> out;
  for (size_t i = 1024; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<int16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8));
  return out;
}

class RenderVoiceTest : public ::testing::Test {
 protected:
  RenderVoiceTest() {
    reset_to_new(voice);
    voice.settings.duration = "0.01";
  }
  std::vector<int16_t> build(const std::string& name = "v.smp") {
    run.build_voice(dir.file(name));
    const std::string bytes = testing::read_file(dir.file(name));
    EXPECT_EQ(bytes.size(), 1024 + 2 * static_cast<size_t>(run.samplesInFile)) << name;
    return samples_of(bytes);
  }
  void constant(int index, double y, int16_t curve = 1) {
    voice.add_point(index, "", curve, 0, y, 0, 0);
  }
  void clear(int index) { clear_curves(voice.parameter(index).state); }

  testing::TempDir dir;
  Voice voice;
  testing::EventHost host;
  BuildRun run{voice, host};
};

TEST(RenderVoice, DefaultVoiceStartsWithTheKnownSamples) {
  testing::TempDir dir;
  Voice voice;
  reset_to_new(voice);
  QuietBuildHost host;
  BuildRun run(voice, host);
  run.build_voice(dir.file("v.smp"));
  const std::string bytes = testing::read_file(dir.file("v.smp"));
  ASSERT_EQ(bytes.size(), 1024u + 32000u);
  const auto s = samples_of(bytes);
  EXPECT_EQ(s[0], 5554);
  EXPECT_EQ(s[1], 4163);
  EXPECT_EQ(s[2], 4878);

  voice.settings.maxHarmonics = "1";
  run.build_voice(dir.file("one.smp"));
  const auto one = samples_of(testing::read_file(dir.file("one.smp")));
  EXPECT_EQ(one[0], 118);
  EXPECT_EQ(one[1], 235);
  EXPECT_EQ(one[2], 353);
  EXPECT_EQ(run.outcome(), "Done!");
}

TEST_F(RenderVoiceTest, SameDocumentAndSeedGiveTheSameSamples) {
  constant(param::kNoiseLevel, -20);
  const auto plain = build("a.smp");
  EXPECT_EQ(build("b.smp"), plain);

  voice.settings.randomize = true;
  run.set_fixed_seed(12345);
  const auto randomized = build("c.smp");
  EXPECT_EQ(build("d.smp"), randomized);
  EXPECT_NE(randomized, plain);
}

TEST_F(RenderVoiceTest, SampleCountsAndBlocks) {
  voice.settings.duration = "0";
  EXPECT_TRUE(build().empty());
  EXPECT_EQ(run.outcome(), "Done!");
  voice.settings.duration = "-1";
  EXPECT_TRUE(build().empty());

  voice.settings.duration = "0.1";
  const auto longer = build("long.smp");
  // 1025 samples: a full block and a block of one that carries on where it stopped.
  voice.settings.duration = "0.0640625";
  const auto s = build();
  ASSERT_EQ(s.size(), 1025u);
  EXPECT_TRUE(std::equal(s.begin(), s.end(), longer.begin()));
  EXPECT_EQ(run.outcome(), "Done!");
}

TEST_F(RenderVoiceTest, AboveHalfTheSamplingFrequencyOnlyNoiseSounds) {
  constant(param::kF0, 7000);
  const auto below = build();
  EXPECT_NE(std::count(below.begin(), below.end(), 0), static_cast<long>(below.size()));
  clear(param::kF0);
  constant(param::kF0, 9000);
  const auto above = build();
  EXPECT_EQ(std::count(above.begin(), above.end(), 0), static_cast<long>(above.size()));
  EXPECT_EQ(run.overloadState, 0);
}

TEST_F(RenderVoiceTest, DegenerateCurvesNeitherStopTheBuildNorLeaveNaN) {
  const auto plain = build("plain.smp");

  constant(param::kF0, 0);
  const auto silent = build();
  EXPECT_EQ(std::count(silent.begin(), silent.end(), 0), static_cast<long>(silent.size()));
  EXPECT_EQ(run.overloadState, 0);
  clear(param::kF0);

  // A Q of 0 silences the flutter, however deep it is.
  constant(param::kFlutterAmplitude, 1e6);
  EXPECT_NE(build(), plain);
  constant(param::kFlutterQ, 0);
  EXPECT_EQ(build(), plain);
  clear(param::kFlutterAmplitude);
  clear(param::kFlutterQ);

  constant(param::kFormants, 500);
  constant(param::kFormantBandwidth, -50);
  EXPECT_EQ(build(), plain);
  EXPECT_EQ(run.overloadState, 0);
  clear(param::kFormantBandwidth);

  for (int16_t i = 2; i <= 40; ++i) constant(param::kFormants, 100.0 * i, i);
  build();
  EXPECT_EQ(run.outcome(), "Done!");
  clear(param::kFormants);

  const double inf = std::numeric_limits<double>::infinity();
  constant(param::kOverallLevel, inf);
  for (const int16_t v : build()) ASSERT_TRUE(v == 32767 || v == -32768) << v;
  EXPECT_EQ(run.overloadState, 1);
  // Infinite level times a silent sum: the sample that would be NaN becomes 0.
  constant(param::kNoiseLevel, -inf);
  constant(param::kF0, 9000);
  const auto nan = build();
  EXPECT_EQ(std::count(nan.begin(), nan.end(), 0), static_cast<long>(nan.size()));
  EXPECT_EQ(run.overloadState, 1);
  EXPECT_EQ(run.outcome(), "Done!");
}

TEST_F(RenderVoiceTest, BreakInTheMiddleOfABlockWritesWhatWasComputed) {
  voice.settings.duration = "0.1";
  const auto whole = build("whole.smp");
  host.onEvents = [&] {
    if (run.samplesComputed >= 300) run.request_break();
  };
  const auto broken = build("broken.smp");
  EXPECT_EQ(run.outcome(), "Break!");
  EXPECT_EQ(run.overloadState, 2);
  EXPECT_EQ(static_cast<int64_t>(broken.size()), run.samplesInFile);
  EXPECT_EQ(run.samplesInFile, run.samplesComputed);
  EXPECT_GT(broken.size(), 300u);
  EXPECT_LT(broken.size(), 1024u);
  EXPECT_TRUE(std::equal(broken.begin(), broken.end(), whole.begin()));
}

}  // namespace
}  // namespace vocanta
