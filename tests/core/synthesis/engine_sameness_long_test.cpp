// The fast engine against the reference engine where phase and partial counts grow:
// voices of a minute, voices at 96 kHz, and fully randomized phases.
#include <gtest/gtest.h>

#include "core/model/parameter_table.h"
#include "core/synthesis/engine_sameness.h"

namespace vocanta::sameness {
namespace {

using namespace param;

// A minute at 8 kHz of few partials, so that the reference engine stays cheap while
// phi grows to some 470,000 radians unwrapped and k * phi further: a steady F0 for
// 25 s, then vibrato and flutter move f0 down a ramp, then a step to another steady
// F0 for 25 s under a formant that starts to move. Two tweenie rows repeat only every
// third turn of phi.
Voice& minute_voice(VoiceMaker& m) {
  m.at(kF0, 0, 1300).at(kF0, 25, 1300).step(kF0, 35, 1000, 1250);
  m.at(kVibratoFrequency, 0, 5.5);
  m.step(kVibratoAmplitude, 25, 0, 4).step(kVibratoAmplitude, 35, 4, 0);
  m.step(kFlutterAmplitude, 28, 0, 10).step(kFlutterAmplitude, 35, 10, 0);
  m.at(kSubharmonicLevel, 0, -6);
  m.at(kPhase, 1, 30).at(kPhase, 3, -90).at(kSubPhase, 2, 45);
  m.at(kFormants, 50, 1200).at(kFormants, 60, 1600);
  m.at(kFormantBandwidth, 0, 400);
  return m.voice;
}

TEST(EngineSameness, AMinuteOfSteadyAndMovingF0KeepsThePhase) {
  VoiceMaker m(8000, 60, 3, 2, -18);
  Tally t;
  compare(minute_voice(m), t);
  EXPECT_EQ(t.samples, 480000u);
  expect_same(t, "60 s at 8 kHz");
}

TEST(EngineSameness, AMinuteOfRandomizedPhasesOnASteadyF0) {
  // Every partial's phase drawn afresh: a periodic sum must take them all in.
  VoiceMaker m(8000, 60, 2, 1, -12);
  m.voice.settings.randomize = true;
  m.at(kF0, 0, 1300).at(kPhaseRandomness, 0, 100).at(kSubPhaseRandomness, 0, 100);
  m.at(kSubharmonicLevel, 0, -3);
  Tally t;
  compare(m.voice, t);
  expect_same(t, "60 s randomized, steady F0");
}

TEST(EngineSameness, VoicesAt96kHz) {
  Tally moving;
  {
    // Hundreds of partials a sample, moved by a fast vibrato and flutter under a
    // response that falls over the whole band.
    VoiceMaker m(96000, 0.1, 1000, 1, -20);
    m.at(kF0, 0, 120).at(kF0, 0.1, 300);
    m.at(kVibratoFrequency, 0, 40).at(kVibratoAmplitude, 0, 6).at(kFlutterAmplitude, 0, 5);
    m.at(kSubharmonicLevel, 0, -10);
    m.at(kFrequencyResponse, 0, 0).at(kFrequencyResponse, 3000, -10);
    m.at(kFrequencyResponse, 20000, -30).at(kFrequencyResponse, 48000, -50);
    const double formants[] = {700, 1220, 2600};
    for (int16_t i = 1; i <= 3; ++i) m.at(kFormants, 0, formants[i - 1], i);
    m.at(kFormantBandwidth, 0, 90).at(kFormantBandwidth, 3000, 150);
    compare(m.voice, moving);
  }
  expect_same(moving, "96 kHz, moving F0");

  Tally steady;
  {
    VoiceMaker m(96000, 0.1, 1000, 1, -20);
    m.at(kF0, 0, 100).at(kSubharmonicLevel, 0, -10).at(kFrequencyResponse, 0, 0);
    m.at(kFrequencyResponse, 20000, -30).at(kFormants, 0, 900).at(kFormantBandwidth, 0, 200);
    compare(m.voice, steady);
  }
  expect_same(steady, "96 kHz, steady F0");

  Tally full;
  {
    // Half the rate over F0 just 2048: the 2048 partials the spectra hold all sound.
    VoiceMaker m(96000, 0.1, 4000, 0, -20);
    m.at(kF0, 0, 23.4375).at(kPhase, 1, 90).at(kPhase, 2048, -90);
    compare(m.voice, full);
  }
  expect_same(full, "96 kHz, 2048 partials");
}

TEST(EngineSameness, RandomizedPhasesAtFullRandomness) {
  Tally moving;
  {
    VoiceMaker m(16000, 1, 1000, 1, -20);
    m.voice.settings.randomize = true;
    m.at(kF0, 0, 150).at(kF0, 1, 180);
    m.at(kVibratoAmplitude, 0, 5).at(kVibratoFrequency, 0, 6).at(kFlutterAmplitude, 0, 8);
    m.at(kPhaseRandomness, 0, 100).at(kSubPhaseRandomness, 0, 100);
    m.at(kSubharmonicLevel, 0, -6);
    compare(m.voice, moving);
  }
  expect_same(moving, "randomized phases, moving F0");

  Tally steady;
  {
    // A steady F0 under three tweenie rows: the sum repeats only every fourth turn.
    VoiceMaker m(16000, 1, 1000, 3, -20);
    m.voice.settings.randomize = true;
    m.at(kF0, 0, 200).at(kPhaseRandomness, 0, 100).at(kSubPhaseRandomness, 0, 100);
    m.at(kSubharmonicLevel, 0, -6);
    m.at(kFormants, 0, 800).at(kFormantBandwidth, 0, 200);
    compare(m.voice, steady);
  }
  expect_same(steady, "randomized phases, steady F0");
}

TEST(EngineSameness, ASteadyF0UnderCoefficientsThatMoveEverySample) {
  // f0 never changes, yet the tilt, the levels and the phase randomness do at every
  // sample: a sum that repeats with f0 must not be taken for a repeating one here.
  VoiceMaker m(16000, 1, 1000, 1, -20);
  m.at(kF0, 0, 220).at(kSpectralTilt, 0, -12).at(kSpectralTilt, 1, -2);
  m.at(kHarmonicLevel, 0, -6).at(kHarmonicLevel, 1, 0);
  m.at(kSubharmonicLevel, 0, -30).at(kSubharmonicLevel, 1, -6);
  m.at(kPhaseRandomness, 0, 0).at(kPhaseRandomness, 1, 100);
  m.at(kSubPhaseRandomness, 0, 100).at(kSubPhaseRandomness, 1, 0);
  Tally t;
  compare(m.voice, t);
  expect_same(t, "steady F0, moving coefficients");
}

}  // namespace
}  // namespace vocanta::sameness
