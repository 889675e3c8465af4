#pragma once

#include <memory>
#include <string>

#include "core/soundfile/sound_library.h"

namespace vocanta {

// A file of the sound library, closed when it goes out of scope.
struct CloseSoundFile {
  void operator()(SNDFILE* file) const { sound_library().close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, CloseSoundFile>;

// True when path names a sample file: its extension is ".smp" in any letter case. Every
// other name goes to the sound library, which tells audio files by their content.
bool names_sample_file(const std::string& path);

// An audio file opened for reading, its format in info; raises "Cannot read PATH: why".
SoundFile read_sound_file_handle(const std::string& path, SF_INFO& info);

}  // namespace vocanta
