#include "core/build/level_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/build/build_run.h"
#include "core/model/voice.h"
#include "test_support.h"

namespace vocanta {
namespace {

std::vector<double> sine(size_t count, double amplitude) {
  std::vector<double> values(count);
  for (size_t i = 0; i < count; ++i)
    values[i] = amplitude * std::sin(2 * std::numbers::pi * static_cast<double>(i) / 32);
  return values;
}

TEST(LevelMatch, TargetsReadAsWrittenAndOthersAreRefused) {
  const auto peak = parse_level_target("peak=-1");
  ASSERT_TRUE(peak);
  EXPECT_EQ(peak->measure, LevelTarget::Measure::Peak);
  EXPECT_EQ(peak->dB, -1);
  const auto rms = parse_level_target("rms=-20.5");
  ASSERT_TRUE(rms);
  EXPECT_EQ(rms->measure, LevelTarget::Measure::Rms);
  EXPECT_EQ(rms->dB, -20.5);
  EXPECT_EQ(level_target_text(*rms), "rms=-20.5");
  for (const char* wrong : {"", "peak", "peak=", "loud=-1", "PEAK=-1", "rms=x", "rms=-1dB",
                            "peak=inf", "peak=nan", "rms=1e999", "=3"})
    EXPECT_FALSE(parse_level_target(wrong)) << wrong;
}

TEST(LevelMatch, FullScaleIs32768SoASquareIsZeroAndASineMinusThreeDbRms) {
  LevelMeter square;
  const std::vector<double> full{32768, -32768, 32768, -32768};
  square.add(full.data(), full.size());
  EXPECT_NEAR(square.gain_dB({LevelTarget::Measure::Rms, -20}), -20, 1e-12);
  EXPECT_NEAR(square.gain_dB({LevelTarget::Measure::Peak, -1}), -1, 1e-12);
  LevelMeter wave;
  const std::vector<double> values = sine(3200, 32768);
  wave.add(values.data(), values.size());
  EXPECT_NEAR(wave.gain_dB({LevelTarget::Measure::Rms, 0}), 3.0103, 1e-4);
  EXPECT_NEAR(wave.gain_dB({LevelTarget::Measure::Peak, 0}), 0, 1e-9);
  // Silence cannot be brought anywhere, and an undefined value does not spoil the rest.
  LevelMeter silent;
  const std::vector<double> zeros(100, 0.0);
  silent.add(zeros.data(), zeros.size());
  EXPECT_EQ(silent.gain_dB({LevelTarget::Measure::Rms, -20}), 0);
  const std::vector<double> odd{NAN, 16384, -8192};
  LevelMeter some;
  some.add(odd.data(), odd.size());
  EXPECT_NEAR(some.gain_dB({LevelTarget::Measure::Peak, 0}), 20 * std::log10(2.0), 1e-12);
}

TEST(LevelMatch, ValuesBeyondTheMemoryBoundWaitInATemporaryFileAndReadBackInOrder) {
  VoiceValues values(100);
  const std::vector<double> in = sine(1000, 1234.5678);
  for (size_t at = 0; at < in.size(); at += 70)
    values.append(in.data() + at, std::min<size_t>(70, in.size() - at));
  EXPECT_TRUE(values.spilled());
  values.rewind();
  std::vector<double> out(in.size() + 10);
  size_t got = 0;
  for (size_t n; (n = values.read(out.data() + got, 33)) > 0;) got += n;
  out.resize(got);
  EXPECT_EQ(out, in);
  // The next voice starts afresh, in memory while it fits.
  values.clear();
  values.append(in.data(), 50);
  EXPECT_FALSE(values.spilled());
  values.rewind();
  std::vector<double> again(60);
  EXPECT_EQ(values.read(again.data(), again.size()), 50u);
  EXPECT_TRUE(std::equal(in.begin(), in.begin() + 50, again.begin()));
}

// Counts what the build says of clipped voices.
class OverloadHost : public QuietBuildHost {
 public:
  void voice_overload(const std::string& label, int64_t count, double gainDb) override {
    said.push_back(label + " " + std::to_string(count) + " " + std::to_string(gainDb));
  }
  void overload_state(OverloadState state) override { last = state; }
  std::vector<std::string> said;
  OverloadState last = OverloadState::Unknown;
};

std::vector<int16_t> samples_of(const std::string& bytes) {
  std::vector<int16_t> s((bytes.size() - 1024) / 2);
  for (size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[1024 + 2 * i]) |
                                static_cast<uint8_t>(bytes[1024 + 2 * i + 1]) << 8);
  return s;
}

class LevelMatchBuild : public ::testing::Test {
 protected:
  LevelMatchBuild() {
    reset_to_new(voice);
    voice.settings.duration = "0.3";
  }
  std::string build(const std::string& name, std::optional<LevelTarget> target,
                    size_t memory = size_t{1} << 22) {
    run.set_level_target(target);
    run.set_level_memory(memory);
    run.build_voice(dir.file(name));
    return testing::read_file(dir.file(name));
  }

  testing::TempDir dir;
  Voice voice;
  OverloadHost host;
  BuildRun run{voice, host};
};

TEST_F(LevelMatchBuild, AVoiceReachesItsPeakAlsoWhenItSpillsAndNoTargetKeepsItsSamples) {
  const std::string plain = build("plain.smp", {});
  EXPECT_FALSE(run.voice_gain_dB());
  EXPECT_EQ(build("again.smp", {}), plain);
  const LevelTarget target{LevelTarget::Measure::Peak, -1};
  const std::string held = build("held.smp", target);
  ASSERT_TRUE(run.voice_gain_dB());
  const double gain = *run.voice_gain_dB();
  // A tenth of the voice in memory: the rest goes through the temporary file.
  EXPECT_EQ(build("spilled.smp", target, 480), held);
  const std::vector<int16_t> s = samples_of(held);
  const std::vector<int16_t> p = samples_of(plain);
  ASSERT_EQ(s.size(), 4800u);
  int peak = 0;
  for (const int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_NEAR(20 * std::log10(peak / 32768.0), -1, 0.01);
  // The gain scales the values before rounding: within a step of the plain samples scaled.
  const double factor = std::pow(10.0, gain / 20);
  for (size_t i = 0; i < s.size(); ++i) ASSERT_NEAR(s[i], p[i] * factor, 0.5 + factor / 2) << i;
  EXPECT_TRUE(host.said.empty());
  EXPECT_EQ(host.last, OverloadState::Clear);
}

TEST_F(LevelMatchBuild, AVoiceThatClipsAfterItsGainSaysSoWithTheOverloadState) {
  build("loud.smp", LevelTarget{LevelTarget::Measure::Rms, 0});
  ASSERT_EQ(host.said.size(), 1u);
  EXPECT_EQ(host.said[0].substr(0, 1), " ");  // a plain build's voice has no label
  EXPECT_EQ(host.last, OverloadState::Clipped);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

}  // namespace
}  // namespace vocanta
