#include "cli/convert_command.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <ostream>

#include "core/soundfile/audio_file.h"
#include "core/soundfile/label_file.h"
#include "core/soundfile/sample_file_info.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/unique_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
int convert_command(const std::string& in, const std::string& out, std::ostream& err) {
  const auto format = audio_format_for(out);
  if (!format) {
    err << "vocanta-cli: " << out
        << ": convert writes WAV, FLAC or AIFF; name the file .wav, .flac, .aif or .aiff\n";
    return 2;
  }
  if (same_file(in, out)) {
    err << "vocanta-cli: " << out << " is the file to convert; choose another name\n";
    return 2;
  }
  const SampleFileInfo info = read_sample_file_info(in);
  errno = 0;
  const UniqueFile file(std::fopen(in.c_str(), "rb"));
  if (!file || std::fseek(file.get(), info.header.header_size(), SEEK_SET) != 0)
    throw VocantaError(file_failure("Cannot read", in, errno));
  write_audio_file(out, *format, info.samplingFrequency, RawSamples{file.get(), in, info.samples});
  return 0;
}

}  // namespace vocanta
