#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vocanta {

// What a sample file or an audio file says of itself, for describing it to a person or
// a script.
struct SoundFileInfo {
  std::string format;    // "smp", "wav", "rf64", "flac", "aiff" or the sound library's name
  std::string encoding;  // "pcm16" for the program's own files, else the library's name
  std::vector<std::pair<std::string, std::string>> items;  // a sample file's header items
  int32_t samplingFrequency = 0;
  int channels = 1;
  int64_t samples = 0;  // per channel
};

// Reads a sample file (named .smp) or an audio file the sound library knows. Throws
// VocantaError with the reason when it is neither.
SoundFileInfo read_sound_file_info(const std::string& path);

}  // namespace vocanta
