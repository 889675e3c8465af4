// Both engines over one voice, and how far apart their samples lie. The voices of these
// tests are built loud and unclipped: a fast engine that slips by a hundredth of a last
// bit flips about one sample in a hundred there, while a clipped or quiet sample would
// hide the slip.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/model/voice.h"
#include "core/synthesis/synthesis_settings.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta::sameness {

inline std::vector<int16_t> render(Voice& voice, Engine engine) {
  const SynthesisSettings settings = read_synthesis_settings(voice, '.');
  voice.random.seed = 12345;  // randomized voices draw on from here in both runs
  VoiceRenderer renderer(voice, settings, nullptr, engine);
  renderer.start();
  std::vector<int16_t> out(static_cast<size_t>(renderer.samples_left()));
  for (size_t done = 0; done < out.size();) done += renderer.render(out.data() + done, 1024);
  return out;
}

struct Tally {
  size_t samples = 0, differing = 0, clipped = 0;
  int largest = 0, peak = 0;
};

// Counts what tells the fast engine's samples from the reference's.
inline void count(const std::vector<int16_t>& reference, const std::vector<int16_t>& fast,
                  Tally& tally) {
  ASSERT_EQ(fast.size(), reference.size());
  for (size_t i = 0; i < fast.size(); ++i) {
    const int d = std::abs(fast[i] - reference[i]);
    tally.largest = std::max(tally.largest, d);
    if (d != 0) ++tally.differing;
    if (reference[i] == 32767 || reference[i] == -32768) ++tally.clipped;
    tally.peak = std::max(tally.peak, std::abs(static_cast<int>(reference[i])));
  }
  tally.samples += fast.size();
}

// Renders the voice with both engines and counts what tells them apart.
inline void compare(Voice& voice, Tally& tally) {
  count(render(voice, Engine::Reference), render(voice, Engine::Fast), tally);
}

// At most one last bit apart, in at most one sample in 10,000; and a voice that could
// show a difference: loud enough, never clipped.
inline void expect_same(const Tally& t, const std::string& what, int loud = 4000) {
  std::printf("[sameness] %s: largest difference %d, %zu of %zu samples differ, peak %d\n",
              what.c_str(), t.largest, t.differing, t.samples, t.peak);
  EXPECT_GT(t.samples, 0u) << what;
  EXPECT_LE(t.largest, 1) << what;
  EXPECT_LE(t.differing * 10000, t.samples)
      << what << ": " << t.differing << " of " << t.samples << " samples differ";
  EXPECT_EQ(t.clipped, 0u) << what << ": clipped samples would hide a difference";
  EXPECT_GE(t.peak, loud) << what << ": too quiet for a slip to show";
}

// Voices built point by point.
class VoiceMaker {
 public:
  VoiceMaker(int fs, double seconds, int maxHarmonics, int tweenies, double gainDb) {
    reset_to_new(voice);
    voice.settings.samplingFrequency = std::to_string(fs);
    voice.settings.duration = std::to_string(seconds);
    voice.settings.maxHarmonics = std::to_string(maxHarmonics);
    voice.settings.tweenies = std::to_string(tweenies);
    voice.settings.gain = std::to_string(gainDb);
  }
  VoiceMaker& at(int p, double x, double y, int16_t curve = 1) {
    voice.add_point(p, "", curve, x, y, y, 0);
    return *this;
  }
  // The curve runs to before below x and from after above it.
  VoiceMaker& step(int p, double x, double before, double after, int16_t curve = 1) {
    // A point joins its curve ahead of the points already at its x.
    at(p, x, after, curve);
    return at(p, x, before, curve);
  }

  Voice voice;
};

}  // namespace vocanta::sameness
