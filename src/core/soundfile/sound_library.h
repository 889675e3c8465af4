#pragma once

#include <sndfile.h>

namespace vocanta {

// The functions of libsndfile the program calls. The library and the codecs it brings
// along (FLAC, Vorbis, Opus, MPEG) are loaded only when a WAV, FLAC or AIFF file is read
// or written: a sample file, the help and a document check start without them.
struct SoundLibrary {
  decltype(&::sf_open) open;
  decltype(&::sf_open_fd) open_fd;
  decltype(&::sf_close) close;
  decltype(&::sf_strerror) strerror;
  decltype(&::sf_error_number) error_number;
  decltype(&::sf_command) command;
  decltype(&::sf_readf_short) readf_short;
  decltype(&::sf_writef_short) writef_short;
};

// Loads the library on the first call and keeps it for the life of the process. Throws
// VocantaError, with one line saying which library and why, when it cannot be loaded;
// a later call tries again.
const SoundLibrary& sound_library();

}  // namespace vocanta
