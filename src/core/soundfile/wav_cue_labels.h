#pragma once

#include <string>
#include <vector>

#include "core/soundfile/audio_file.h"

namespace vocanta {

// The names of a WAV's cue points, which the sound library keeps but does not write: a
// LIST chunk of type "adtl" with a "labl" chunk per cue (its ID, 1 for the first cue,
// then the label, NUL-terminated), every chunk padded to an even length. Empty without
// cues.
std::string cue_label_chunk(const std::vector<CuePoint>& cues);

// Appends the chunk of cues at the end of the RIFF WAV in the open descriptor fd and
// makes the RIFF size count it. Throws VocantaError, naming target, when the file is not
// a RIFF WAV or would outgrow its 32-bit size.
void append_cue_labels(int fd, const std::string& target, const std::vector<CuePoint>& cues);

}  // namespace vocanta
