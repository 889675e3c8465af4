#include "core/soundfile/sound_file_info.h"

#include <memory>

#include "core/soundfile/sample_file_info.h"
#include "core/soundfile/sound_file_handle.h"
#include "core/soundfile/sound_library.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

std::string library_name(int format, int command) {
  SF_FORMAT_INFO info{};
  info.format = format;
  if (sound_library().command(nullptr, command, &info, sizeof info) != 0 || !info.name)
    return "unknown";
  return info.name;
}

std::string major_name(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
      return "wav";
    case SF_FORMAT_RF64:
      return "rf64";
    case SF_FORMAT_FLAC:
      return "flac";
    case SF_FORMAT_AIFF:
      return "aiff";
    default:
      return library_name(format & SF_FORMAT_TYPEMASK, SFC_GET_FORMAT_MAJOR);
  }
}

std::string encoding_name(int format) {
  if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16) return "pcm16";
  return library_name(format & SF_FORMAT_SUBMASK, SFC_GET_FORMAT_SUBTYPE);
}

SoundFileInfo sample_file(const std::string& path) {
  const SampleFileInfo read = read_sample_file_info(path);
  SoundFileInfo info{"smp", "pcm16", {}, read.samplingFrequency, 1, read.samples};
  for (const titem& item : read.header.items()) info.items.emplace_back(item.name, item.value);
  return info;
}

SoundFileInfo audio_file(const std::string& path) {
  SF_INFO sf{};
  const SoundFile file = read_sound_file_handle(path, sf);
  return {
      major_name(sf.format), encoding_name(sf.format), {}, sf.samplerate, sf.channels, sf.frames};
}

}  // namespace

SoundFileInfo read_sound_file_info(const std::string& path) {
  return names_sample_file(path) ? sample_file(path) : audio_file(path);
}

}  // namespace vocanta
