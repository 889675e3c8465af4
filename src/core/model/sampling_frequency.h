#pragma once

#include <cstdint>
#include <string>

namespace vocanta {

// The sampling frequencies the program builds, reads and shows: whole numbers of hertz
// from 1 up to 768000, the highest rate that audio devices and the common audio formats
// use. A voice gains nothing above it, while whatever is measured in samples (the result
// view's analysis window, the length of a voice) would grow with the rate.
constexpr int32_t kMinSamplingFrequency = 1;
constexpr int32_t kMaxSamplingFrequency = 768000;

bool sampling_frequency_in_range(double fs);
// The one message for a sampling frequency outside the range; text is the value as the
// user typed it or the file states it.
std::string sampling_frequency_refusal(const std::string& text);
// Raises that message unless fs, as rounded or read, lies in the range.
void refuse_sampling_frequency(double fs, const std::string& text);

}  // namespace vocanta
