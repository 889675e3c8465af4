#pragma once

#include <cstdint>
#include <string>

#include "core/soundfile/sample_header.h"

namespace vocanta {

// What a sample file says of itself, for converting and describing it.
struct SampleFileInfo {
  thead header;  // its items, in file order
  int32_t samplingFrequency = 0;
  int64_t samples = 0;  // whole samples after the header
};

// Reads the header of the sample file at path. Throws VocantaError when the file cannot
// be read, or is not a sample file of one channel of 16-bit samples, least significant
// byte first, at a whole-number sampling frequency in the range the program accepts.
SampleFileInfo read_sample_file_info(const std::string& path);

}  // namespace vocanta
