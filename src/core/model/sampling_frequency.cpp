#include "core/model/sampling_frequency.h"

#include "core/support/vocanta_error.h"

namespace vocanta {

bool sampling_frequency_in_range(double fs) {
  return fs >= kMinSamplingFrequency && fs <= kMaxSamplingFrequency;
}

std::string sampling_frequency_refusal(const std::string& text) {
  return "The sampling frequency must be from " + std::to_string(kMinSamplingFrequency) + " to " +
         std::to_string(kMaxSamplingFrequency) + " Hz, not " + text;
}

void refuse_sampling_frequency(double fs, const std::string& text) {
  if (!sampling_frequency_in_range(fs)) throw VocantaError(sampling_frequency_refusal(text));
}

}  // namespace vocanta
