#include "core/synthesis/synthesis_settings.h"

#include <cmath>
#include <limits>
#include <string>

#include "core/model/sampling_frequency.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// Ties to even, as the sample count and the sampling frequency are rounded.
double round_even(double v) {
  return std::nearbyint(v);
}

}  // namespace

SynthesisSettings read_synthesis_settings(const Voice& voice, char decimalSeparator) {
  const BuildSettings& t = voice.settings;
  const char sep = decimalSeparator;
  SynthesisSettings s;
  const double fs = round_even(parse_number(t.samplingFrequency, sep));
  refuse_sampling_frequency(fs, t.samplingFrequency);
  s.fs = static_cast<int32_t>(fs);
  s.duration = parse_number(t.duration, sep);
  refuse_voice_length(fs, s.duration, t.samplingFrequency, t.duration);
  s.maxHarmonics = parse_integer(t.maxHarmonics);
  s.tweenies = parse_integer(t.tweenies);
  s.gain = std::pow(10.0, parse_number(t.gain, sep) / 20);
  s.randomize = t.randomize;
  const double total = round_even(s.fs * s.duration);
  // A sample file holds at most 2^31 - 1 samples.
  if (!(total <= std::numeric_limits<int32_t>::max()))
    throw VocantaError("A voice of " + t.duration + " s at " + t.samplingFrequency +
                       " Hz has more samples than a sample file can hold");
  s.samplesPerVoice = total > 0 ? static_cast<int64_t>(total) : 0;
  return s;
}

void refuse_voice_length(double fs, double duration, const std::string& fsText,
                         const std::string& durationText) {
  refuse_sampling_frequency(fs, fsText);
  if (!(duration > 0))
    throw VocantaError("The voice duration must be greater than 0 s, not " + durationText);
}

SynthesisSettings prepare_render(Voice& voice, uint32_t seed, char decimalSeparator,
                                 RenderBatches batches,
                                 const std::function<void(const SynthesisSettings&)>& claim) {
  voice.random.seed = voice.settings.randomize ? seed : 0;
  const SynthesisSettings s = read_synthesis_settings(voice, decimalSeparator);
  if (claim) claim(s);
  use_tweenie_count(voice, s.tweenies);
  if (batches == RenderBatches::Off) voice.batches.deactivate_batches();
  return s;
}

}  // namespace vocanta
