#include "core/build/split_build.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "core/build/build_run.h"
#include "core/build/shard_build.h"
#include "core/build/stimulus_table.h"
#include "core/build/textgrid_writer.h"
#include "core/model/voice.h"
#include "core/soundfile/split_sink.h"
#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

bool fits_name(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '+' || c == '-';
}

std::string file_name_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The document's name without its folder and extension.
std::string base_of(const std::string& documentPath) {
  const std::string name = file_name_of(documentPath);
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// A text beside the series must never take the place of its file or of the document.
void check_companion(const std::string& companion, const std::string& path,
                     const std::string& documentPath) {
  for (const std::string* other : {&path, &documentPath})
    if (!other->empty() && same_file(companion, *other))
      throw VocantaError("The file " + companion + " beside the series would overwrite " + *other +
                         "; choose another name");
}

// Clears the texts the run would write with its next series, should this one not start.
struct ForgetCompanions {
  BuildRun& run;
  ~ForgetCompanions() { run.set_series_companions({}); }
};

void make_folder(const std::string& folder) {
  std::error_code ec;
  if (std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec))
    throw VocantaError("Cannot make the folder " + folder + ": a file of that name is in the way");
  std::filesystem::create_directories(folder, ec);
  if (ec) throw VocantaError("Cannot make the folder " + folder + ": " + ec.message());
}

}  // namespace

std::string file_name_part(std::string_view text) {
  std::string part;
  for (const char c : text) {
    const char fit = fits_name(static_cast<unsigned char>(c)) ? c : '_';
    if (fit == '_' && !part.empty() && part.back() == '_') continue;
    part += fit;
  }
  const auto first = part.find_first_not_of("_.-");
  if (first == std::string::npos) return "";
  return part.substr(first, part.find_last_not_of("_.-") - first + 1);
}

std::string voice_file_stem(const std::string& documentBase, int64_t index, int64_t seriesVoices,
                            const std::string& label) {
  const std::string digits = std::to_string(index);
  const size_t width = std::to_string(seriesVoices).size();
  std::string stem = file_name_part(documentBase);
  if (!stem.empty()) stem += "_";
  stem += std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
  const std::string fit = file_name_part(label);
  return fit.empty() ? stem : stem + "_" + fit;
}

std::string format_extension(std::optional<AudioFormat> format) {
  if (!format) return ".smp";
  switch (*format) {
    case AudioFormat::Wav:
      return ".wav";
    case AudioFormat::Flac:
      return ".flac";
    case AudioFormat::Aiff:
      return ".aiff";
  }
  return ".smp";
}

StimulusBuild::StimulusBuild(BuildRun& run, Voice& voice, BatchBuildChoice choice,
                             BatchProgress* progress)
    : run_(run), voice_(voice), choice_(std::move(choice)), progress_(progress) {}

void StimulusBuild::build_one_file(const std::string& path, bool textgrid) {
  const std::string tablePath = change_extension(path, ".stimuli.csv");
  const std::string gridPath = change_extension(path, ".TextGrid");
  check_companion(tablePath, path, run_.document_path());
  if (textgrid) check_companion(gridPath, path, run_.document_path());
  BatchBuild batch(run_, voice_.batches, choice_, progress_);
  StimulusTable table(voice_, choice_, run_.level_target().has_value());
  std::vector<LabelledStretch> stretches;
  const std::string file = file_name_of(path);
  batch.set_recorder([&](const BuiltVoice& v) {
    table.record(v, file, v.start);
    stretches.push_back({v.start, v.length, v.label});
  });
  const ForgetCompanions forget{run_};
  run_.set_series_companions([&] {
    const int32_t fs = run_.settings().fs;
    std::vector<CompanionText> texts{{tablePath, table.text(fs)}};
    if (textgrid) texts.push_back({gridPath, textgrid_text(stretches, fs)});
    return texts;
  });
  batch.build(path);
}

void StimulusBuild::build_split(const std::string& folder, std::optional<AudioFormat> format,
                                const std::string& documentPath, std::optional<SeriesShard> shard,
                                const std::string& series) {
  ShardBuild whole(run_, voice_, choice_, shard.value_or(SeriesShard{}), series);
  const int64_t total = whole.series_voices();
  if (total == 0)
    throw VocantaError(
        "There is nothing to build: choose batches or check \"Include build without batch\"");
  make_folder(folder);
  const std::string base = base_of(documentPath);
  const std::string extension = format_extension(format);
  const auto name = [&](int64_t index, const std::string& label) {
    return voice_file_stem(base, index + 1, total, label) + extension;
  };
  StimulusTable table(voice_, choice_, run_.level_target().has_value());
  std::string tableName = file_name_part(base);
  if (tableName.empty()) tableName = "voices";  // never a hidden ".stimuli.csv"
  if (shard)
    tableName += ".shard" + std::to_string(shard->index) + "of" + std::to_string(shard->count);
  const std::string tablePath = folder + "/" + tableName + ".stimuli.csv";
  SplitSink sink(
      folder, format, documentPath, shard ? whole.voices().first : 0,
      [&](int64_t index, const std::string& label) { return folder + "/" + name(index, label); });
  sink.set_companions([&] {
    return std::vector<CompanionText>{{tablePath, table.text(run_.settings().fs)}};
  });
  const VoiceRecorder record = [&](const BuiltVoice& v) {
    table.record(v, name(v.index, v.label), 0);
  };
  if (shard) return whole.build_into(sink, folder, record);
  BatchBuild batch(run_, voice_.batches, choice_, progress_);
  batch.set_recorder(record);
  batch.build_into(sink, folder);
}

}  // namespace vocanta
