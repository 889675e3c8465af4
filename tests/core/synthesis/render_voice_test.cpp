#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>

#include "core/build/build_run.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/voice_renderer.h"
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
    EXPECT_EQ(bytes.size(), 1024 + 2 * static_cast<size_t>(run.samples_in_file())) << name;
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
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
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
  // A voice of no length is refused before the sample file is made.
  for (const char* length : {"0", "-1"}) {
    voice.settings.duration = length;
    EXPECT_THROW(run.build_voice(dir.file("none.smp")), VocantaError) << length;
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.smp"))) << length;
    EXPECT_FALSE(run.running()) << length;
  }

  voice.settings.duration = "0.1";
  const auto longer = build("long.smp");
  // 1025 samples: a full block and a block of one that carries on where it stopped.
  voice.settings.duration = "0.0640625";
  const auto s = build();
  ASSERT_EQ(s.size(), 1025u);
  EXPECT_TRUE(std::equal(s.begin(), s.end(), longer.begin()));
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

TEST_F(RenderVoiceTest, AboveHalfTheSamplingFrequencyOnlyNoiseSounds) {
  constant(param::kF0, 7000);
  const auto below = build();
  EXPECT_NE(std::count(below.begin(), below.end(), 0), static_cast<long>(below.size()));
  clear(param::kF0);
  constant(param::kF0, 9000);
  const auto above = build();
  EXPECT_EQ(std::count(above.begin(), above.end(), 0), static_cast<long>(above.size()));
  EXPECT_EQ(run.overload_state(), OverloadState::Clear);
}

TEST_F(RenderVoiceTest, DegenerateCurvesNeitherStopTheBuildNorLeaveNaN) {
  const auto plain = build("plain.smp");

  constant(param::kF0, 0);
  const auto silent = build();
  EXPECT_EQ(std::count(silent.begin(), silent.end(), 0), static_cast<long>(silent.size()));
  EXPECT_EQ(run.overload_state(), OverloadState::Clear);
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
  EXPECT_EQ(run.overload_state(), OverloadState::Clear);
  clear(param::kFormantBandwidth);

  for (int16_t i = 2; i <= 40; ++i) constant(param::kFormants, 100.0 * i, i);
  build();
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
  clear(param::kFormants);

  const double inf = std::numeric_limits<double>::infinity();
  constant(param::kOverallLevel, inf);
  for (const int16_t v : build()) ASSERT_TRUE(v == 32767 || v == -32768) << v;
  EXPECT_EQ(run.overload_state(), OverloadState::Clipped);
  // Infinite level times a silent sum: the sample that would be NaN becomes 0.
  constant(param::kNoiseLevel, -inf);
  constant(param::kF0, 9000);
  const auto nan = build();
  EXPECT_EQ(std::count(nan.begin(), nan.end(), 0), static_cast<long>(nan.size()));
  EXPECT_EQ(run.overload_state(), OverloadState::Clipped);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

TEST_F(RenderVoiceTest, ABreakEndsTheFileWithTheSamplesSoFar) {
  voice.settings.duration = "0.2";
  const auto whole = build("whole.smp");
  host.onEvents = [&] { run.request_break(); };
  const auto broken = build("broken.smp");
  EXPECT_EQ(run.outcome(), BuildOutcome::Break);
  EXPECT_EQ(run.overload_state(), OverloadState::Unknown);
  // The first break check refreshes the progress; the events of the second one break,
  // inside the first block, and the sample it was computing is given up.
  EXPECT_GT(broken.size(), 0u);
  EXPECT_LT(broken.size(), 1024u);
  EXPECT_EQ(run.samples_in_file(), run.samples_computed());
  EXPECT_TRUE(std::equal(broken.begin(), broken.end(), whole.begin()));
}

TEST_F(RenderVoiceTest, ClippingEitherWayLightsTheOverload) {
  // One harmonic far below the sampling frequency: nearly a constant, its sign set by
  // the phase, 30000 times 10 (gain 20 dB) beyond the 16-bit range.
  voice.settings.gain = "20";
  voice.settings.maxHarmonics = "1";
  constant(param::kF0, 0.01);
  constant(param::kPhase, 90);
  const auto high = build("high.smp");
  EXPECT_EQ(std::count(high.begin(), high.end(), 32767), static_cast<long>(high.size()));
  EXPECT_EQ(run.overload_state(), OverloadState::Clipped);
  clear(param::kPhase);
  constant(param::kPhase, -90);
  const auto low = build("low.smp");
  EXPECT_EQ(std::count(low.begin(), low.end(), -32768), static_cast<long>(low.size()));
  EXPECT_EQ(run.overload_state(), OverloadState::Clipped);
}

// Keeps what a build hands it, as playback will.
class MemorySink : public SampleSink {
 public:
  void begin(const SinkFormat& f) override { format = f; }
  size_t write(const int16_t* s, size_t count) override {
    samples.insert(samples.end(), s, s + count);
    return count;
  }
  void voice_done(int64_t start, int64_t count, const std::string& label) override {
    labels.push_back(std::to_string(start) + "," + std::to_string(count) + "," + label);
  }
  void finish() noexcept override { ++finished; }

  SinkFormat format;
  std::vector<int16_t> samples;
  std::vector<std::string> labels;
  int finished = 0;
};

// Curves with several points where the renderer walks per sample and per partial, the
// F0 curve flat so that its middle point can go without changing a sample.
class VoiceRendererTest : public RenderVoiceTest {
 protected:
  VoiceRendererTest() {
    voice.settings.duration = "0.2";
    voice.add_point(param::kF0, "", 1, 0, 120, 0, 0);
    f0Middle = voice.add_point(param::kF0, "", 1, 0.05, 120, 0, 0);
    voice.add_point(param::kF0, "", 1, 0.2, 120, 0, 0);
    for (const double f : {0.0, 1200.0, 4000.0})
      voice.add_point(param::kFrequencyResponse, "", 1, f, -f / 100, 0, 0);
    settings = read_synthesis_settings(voice, '.');
  }
  // The whole voice, rendered step samples at a time, with between after each step.
  std::vector<int16_t> render(size_t step, const std::function<void()>& between = {}) {
    VoiceRenderer renderer(voice, settings);
    renderer.start();
    std::vector<int16_t> out(static_cast<size_t>(settings.samplesPerVoice));
    for (size_t done = 0; renderer.samples_left() > 0;) {
      done += renderer.render(out.data() + done, step);
      if (between) between();
    }
    return out;
  }

  SynthesisSettings settings;
  TCurvePoint* f0Middle = nullptr;
};

TEST_F(VoiceRendererTest, BlocksOfAnySizeGiveTheSameSamplesAndLeaveTheWindowsCache) {
  CurveState& response = voice.parameter(param::kFrequencyResponse).state;
  curve_value(response, 1, 3000);  // where a window last looked
  const TCurvePoint* windowsPoint = response.evalPoint;
  const auto whole = render(settings.samplesPerVoice);
  EXPECT_EQ(render(1), whole);
  EXPECT_EQ(render(1000), whole);  // the last block is cut at the end of the voice
  EXPECT_EQ(response.evalPoint, windowsPoint);
  EXPECT_EQ(voice.parameter(param::kF0).state.evalPoint, nullptr);

  // The point the F0 walk stands on is deleted between two blocks.
  CurveState& f0 = voice.parameter(param::kF0).state;
  f0.currentCurve = f0.curves;
  EXPECT_EQ(render(1600,
                   [&] {
                     if (f0Middle) delete_point(f0, f0Middle);
                     f0Middle = nullptr;
                   }),
            whole);
}

TEST_F(VoiceRendererTest, AMemorySinkGetsWhatTheFileGets) {
  const auto file = build();
  MemorySink memory;
  run.run(memory, dir.file("memory.smp"), [&] { run.render_voice("m"); });
  EXPECT_EQ(memory.samples, file);
  EXPECT_EQ(memory.samples, render(1024));
  EXPECT_EQ(memory.format.samplingFrequency, 16000);
  EXPECT_FALSE(memory.format.labelled);
  EXPECT_EQ(memory.labels, std::vector<std::string>{"0,3200,m"});
  EXPECT_EQ(memory.finished, 1);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
  EXPECT_FALSE(std::filesystem::exists(dir.file("memory.smp")));
}

// Stops at its stopAt-th question (never for 0), noting the times it was asked at.
class CountingBreak : public RenderBreak {
 public:
  Answer break_now(double t) override {
    times.push_back(t);
    return static_cast<int>(times.size()) == stopAt ? Answer::kStop : Answer::kGoOn;
  }
  int stopAt = 0;
  std::vector<double> times;
};

TEST_F(VoiceRendererTest, TheBreakCheckStopsInsideASampleAndChangesNoOther) {
  // 3000 tweenie rows, each costing the sum of its phase factor: a check every few samples.
  voice.settings.tweenies = "3000";
  settings = read_synthesis_settings(voice, '.');
  const auto first = [&](RenderBreak* stop, size_t count) {
    VoiceRenderer renderer(voice, settings, stop);
    renderer.start();
    std::vector<int16_t> out(count);
    out.resize(renderer.render(out.data(), count));
    EXPECT_EQ(renderer.position(), static_cast<int64_t>(out.size()));
    return out;
  };
  const auto plain = first(nullptr, 64);
  CountingBreak never;
  EXPECT_EQ(first(&never, 64), plain);
  ASSERT_GT(never.times.size(), 3u);

  CountingBreak third;
  third.stopAt = 3;
  const auto cut = first(&third, 64);
  // The samples before the one the third check was computing, unchanged.
  EXPECT_EQ(cut.size(), static_cast<size_t>(std::lround(third.times.back() * settings.fs)));
  EXPECT_TRUE(std::equal(cut.begin(), cut.end(), plain.begin()));
  EXPECT_EQ(third.times.size(), 3u);
}

TEST_F(VoiceRendererTest, ALongCurveBringsTheChecksSooner) {
  // Every row of an engine that evaluates each partial walks the subharmonic phase curve
  // to and fro: 4000 points weigh more than the row's 66 partials.
  voice.settings.tweenies = "100";
  settings = read_synthesis_settings(voice, '.');
  const auto checks = [&] {
    CountingBreak counting;
    VoiceRenderer renderer(voice, settings, &counting, Engine::Reference);
    renderer.start();
    int16_t out[4];
    renderer.render(out, 4);
    return counting.times.size();
  };
  EXPECT_EQ(checks(), 0u);  // 4 samples of 6700 partials: none yet
  for (int i = 4000; i > 0; --i) voice.add_point(param::kSubPhase, "", 1, i / 40.0, 0, 0, 0);
  EXPECT_GE(checks(), 4 * 100 * 2000 / 32768u);
}

}  // namespace
}  // namespace vocanta
