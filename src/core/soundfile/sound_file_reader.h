#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vocanta {

// A sound held whole in memory for looking at and listening to: mono, 16-bit.
struct SoundSamples {
  int32_t samplingFrequency = 0;
  std::vector<int16_t> samples;
};

// Reads a sample file (".smp", by its header) or an audio file the sound library knows
// (WAV, FLAC, AIFF); of several channels only the first is kept. Throws VocantaError
// with the reason when the file cannot be read or holds no usable sound.
SoundSamples read_sound_file(const std::string& path);

}  // namespace vocanta
