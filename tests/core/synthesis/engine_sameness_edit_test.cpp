// Curves edited while a voice renders, as the user may between two blocks of a build in
// the window: both engines must render the rest of the voice from the edited curves, and
// the fast one must not lose its place when the edit changes the form it renders in.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/synthesis/engine_sameness.h"

namespace vocanta::sameness {
namespace {

using namespace param;

// The voice rendered block by block, edited once the block that ends at editAt is out.
std::vector<int16_t> render_edited(Voice& voice, Engine engine, size_t editAt,
                                   const std::function<void(Voice&)>& edit) {
  const SynthesisSettings settings = read_synthesis_settings(voice, '.');
  voice.random.seed = 12345;
  VoiceRenderer renderer(voice, settings, nullptr, engine);
  renderer.start();
  std::vector<int16_t> out(static_cast<size_t>(renderer.samples_left()));
  for (size_t done = 0; done < out.size();) {
    if (done == editAt) edit(voice);
    done += renderer.render(out.data() + done, 1024);
  }
  return out;
}

// A moving voice with a response of two stretches.
void moving_voice(VoiceMaker& m) {
  m.at(kF0, 0, 140).at(kF0, 0.5, 160).at(kVibratoAmplitude, 0, 3).at(kVibratoFrequency, 0, 6);
  m.at(kFrequencyResponse, 0, 0).at(kFrequencyResponse, 3000, -20);
  m.at(kFormants, 0, 700).at(kFormantBandwidth, 0, 90);
}

TEST(EngineSameness, AnEditBetweenBlocksThatChangesTheFormLosesNoSample) {
  // A step put into the response sends the rest of the voice from the polynomials to the
  // general form, whose samples must go on from where the polynomials' ended.
  const std::function<void(Voice&)> step = [](Voice& v) {
    v.add_point(kFrequencyResponse, "", 1, 1000, -3, -3, 0);
    v.add_point(kFrequencyResponse, "", 1, 1000, -9, -9, 0);
  };
  std::vector<int16_t> samples[2];
  for (const Engine engine : {Engine::Reference, Engine::Fast}) {
    VoiceMaker m(16000, 0.5, 1000, 1, -20);
    moving_voice(m);
    samples[engine == Engine::Fast] = render_edited(m.voice, engine, 3072, step);
  }
  Tally t;
  count(samples[0], samples[1], t);
  expect_same(t, "a step added after 3072 samples");
}

}  // namespace
}  // namespace vocanta::sameness

namespace vocanta::sameness {
namespace {

TEST(EngineSameness, AVibratoRateTooLargeForItsPhaseAgreesWithoutDepth) {
  // For the first 50 ms the vibrato phase overflows to infinity at every sample; with no
  // depth its undefined sine still makes the fundamental undefined, and the voice
  // silent, in both engines alike. Then the rate is an ordinary one.
  VoiceMaker m(16000, 0.1, 1000, 1, -20);
  m.at(param::kF0, 0, 150).step(param::kVibratoFrequency, 0.05, 1e308, 5);
  m.at(param::kFormants, 0, 700).at(param::kFormantBandwidth, 0, 90);
  Tally t;
  compare(m.voice, t);
  expect_same(t, "a vibrato rate of 1e308 Hz without depth");
}

}  // namespace
}  // namespace vocanta::sameness
