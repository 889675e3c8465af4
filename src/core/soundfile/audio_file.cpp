#include "core/soundfile/audio_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/soundfile/label_file.h"
#include "core/soundfile/sound_file_handle.h"
#include "core/soundfile/sound_library.h"
#include "core/soundfile/wav_cue_labels.h"
#include "core/support/atomic_file.h"
#include "core/support/text_case.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// Room for the chunks around the samples (format, the library's own) besides the cue
// list, which takes 24 bytes a point.
constexpr int64_t kChunkRoom = 65536;
constexpr int64_t kCueBytes = 24;
// A WAV's and an AIFF's sizes are 32-bit fields; AIFF's are signed, so half the room.
constexpr int64_t kWavLimit = 0xFFFFFFFF;
constexpr int64_t kAiffLimit = 0x7FFFFFFF;
// A FLAC stream counts its samples in 36 bits.
constexpr int64_t kFlacSamples = int64_t{1} << 36;
// The library stores an AIFF's rate wrongly from 2^30 Hz on, and readers refuse it.
constexpr int32_t kAiffRates = int32_t{1} << 30;
// The FLAC writer takes rates up to 655350 Hz, below the program's ceiling.
constexpr int32_t kFlacRates = 655351;

int64_t wav_bytes(int64_t samples, int64_t cues) {
  return 2 * samples + kCueBytes * cues + kChunkRoom;
}

int library_format(AudioFormat format, int64_t samples) {
  switch (format) {
    case AudioFormat::Flac:
      return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFormat::Aiff:
      return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    case AudioFormat::Wav:
      break;
  }
  return (wav_needs_rf64(samples) ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
}

// The system's reason when there is one, else the library's.
std::string write_failure(const std::string& target, SNDFILE* file, int error) {
  if (error != 0) return file_failure("Cannot write to", target, error);
  return "Cannot write to " + target + ": " + sound_library().strerror(file);
}

void set_cues(SNDFILE* file, const std::vector<CuePoint>& cues, const std::string& target) {
  // The library takes a count followed by that many points, of any count.
  const auto count = static_cast<uint32_t>(cues.size());
  std::vector<unsigned char> block(sizeof count + cues.size() * sizeof(SF_CUE_POINT));
  std::memcpy(block.data(), &count, sizeof count);
  for (uint32_t i = 0; i < count; ++i) {
    SF_CUE_POINT point{};
    point.indx = static_cast<int32_t>(i + 1);
    point.position = point.sample_offset = static_cast<uint32_t>(cues[i].position);
    std::memcpy(&point.fcc_chunk, "data", 4);
    // Named by its label wherever the library can store a name; in a WAV it stores
    // none, and the names follow the samples in a chunk of their own.
    std::strncpy(point.name, cues[i].label.c_str(), sizeof point.name - 1);
    std::memcpy(block.data() + sizeof count + i * sizeof point, &point, sizeof point);
  }
  if (!sound_library().command(file, SFC_SET_CUE, block.data(), static_cast<int>(block.size())))
    throw VocantaError(write_failure(target, file, 0));
}

void copy_samples(RawSamples& source, SNDFILE* file, const std::string& target) {
  std::vector<unsigned char> bytes(2 * 8192);
  std::vector<short> samples(8192);
  for (int64_t left = source.count; left > 0;) {
    const auto n = static_cast<size_t>(std::min<int64_t>(left, 8192));
    errno = 0;
    if (std::fread(bytes.data(), 2, n, source.file) != n)
      throw VocantaError(file_failure("Cannot read", source.path, errno));
    for (size_t i = 0; i < n; ++i)
      samples[i] = static_cast<short>(static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    errno = 0;
    if (sound_library().writef_short(file, samples.data(), static_cast<sf_count_t>(n)) !=
        static_cast<sf_count_t>(n))
      throw VocantaError(write_failure(target, file, errno));
    left -= static_cast<int64_t>(n);
  }
}

// Writes everything into the open descriptor fd, which stays open; sync: flushed to the
// disk, which a device does not take.
void write_into(int fd, const std::string& target, AudioFormat format, int32_t fs,
                RawSamples& source, const std::vector<CuePoint>& cues, bool sync) {
  SF_INFO info{};
  info.samplerate = fs;
  info.channels = 1;
  info.format = library_format(format, source.count);
  const SoundLibrary& library = sound_library();
  SoundFile file(library.open_fd(fd, SFM_WRITE, &info, SF_FALSE));
  if (!file) throw VocantaError(write_failure(target, nullptr, 0));
  // Cue points go before the samples: the library writes them into the header.
  if (format == AudioFormat::Wav && !cues.empty()) set_cues(file.get(), cues, target);
  copy_samples(source, file.get(), target);
  errno = 0;
  const int closed = library.close(file.release());
  if (closed != 0)
    throw VocantaError(errno != 0
                           ? file_failure("Cannot write to", target, errno)
                           : "Cannot write to " + target + ": " + library.error_number(closed));
  // The names go after the samples, once the library has let go of the file. No cue
  // point is written into an RF64 (refused beforehand), so the file is a RIFF here.
  if (format == AudioFormat::Wav) append_cue_labels(fd, target, cues);
  errno = 0;
  if (sync && ::fsync(fd) != 0) throw VocantaError(file_failure("Cannot write to", target, errno));
}

// A device or FIFO gets the finished file's bytes in order: the library goes back to
// the header when it closes, which a pipe cannot take.
void write_through(int fd, const std::string& target, AudioFormat format, int32_t fs,
                   RawSamples& source, const std::vector<CuePoint>& cues) {
  PendingFile scratch;
  errno = 0;
  const int from = scratch.create_scratch(target);
  if (from < 0) throw VocantaError(file_failure("Cannot create", target, errno));
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{from};
  write_into(from, target, format, fs, source, cues, false);
  std::vector<char> buffer(1 << 16);
  errno = 0;
  if (::lseek(from, 0, SEEK_SET) != 0)
    throw VocantaError(file_failure("Cannot read", scratch.temp_path(), errno));
  for (ssize_t n; (n = ::read(from, buffer.data(), buffer.size())) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw VocantaError(file_failure("Cannot read", scratch.temp_path(), errno));
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(fd, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) throw VocantaError(file_failure("Cannot write to", target, errno));
      done += w;
    }
  }
}

}  // namespace

std::optional<AudioFormat> audio_format_for(const std::string& path) {
  const auto slash = path.rfind('/');
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  const std::string extension = to_lower_text(path.substr(dot));
  if (extension == ".wav") return AudioFormat::Wav;
  if (extension == ".flac") return AudioFormat::Flac;
  if (extension == ".aif" || extension == ".aiff") return AudioFormat::Aiff;
  return {};
}

bool wav_needs_rf64(int64_t samples) {
  return wav_bytes(samples, 0) > kWavLimit;
}

void check_audio_limits(const std::string& target, AudioFormat format, int32_t samplingFrequency,
                        int64_t samples, int64_t cues) {
  const std::string refused = "Cannot write " + target + ": ";
  const std::string count = std::to_string(samples) + " samples";
  if (format == AudioFormat::Wav && cues > 0 && wav_bytes(samples, cues) > kWavLimit)
    throw VocantaError(refused + "a WAV file of " + count +
                       " (more than 4 GiB) cannot keep the cue points of its " +
                       std::to_string(cues) +
                       " voices; write a sample file or a FLAC file, whose label file says "
                       "where each voice begins");
  if (format == AudioFormat::Aiff && samplingFrequency >= kAiffRates)
    throw VocantaError(refused + "an AIFF file cannot hold a sampling frequency of " +
                       std::to_string(samplingFrequency) + " Hz (at most " +
                       std::to_string(kAiffRates - 1) + ")");
  if (format == AudioFormat::Aiff && 2 * samples + kChunkRoom > kAiffLimit)
    throw VocantaError(refused + "an AIFF file cannot hold " + count + " (at most " +
                       std::to_string((kAiffLimit - kChunkRoom) / 2) + ")");
  if (format == AudioFormat::Flac && samplingFrequency >= kFlacRates)
    throw VocantaError(refused + "a FLAC file cannot hold a sampling frequency of " +
                       std::to_string(samplingFrequency) + " Hz (at most " +
                       std::to_string(kFlacRates - 1) + ")");
  if (format == AudioFormat::Flac && samples >= kFlacSamples)
    throw VocantaError(refused + "a FLAC file cannot hold " + count + " (at most " +
                       std::to_string(kFlacSamples - 1) + ")");
}

void stage_audio_file(PendingFile& pending, const std::string& target, AudioFormat format,
                      int32_t samplingFrequency, RawSamples source,
                      const std::vector<CuePoint>& cues) {
  check_audio_limits(target, format, samplingFrequency, source.count,
                     static_cast<int64_t>(cues.size()));
  // A library that cannot be loaded leaves no file behind.
  sound_library();
  errno = 0;
  const int fd = pending.create(target);
  if (fd < 0) throw VocantaError(file_failure("Cannot create", target, errno));
  try {
    if (pending.direct())
      write_through(fd, target, format, samplingFrequency, source, cues);
    else
      write_into(fd, target, format, samplingFrequency, source, cues, true);
  } catch (...) {
    ::close(fd);
    pending.discard();
    throw;
  }
  errno = 0;
  if (::close(fd) != 0) {
    const int error = errno;
    pending.discard();
    throw VocantaError(file_failure("Cannot write to", target, error));
  }
}

void write_audio_file(const std::string& target, AudioFormat format, int32_t samplingFrequency,
                      RawSamples source, const std::vector<CuePoint>& cues) {
  PendingFile pending;
  stage_audio_file(pending, target, format, samplingFrequency, source, cues);
  errno = 0;
  if (!pending.commit()) throw VocantaError(file_failure("Cannot write to", target, errno));
}

}  // namespace vocanta
