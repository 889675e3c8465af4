// The fast engine against the reference engine where curves break: steps in every
// curve, a frequency response of straight and steep stretches, and amplitudes from far
// below to far above full scale.
#include <gtest/gtest.h>

#include <string>

#include "core/model/parameter_table.h"
#include "core/synthesis/engine_sameness.h"

namespace vocanta::sameness {
namespace {

using namespace param;

bool has_step(const Voice& voice, int p) {
  for (const TCurve* c = voice.parameter(p).state.curves; c; c = c->next)
    for (const TCurvePoint* q = c->points; q && q->next; q = q->next)
      if (q->x == q->next->x) return true;
  return false;
}

// Steps over time, most on a sample's time (1/16000 s apart), some between two, chosen
// so that f0 stays steady between them: 200 Hz, 250, 300 (a negative F0 factor, which
// f0 takes as positive), 160, then vibrato and flutter, and for 25 ms an f0 above half
// the rate, with no partial at all. Levels, tilt and randomness step inside.
void steps_over_time(VoiceMaker& m) {
  m.at(kF0, 0, 200).step(kF0, 0.15, 200, 250).step(kF0, 0.3000312, 250, 160);
  m.step(kF0, 0.55, 160, 9000).step(kF0, 0.575, 9000, 170);
  m.step(kF0Factor, 0.225, 1, -1.2).step(kF0Factor, 0.3, -1.2, 1);
  m.step(kVibratoAmplitude, 0.4, 0, 4).step(kVibratoFrequency, 0.5, 5, 9);
  m.step(kFlutterAmplitude, 0.45, 0, 10).step(kFlutterFrequency, 0.35, 4, 7);
  m.step(kFlutterQ, 0.475, 0.7, 2);
  m.step(kOverallLevel, 0.175, 0, -4).step(kHarmonicLevel, 0.05, -2, 0);
  m.step(kSubharmonicLevel, 0.25, -20, -6).step(kNoiseLevel, 0.325, -100, -60);
  m.step(kSpectralTilt, 0.1, -6, -3);
  m.step(kPhaseRandomness, 0.075, 0, 60).step(kSubPhaseRandomness, 0.3750781, 0, 80);
  // Formant 3 sits on the bandwidth's step, which formant 2 crosses: the walk comes to
  // it from below, then from above.
  m.step(kFormants, 0.275, 600, 900, 1).at(kFormants, 0, 1000, 2).at(kFormants, 0.6, 2000, 2);
  m.at(kFormants, 0, 1500, 3);
  m.step(kFormantFactor, 0.525, 1, 1.1);
}

// Steps along partial numbers in the spectra, which are read once a voice or once a
// row, and along frequency in the bandwidth curve, which the formants cross.
void steps_in_spectra(VoiceMaker& m) {
  m.step(kHarmonicSpectrum, 3, 0, -12).at(kHarmonicSpectrum, 6, -6);
  m.step(kSubharmonicSpectrum, 2.5, -3, 3);
  m.step(kTweenieSpectrum, 1.0 / 3, 0, -10);  // on the first of two rows
  m.at(kFormantBandwidth, 0, 150).step(kFormantBandwidth, 1500, 200, 500);
  m.at(kFormantBandwidth, 4000, 300);
}

// Steps in the curves read at every partial, many on a partial: on the first partial a
// walk comes from above (it ended on the last), on the others from below. Harmonics 1
// and 2 of 200 Hz, subharmonics 1 and 3 of 200 Hz, harmonics 2 and 3 of 250 and 300 Hz,
// harmonic 5 of 200 Hz; each a drop of 12 dB or a rise.
void steps_along_partials(VoiceMaker& m) {
  m.step(kPhase, 1, 0, 90).step(kPhase, 2, -45, 45).at(kPhase, 10, 180);
  m.step(kSubPhase, 1, 30, -30).step(kSubPhase, 3, 0, 120);
  m.at(kFrequencyResponse, 0, 0).step(kFrequencyResponse, 100, 0, -12);
  m.step(kFrequencyResponse, 200, -12, 0).step(kFrequencyResponse, 400, -2, -14);
  m.step(kFrequencyResponse, 500, -12, 0).step(kFrequencyResponse, 600, -2, -14);
  m.step(kFrequencyResponse, 750, -12, 0).step(kFrequencyResponse, 1000, -4, -16);
  m.at(kFrequencyResponse, 8000, -20);
}

// The same curves without steps, with ramps and bends instead.
void smooth_along_partials(VoiceMaker& m) {
  m.at(kPhase, 1, 0).at(kPhase, 2, 90).at(kPhase, 10, 180);
  m.at(kSubPhase, 1, 30).at(kSubPhase, 3, 120);
  m.at(kFrequencyResponse, 0, 0).at(kFrequencyResponse, 450, -12).at(kFrequencyResponse, 700, 0);
  m.at(kFrequencyResponse, 1000, -16).at(kFrequencyResponse, 8000, -20);
}

TEST(EngineSameness, StepsInEveryCurve) {
  // Steps in the curves read at every partial make a value depend on the direction of
  // the walk; the voice without them lets every step over time meet whatever quicker
  // form the engine takes for smooth curves.
  VoiceMaker along(16000, 0.6, 1000, 2, -20);
  steps_over_time(along);
  steps_in_spectra(along);
  steps_along_partials(along);
  VoiceMaker over(16000, 0.6, 1000, 2, -20);
  steps_over_time(over);
  steps_in_spectra(over);
  smooth_along_partials(over);
  for (int p = 0; p < kParameterCount; ++p)
    ASSERT_TRUE(has_step(along.voice, p)) << "parameter " << p;
  Tally a, o;
  compare(along.voice, a);
  expect_same(a, "steps in every curve");
  compare(over.voice, o);
  expect_same(o, "steps over time and in the spectra, smooth along the partials");
}

TEST(EngineSameness, ResponseStretchesThatVibratoMovesPartialsAcross) {
  // A dense voice: F0 80 Hz, three tweenie rows, a response of several straight
  // stretches and one steep one; f0 steady for 0.2 s, then moved.
  VoiceMaker m(44100, 0.4, 1000, 3, -20);
  m.at(kF0, 0, 80).step(kVibratoAmplitude, 0.2, 0, 5).at(kVibratoFrequency, 0, 12);
  m.step(kFlutterAmplitude, 0.2, 0, 2).at(kSubharmonicLevel, 0, -20);
  m.at(kFrequencyResponse, 0, 0).at(kFrequencyResponse, 1000, -6);
  m.at(kFrequencyResponse, 2000, -8).at(kFrequencyResponse, 2005, -30);
  m.at(kFrequencyResponse, 5000, -20);
  m.at(kPhaseRandomness, 0, 30).at(kSubPhaseRandomness, 0, 30);
  Tally t;
  compare(m.voice, t);
  expect_same(t, "response stretches under vibrato");
}

TEST(EngineSameness, StrongSpectralTilt) {
  // From -48 dB per octave, where partial 100 lies 320 dB down, to +12, where it
  // stands 80 dB above the first and the overall level takes the sum back down; f0
  // steady, but for a vibrato over the change.
  VoiceMaker m(22050, 0.6, 1000, 1, -20);
  m.at(kF0, 0, 60).step(kVibratoAmplitude, 0.1, 0, 3).step(kVibratoAmplitude, 0.3, 3, 0);
  m.at(kSubharmonicLevel, 0, -10);
  m.step(kSpectralTilt, 0.2, -48, 12).step(kOverallLevel, 0.2, 0, -112);
  Tally t;
  compare(m.voice, t);
  expect_same(t, "strong spectral tilt");
}

// A response that rises from floor dB to +60 within a hertz far from 0 Hz and falls
// back within half of one, with spectra of the same extremes; F0 steady for 0.25 s,
// then moving.
void extreme_voice(VoiceMaker& m, double floor) {
  m.at(kF0, 0, 120).at(kF0, 0.25, 120).at(kF0, 0.5, 130);
  m.step(kVibratoAmplitude, 0.25, 0, 4).at(kVibratoFrequency, 0, 9);
  m.at(kFrequencyResponse, 0, floor).at(kFrequencyResponse, 1500, floor);
  m.at(kFrequencyResponse, 1501, 60).at(kFrequencyResponse, 3000, 60);
  m.at(kFrequencyResponse, 3000.5, floor);
  m.at(kHarmonicSpectrum, 15, 0).at(kHarmonicSpectrum, 16, floor).at(kHarmonicSpectrum, 20, 60);
  m.at(kSubharmonicSpectrum, 14.5, 60).at(kSubharmonicSpectrum, 22.5, floor);
  m.at(kSubharmonicLevel, 0, -6).at(kOverallLevel, 0, -100);
}

TEST(EngineSameness, ExtremeLevelsInResponsesAndSpectra) {
  // Partials 300 dB down beside partials 60 dB up: amplitudes taken as products of
  // factors must neither overflow nor lose a partial. Then 1500 dB down, where a
  // quicker form may have to give way to the general one.
  for (const double floor : {-300.0, -1500.0}) {
    VoiceMaker m(16000, 0.5, 1000, 1, -20);
    extreme_voice(m, floor);
    Tally t;
    compare(m.voice, t);
    expect_same(t, "levels of " + std::to_string(static_cast<int>(floor)) + " and +60 dB");
  }
}

}  // namespace
}  // namespace vocanta::sameness
