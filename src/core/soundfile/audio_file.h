#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vocanta {

class PendingFile;

// The audio files a build or a conversion writes besides the program's own sample file,
// always 16-bit mono at the voice's sampling frequency.
enum class AudioFormat { Wav, Flac, Aiff };

// By the extension of path in any letter case: ".wav", ".flac", ".aif" or ".aiff";
// nothing for any other name, which stays a sample file.
std::optional<AudioFormat> audio_format_for(const std::string& path);

// The build file dialog's choices, the program's own sample file first.
inline constexpr const char* kBuildFileFilter =
    "Sample files (*.smp)|*.smp|WAV files (*.wav)|*.wav|FLAC files (*.flac)|*.flac|"
    "AIFF files (*.aif *.aiff)|*.aif;*.aiff|All files (*.*)|*.*";

// Where a voice of a series starts, and its label.
struct CuePoint {
  int64_t position = 0;
  std::string label;
};

// Samples stored as in a sample file's body: 16-bit, least significant byte first.
struct RawSamples {
  std::FILE* file = nullptr;  // positioned at the first sample
  std::string path;           // for messages
  int64_t count = 0;
};

// Refuses, before anything is written, an audio file its format cannot hold: a WAV
// beyond 4 GiB with cue points (beyond 4 GiB a WAV is written as RF64, which keeps
// none), an AIFF beyond 2 GiB or at 2^30 Hz or more, a FLAC of 2^36 samples or more.
// Throws VocantaError.
void check_audio_limits(const std::string& target, AudioFormat format, int32_t samplingFrequency,
                        int64_t samples, int64_t cues);
// Whether a WAV of so many samples outgrows the 32-bit sizes of its header, and is
// written as RF64.
bool wav_needs_rf64(int64_t samples);

// Writes the samples as an audio file at target, with the cue points where the format
// has them (WAV). The file is made beside target and renamed over it only when complete,
// so a failure leaves an earlier file of that name as it was. Throws VocantaError.
void write_audio_file(const std::string& target, AudioFormat format, int32_t samplingFrequency,
                      RawSamples source, const std::vector<CuePoint>& cues = {});
// The same, made beside target in pending and left there for the caller to put in place
// with other files (pending.commit()). Throws VocantaError, leaving nothing behind.
void stage_audio_file(PendingFile& pending, const std::string& target, AudioFormat format,
                      int32_t samplingFrequency, RawSamples source,
                      const std::vector<CuePoint>& cues = {});

}  // namespace vocanta
