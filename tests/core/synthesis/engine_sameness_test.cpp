// The fast engine against the reference engine on generated voices that move every
// parameter: the samples must agree but for an odd rounding of a last bit.
#include "core/synthesis/engine_sameness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "core/model/voice.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

using namespace param;

// A voice of its own for each seed: curves over time with steps and ramps, spectra,
// responses and phase curves with points on whole partial numbers (where the walk's
// direction decides the value), several formants, batch points and tweenie rows.
class GeneratedVoice {
 public:
  explicit GeneratedVoice(unsigned seed) : rng_(seed) {
    reset_to_new(voice);
    const int rates[] = {8000, 11025, 16000, 22050};
    voice.settings.samplingFrequency = std::to_string(rates[pick(4)]);
    voice.settings.duration = "0.03";
    voice.settings.tweenies = std::to_string(pick(4));
    const int most[] = {1000, 40, 7, 1};
    voice.settings.maxHarmonics = std::to_string(most[pick(4)]);
    voice.settings.randomize = pick(3) == 0;
    over_time(kOverallLevel, -6, 6);
    over_time(kHarmonicLevel, -10, 0);
    over_time(kSubharmonicLevel, -40, -10);
    over_time(kNoiseLevel, -80, -30);
    over_time(kF0, 80, 400);
    over_time(kF0Factor, 0.8, 1.2);
    over_time(kVibratoFrequency, 3, 8);
    over_time(kVibratoAmplitude, 0, 5);
    over_time(kFlutterAmplitude, 0, 3);
    over_time(kFlutterFrequency, 2, 8);
    over_time(kFlutterQ, 0.5, 2);
    over_time(kSpectralTilt, -12, 0);
    along(kHarmonicSpectrum, 1, 40, -20, 0);
    along(kSubharmonicSpectrum, 0.5, 40, -30, 0);
    along(kTweenieSpectrum, 0, 1, -20, 0);
    along(kFrequencyResponse, 0, 5000, -30, 6);
    along(kPhase, 1, 30, -180, 180);
    along(kSubPhase, 1, 30, -180, 180);
    over_time(kPhaseRandomness, 0, 100);
    over_time(kSubPhaseRandomness, 0, 100);
    for (int16_t n = 1; n <= pick(5); ++n) formant(n);
    over_time(kFormantFactor, 0.9, 1.1);
    along(kFormantBandwidth, 0, 5000, 50, 200);
    for (tbatchitem* b = voice.batches.head(); b; b = b->next) {
      b->active = true;
      b->factor = uniform(-1, 1);
    }
  }

  Voice voice;

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng_); }
  // Now and then a point of a batch, whose value the batch factor moves.
  void point(int p, int16_t n, double x, double y) {
    const bool batched = pick(5) == 0;
    voice.add_point(p, batched ? "b" + std::to_string(pick(2)) : "", n, x, y, y,
                    batched ? uniform(-y / 4, y / 4) : 0);
  }
  void over_time(int p, double lo, double hi) {
    if (pick(3) == 0) return;  // the default
    for (int i = 0, n = 1 + pick(4); i < n; ++i) point(p, 1, uniform(0, 0.04), uniform(lo, hi));
  }
  void along(int p, double from, double to, double lo, double hi) {
    if (pick(3) == 0) return;
    for (int i = 0, n = 1 + pick(5); i < n; ++i) {
      const double x = pick(2) ? std::round(uniform(from, to)) : uniform(from, to);
      point(p, 1, x, uniform(lo, hi));
      if (pick(4) == 0) point(p, 1, x, uniform(lo, hi));  // a step at the same x
    }
  }
  void formant(int16_t n) {
    for (int i = 0, count = 1 + pick(3); i < count; ++i)
      point(kFormants, n, uniform(0, 0.04), uniform(300, 3500) * n / 2);
  }

  std::mt19937 rng_;
};

using sameness::render;

TEST(EngineSameness, TheFastEngineWritesTheReferenceSamplesOverGeneratedVoices) {
  size_t samples = 0, differing = 0;
  int largest = 0;
  for (unsigned seed = 1; seed <= 24; ++seed) {
    GeneratedVoice g(seed);
    const std::vector<int16_t> reference = render(g.voice, Engine::Reference);
    const std::vector<int16_t> fast = render(g.voice, Engine::Fast);
    ASSERT_EQ(fast.size(), reference.size()) << "seed " << seed;
    for (size_t i = 0; i < fast.size(); ++i) {
      const int d = std::abs(fast[i] - reference[i]);
      largest = std::max(largest, d);
      if (d != 0) ++differing;
    }
    samples += fast.size();
  }
  EXPECT_GT(samples, 10000u);
  EXPECT_LE(largest, 1);
  EXPECT_LE(differing * 10000, samples) << differing << " of " << samples << " samples differ";
}

}  // namespace
}  // namespace vocanta

namespace vocanta {
namespace {

std::vector<int16_t> render_on(Voice& voice, const char* threads) {
  setenv("VOCANTA_THREADS", threads, 1);
  std::vector<int16_t> out = render(voice, Engine::Fast);
  unsetenv("VOCANTA_THREADS");
  return out;
}

TEST(EngineSameness, TheThreadCountChangesNoSample) {
  for (unsigned seed : {3u, 7u, 11u, 19u}) {
    GeneratedVoice g(seed);
    // Several chunks of the pipeline, and at 8 kHz still long enough to start it.
    g.voice.settings.duration = "0.5";
    EXPECT_EQ(render_on(g.voice, "1"), render_on(g.voice, "2")) << "seed " << seed;
  }
}

}  // namespace
}  // namespace vocanta
