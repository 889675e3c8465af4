#include "cli/info_command.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "core/soundfile/label_file_reader.h"
#include "core/soundfile/sound_file_info.h"
#include "core/support/file_paths.h"
#include "core/support/json_text.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

double seconds(int64_t samples, const SoundFileInfo& info) {
  return static_cast<double>(samples) / info.samplingFrequency;
}

void print_text(const SoundFileInfo& info, std::ostream& out) {
  // A sample file's header speaks for itself; an audio file has only its format.
  if (info.format == "smp") {
    for (const auto& [name, value] : info.items) out << name << "=" << value << "\n";
  } else {
    out << "format=" << info.format << "\n"
        << "encoding=" << info.encoding << "\n"
        << "channels=" << info.channels << "\n"
        << "samplerate=" << info.samplingFrequency << "\n";
  }
  out << "length: " << info.samples << " samples, " << format_fixed3(seconds(info.samples, info))
      << " s\n";
}

// The label file beside a series' file, if there is one that reads as one.
std::optional<LabelFileContents> labels_beside(const std::string& file, std::ostream& err) {
  const std::string path = change_extension_as_on_disk(file, ".CSV");
  std::error_code ec;
  if (path == file || !std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  try {
    return read_label_file(path);
  } catch (const VocantaError& e) {
    err << "vocanta-cli: the voices are left out: " << e.what() << "\n";
    return std::nullopt;
  }
}

void print_voices(const LabelFileContents& labels, const SoundFileInfo& info, std::ostream& out) {
  out << ",\n  \"voices\": [";
  for (size_t i = 0; i < labels.voices.size(); ++i) {
    const LabelLine& v = labels.voices[i];
    out << (i ? ",\n" : "\n") << "    {\"index\": " << i + 1
        << ", \"start\": " << json_number(v.start) << ", \"length\": " << json_number(v.count)
        << ", \"start_seconds\": " << json_number(seconds(v.start, info))
        << ", \"length_seconds\": " << json_number(seconds(v.count, info))
        << ", \"label\": " << json_string(v.text) << "}";
  }
  out << (labels.voices.empty() ? "]" : "\n  ]");
}

void print_json(const std::string& file, const SoundFileInfo& info, std::ostream& out,
                std::ostream& err) {
  out << "{\n  \"file\": " << json_string(file) << ",\n  \"format\": " << json_string(info.format)
      << ",\n  \"encoding\": " << json_string(info.encoding)
      << ",\n  \"sampling_frequency\": " << info.samplingFrequency
      << ",\n  \"channels\": " << info.channels << ",\n  \"samples\": " << json_number(info.samples)
      << ",\n  \"seconds\": " << json_number(seconds(info.samples, info)) << ",\n  \"header\": {";
  for (size_t i = 0; i < info.items.size(); ++i)
    out << (i ? ", " : "") << json_string(info.items[i].first) << ": "
        << json_string(info.items[i].second);
  out << "}";
  if (const auto labels = labels_beside(file, err)) {
    out << ",\n  \"label_file\": " << json_string(change_extension_as_on_disk(file, ".CSV"));
    print_voices(*labels, info, out);
  }
  out << "\n}\n";
}

}  // namespace

int info_command(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
  const SoundFileInfo info = read_sound_file_info(file);
  if (info.samplingFrequency <= 0) throw VocantaError(file + " gives no sampling frequency");
  if (json)
    print_json(file, info, out, err);
  else
    print_text(info, out);
  return 0;
}

}  // namespace vocanta
