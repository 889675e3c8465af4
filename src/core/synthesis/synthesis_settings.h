#pragma once

#include <cstdint>
#include <functional>
#include <string>

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
// messages, and refuses a voice without samples (refuse_voice_length) and counts of
// samples that no sample file can hold.
SynthesisSettings read_synthesis_settings(const Voice& voice, char decimalSeparator);

// Raises a message naming the field when the sampling frequency, as rounded for the
// build, lies outside the range the program accepts (refuse_sampling_frequency), or the
// duration is 0 or less: such a voice has no sample to build or to show.
void refuse_voice_length(double fs, double duration, const std::string& fsText,
                         const std::string& durationText);

// The batches a render applies: a plain render none, a batch build's voices the ones it
// steps.
enum class RenderBatches { Off, AsStepped };

// Readies the voice for a render, in this order: the seed a randomizing document starts
// from; the settings converted; claim, which takes the destination; the tweenie count
// they give (the tweenie diagram's grid shows it); for a plain render every batch off.
// Settings that cannot be converted thus leave the destination and the diagrams as they
// were. A build and playback start here, so that what is heard is what is built.
SynthesisSettings prepare_render(Voice& voice, uint32_t seed, char decimalSeparator,
                                 RenderBatches batches,
                                 const std::function<void(const SynthesisSettings&)>& claim = {});

}  // namespace vocanta
