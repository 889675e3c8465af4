#include "core/model/parameter_table.h"

namespace vocanta {

namespace {
constexpr auto T = XRange::Duration;
constexpr auto H = XRange::HalfSampleRate;
constexpr auto F = XRange::Fixed;
}  // namespace

// clang-format off
const std::array<ParameterDefinition, kParameterCount> kParameterTable{{
  {"OverAllLevel", "Overall level", "&Overall level", "Time", "s", "Amp", "dB", T, "", "", "-50", "10", 0, true, false, 0, 3, 0, 0},
  {"HarmonicLevel", "Harmonic Level", "&Harmonic level", "Time", "s", "Amp", "dB", T, "", "", "-50", "10", 0, true, false, 0, 5, 0, 0},
  {"SubharmonicContent", "Rel. subharmonic level", "R&elative subharmonic level", "Time", "s", "Amp", "dB", T, "", "", "-70", "0", -100, true, false, 0, 5, 0, 0},
  {"NoiseLevel", "Noise level", "N&oise level", "Time", "s", "Amp", "dB", T, "", "", "-70", "0", -100, true, false, 0, 4, 0, 0},
  {"F0", "F0", "F&0", "Time", "s", "Freq", "Hz", T, "", "", "0", "200", 100, true, false, 0, 1, 0, 0},
  {"F0factor", "F0 factor", "F0 fa&ctor", "Time", "s", "Factor", "", T, "", "", "0", "2", 1, true, false, 0, 17, 0, 0},
  {"VibratoFrequency", "Vibrato frequency", "Vibrato fre&quency", "Time", "s", "Freq", "Hz", T, "", "", "0", "10", 7, true, false, 0, 11, 0, 0},
  {"VibratoAmplitude", "Vibrato amplitude", "&Vibrato amplitude", "Time", "s", "Amp", "%", T, "", "", "0", "10", 0, true, false, 0, 12, 0, 0},
  {"FlutterAmplitude", "Flutter amplitude", "Flu&tter amplitude", "Time", "s", "Amp", "%", T, "", "", "0", "100", 0, true, false, 0, 13, 0, 0},
  {"FlutterFrequency", "Flutter LP frequency", "Flutter &LP frequency", "Time", "s", "Freq", "Hz", T, "", "", "0", "10", 4, true, false, 0, 14, 0, 0},
  {"FlutterQ", "Flutter LP Q", "Flutter L&P Q", "Time", "s", "Q", "", T, "", "", "0", "10", 0.707, true, false, 0, 15, 0, 0},
  {"SpectralTilt", "Spectral tilt", "&Spectral tilt", "Time", "s", "Tilt", "dB/oct", T, "", "", "-18", "0", -6, true, false, 0, 7, 0, 0},
  {"IndividualHarmonics", "Harmonic spectrum", "Har&monic spectrum", "Partial#", "", "Amp", "dB", F, "0", "20", "-20", "10", 0, true, false, 2, 6, 1, 0},
  {"SubHarmonicSpectrum", "Subharmonic spectrum", "Subharmonic s&pectrum", "Partial#", "", "Amp", "dB", F, "0", "20", "-70", "10", 0, true, false, 2, 6, 1, 0.5},
  {"TweenieSpectrum", "Subharmonic tweenie spectrum", "Subharmonic pattern", "Tweenie #", "", "Amp", "dB", F, "0", "1", "-70", "10", 0, true, false, 2, 6, 0.5, 0},
  {"FrequencyResponse", "Frequency response", "Frequenc&y response", "Freq", "Hz", "Amp", "dB", H, "", "", "-50", "10", 0, false, false, 1, 6, 0, 0},
  {"Formant", "Formants", "&Formants", "Time", "s", "Freq", "Hz", T, "", "", "0", "5000", 0, false, true, 0, 16, 0, 0},
  {"Formantfactor", "Formant frequency factor", "Formant frequency factor", "Time", "s", "Factor", "", T, "", "", "0", "2", 1, true, false, 0, 17, 0, 0},
  {"FormantBW", "Formant BW", "Formant &bandwidth", "Form. freq", "Hz", "BW", "Hz", H, "", "", "0", "500", 100, true, false, 16, 8, 0, 0},
  {"Phase", "Phase", "Harmonics &phase", "Partial#", "", "Phase", "\u00B0", F, "0", "20", "-180", "180", 0, true, false, 2, 9, 1, 0},
  {"PhaseRandomness", "Phase randomness", "Harmonics phase &randomness", "Time", "s", "PR", "%", T, "", "", "0", "100", 0, true, false, 0, 10, 0, 0},
  {"SubPhase", "Subh. Phase", "Subharmon&ics phase", "Partial#", "", "Phase", "\u00B0", F, "0", "20", "-180", "180", 0, true, false, 2, 9, 1, 0.5},
  {"SubPhaseRandomness", "Subh. Phase randomness", "Subharmonics phase random&ness", "Time", "s", "PR", "%", T, "", "", "0", "100", 0, true, false, 0, 10, 0, 0},
}};
// clang-format on

const std::array<int, kParameterCount> kInstallOrder{0, 4,  5,  3,  11, 2,  13, 14, 16, 17, 18, 15,
                                                     1, 12, 19, 20, 21, 22, 6,  7,  8,  9,  10};

}  // namespace vocanta
