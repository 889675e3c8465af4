#include "core/soundfile/sound_file_reader.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "core/model/sampling_frequency.h"
#include "core/soundfile/label_file.h"
#include "core/soundfile/sample_file_info.h"
#include "core/soundfile/sound_file_handle.h"
#include "core/soundfile/sound_library.h"
#include "core/support/text_case.h"
#include "core/support/unique_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// About an hour at 48 kHz: more would not fit a window's memory comfortably, and no
// stimulus is that long.
constexpr int64_t kMaxSamples = int64_t{1} << 28;

void check_length(const std::string& path, int64_t count) {
  if (count > kMaxSamples)
    throw VocantaError(path + " is too long to be shown (" + std::to_string(count) +
                       " samples; at most " + std::to_string(kMaxSamples) + ")");
}

SoundSamples read_sample_file(const std::string& path) {
  const SampleFileInfo info = read_sample_file_info(path);
  check_length(path, info.samples);
  SoundSamples sound{info.samplingFrequency, {}};
  errno = 0;
  const UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), info.header.header_size(), SEEK_SET) != 0)
    throw VocantaError(file_failure("Cannot read", path, errno));
  std::vector<unsigned char> bytes(static_cast<size_t>(info.samples) * 2);
  errno = 0;
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    throw VocantaError(file_failure("Cannot read", path, errno));
  sound.samples.resize(static_cast<size_t>(info.samples));
  for (size_t i = 0; i < sound.samples.size(); ++i)
    sound.samples[i] =
        static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
  return sound;
}

SoundSamples read_audio_file(const std::string& path) {
  const SoundLibrary& library = sound_library();
  SF_INFO info{};
  const SoundFile file = read_sound_file_handle(path, info);
  if (info.channels <= 0) throw VocantaError(path + " holds no sound that can be shown");
  refuse_sampling_frequency(info.samplerate, std::to_string(info.samplerate));
  check_length(path, info.frames);
  SoundSamples sound{info.samplerate, {}};
  sound.samples.reserve(static_cast<size_t>(info.frames));
  // A block at a time: of many channels only the first is kept, and the others must not
  // take memory meanwhile.
  const auto channels = static_cast<size_t>(info.channels);
  constexpr sf_count_t kBlockFrames = 65536;
  std::vector<short> block(static_cast<size_t>(kBlockFrames) * channels);
  for (;;) {
    const sf_count_t read = library.readf_short(file.get(), block.data(), kBlockFrames);
    if (read < 0) throw VocantaError("Cannot read " + path + ": " + library.strerror(file.get()));
    for (size_t i = 0; i < static_cast<size_t>(read); ++i)
      sound.samples.push_back(block[i * channels]);
    if (read < kBlockFrames || std::ssize(sound.samples) >= info.frames) break;
  }
  return sound;
}

}  // namespace

bool names_sample_file(const std::string& path) {
  const auto dot = path.rfind('.');
  const auto slash = path.rfind('/');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
         to_lower_text(path.substr(dot)) == ".smp";
}

SoundFile read_sound_file_handle(const std::string& path, SF_INFO& info) {
  const SoundLibrary& library = sound_library();
  SoundFile file(library.open(path.c_str(), SFM_READ, &info));
  if (!file) throw VocantaError("Cannot read " + path + ": " + library.strerror(nullptr));
  return file;
}

SoundSamples read_sound_file(const std::string& path) {
  return names_sample_file(path) ? read_sample_file(path) : read_audio_file(path);
}

}  // namespace vocanta
