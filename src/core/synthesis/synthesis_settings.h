#pragma once

#include <cstdint>

namespace vocanta {

class Voice;

// The settings of one build, converted from the texts at its start.
struct SynthesisSettings {
  int32_t fs = 16000;   // sampling frequency in Hz
  double duration = 1;  // D in seconds
  int32_t maxHarmonics = 1000;
  int32_t tweenies = 1;
  double gain = 0.1;  // linear
  bool randomize = false;
  int64_t samplesPerVoice = 16000;
};

// Converts the settings texts, written with decimalSeparator, raising the conversion
// messages, and refuses counts of samples that no sample file can hold.
SynthesisSettings read_synthesis_settings(const Voice& voice, char decimalSeparator);

}  // namespace vocanta
