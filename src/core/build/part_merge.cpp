#include "core/build/part_merge.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

#include "core/build/build_run.h"
#include "core/build/series_shard.h"
#include "core/build/shard_build.h"
#include "core/soundfile/audio_file.h"
#include "core/soundfile/label_file.h"
#include "core/soundfile/label_file_reader.h"
#include "core/soundfile/sample_file_info.h"
#include "core/soundfile/sample_file_sink.h"
#include "core/support/atomic_file.h"
#include "core/support/file_paths.h"
#include "core/support/unique_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

struct Part {
  std::string path;
  SampleFileInfo info;
  std::string series;
  SeriesShard shard;
  int64_t first = 0, voices = 0, total = 0, length = 0;
  std::vector<LabelLine> labels;
};

bool try_parse_int64(std::string_view text, int64_t& n) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  return error == std::errc() && end == text.data() + text.size() && n >= 0;
}

int64_t number_item(const Part& p, const char* name) {
  int64_t n = 0;
  if (!try_parse_int64(p.info.header.get(name), n))
    throw VocantaError(p.path + " has no valid " + name + " item; it is not a part of a series");
  return n;
}

// Parts and their label files are files a build wrote: a FIFO or a device in their
// place would keep the merge waiting, or reading without end. One that is missing is
// left to the reader, which says so.
void require_file(const std::string& path, const char* what) {
  std::error_code ec;
  const std::filesystem::file_type type = std::filesystem::status(path, ec).type();
  if (type == std::filesystem::file_type::directory)
    throw VocantaError(path + " is a folder, not " + what);
  if (!ec && type != std::filesystem::file_type::regular)
    throw VocantaError(path + " is not a file a build wrote, so not " + what);
}

// The voices' lines of a part's label file.
std::vector<LabelLine> read_labels(const std::string& path) {
  require_file(path, "the label file of a part");
  return read_label_file(path).voices;
}

Part read_part(const std::string& path) {
  require_file(path, "a part of a series");
  Part p{path, read_sample_file_info(path), {}, {}, 0, 0, 0, 0, {}};
  p.series = p.info.header.get(part_item::kSeries);
  const auto shard = parse_shard(p.info.header.get(part_item::kShard));
  if (p.series.empty() || !shard)
    throw VocantaError(path +
                       " is not a part of a series; parts are made with vocanta-cli batch "
                       "--shard K/N");
  p.shard = *shard;
  p.first = number_item(p, part_item::kFirst);
  p.voices = number_item(p, part_item::kVoices);
  p.total = number_item(p, part_item::kTotal);
  p.length = number_item(p, part_item::kLength);
  const VoiceRange range = shard_voices(p.total, p.shard);
  if (range.first != p.first || range.size() != p.voices)
    throw VocantaError(path + " does not hold the voices of shard " + shard_text(p.shard));
  // The header's counts are only claims: a product that leaves 64 bits could wrap onto
  // the samples the file really holds.
  int64_t claimed = 0;
  if (__builtin_mul_overflow(p.voices, p.length, &claimed))
    throw VocantaError(path + " claims " + std::to_string(p.voices) + " voices of " +
                       std::to_string(p.length) +
                       " samples, more than any file holds; it is "
                       "not a valid part");
  p.labels = read_labels(change_extension(path, ".CSV"));
  const bool whole = std::all_of(p.labels.begin(), p.labels.end(),
                                 [&](const LabelLine& l) { return l.count == p.length; });
  if (static_cast<int64_t>(p.labels.size()) != p.voices || !whole || p.info.samples != claimed)
    throw VocantaError(path + " is incomplete: its build did not finish");
  return p;
}

// The parts in series order, each shard once; throws naming the part at fault.
std::vector<Part> check_parts(const std::vector<std::string>& paths) {
  if (paths.empty()) throw VocantaError("No part to merge");
  std::map<int64_t, Part> byShard;
  const Part* model = nullptr;
  for (const std::string& path : paths) {
    Part p = read_part(path);
    if (model && (p.series != model->series || p.shard.count != model->shard.count ||
                  p.total != model->total || p.length != model->length ||
                  p.info.samplingFrequency != model->info.samplingFrequency))
      throw VocantaError(path + " belongs to another series than " + model->path);
    const auto [it, fresh] = byShard.try_emplace(p.shard.index, std::move(p));
    if (!fresh)
      throw VocantaError(path + " holds shard " + shard_text(it->second.shard) + ", which " +
                         it->second.path + " holds already");
    if (!model) model = &it->second;
  }
  std::vector<Part> parts;
  for (int64_t k = 1; k <= model->shard.count; ++k) {
    const auto it = byShard.find(k);
    if (it == byShard.end()) {
      const VoiceRange r = shard_voices(model->total, {k, model->shard.count});
      const std::string what =
          "The part of shard " + shard_text({k, model->shard.count}) + " is missing";
      if (r.size() == 0)
        throw VocantaError(what + " (it holds none of the series' " + std::to_string(model->total) +
                           " voices, but every shard's part is needed)");
      throw VocantaError(what + " (voices " + std::to_string(r.first + 1) + " to " +
                         std::to_string(r.end) + " of " + std::to_string(model->total) + ")");
    }
    parts.push_back(std::move(it->second));
  }
  return parts;
}

void write_bytes(std::FILE* to, const char* bytes, size_t size, const std::string& shown) {
  errno = 0;
  if (std::fwrite(bytes, 1, size, to) != size)
    throw VocantaError(file_failure("Cannot write to", shown, errno));
}

// Appends the samples of every part to `to`, a megabyte at a time.
void copy_samples(const std::vector<Part>& parts, std::FILE* to, const std::string& shown) {
  std::vector<char> buffer(1 << 20);
  for (const Part& p : parts) {
    errno = 0;
    const UniqueFile from(std::fopen(p.path.c_str(), "rb"));
    if (!from || std::fseek(from.get(), p.info.header.header_size(), SEEK_SET) != 0)
      throw VocantaError(file_failure("Cannot read", p.path, errno));
    for (int64_t left = 2 * p.info.samples; left > 0;) {
      const size_t want = static_cast<size_t>(std::min<int64_t>(left, buffer.size()));
      if (std::fread(buffer.data(), 1, want, from.get()) != want)
        throw VocantaError(file_failure("Cannot read", p.path, errno));
      write_bytes(to, buffer.data(), want, shown);
      left -= static_cast<int64_t>(want);
    }
  }
}

// A new file beside target, open for writing, that replaces target on commit; scratch:
// one that only gathers data on the way to target.
UniqueFile pending(PendingFile& file, const std::string& target, bool scratch = false) {
  errno = 0;
  const int fd = scratch ? file.create_scratch(target) : file.create(target);
  std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
  if (!f) {
    if (fd >= 0) ::close(fd);
    throw VocantaError(file_failure("Cannot create", target, errno));
  }
  return UniqueFile(f);
}

void close_written(UniqueFile& f, const std::string& shown) {
  errno = 0;
  if (std::fclose(f.release()) != 0)
    throw VocantaError(file_failure("Cannot write to", shown, errno));
}

void write_labels(const std::vector<Part>& parts, PendingFile& file, const std::string& output,
                  const std::string& labelPath) {
  UniqueFile f = pending(file, labelPath);
  const std::string head = label_file_head(output);
  write_bytes(f.get(), head.data(), head.size(), labelPath);
  int64_t start = 0;
  for (const Part& p : parts)
    for (const LabelLine& l : p.labels) {
      const std::string line = label_line(start, l.count, l.text);
      write_bytes(f.get(), line.data(), line.size(), labelPath);
      start += l.count;
    }
  close_written(f, labelPath);
}

void write_sample_file(const std::vector<Part>& parts, PendingFile& file, const std::string& output,
                       const std::string& labelPath) {
  // The proc item names the document as the first shard was given it.
  const std::string proc = parts.front().info.header.get("proc0");
  const std::string document = proc.rfind("Vocanta ", 0) == 0 ? proc.substr(8) : proc;
  std::string header =
      sample_file_header(output, labelPath, parts.front().info.samplingFrequency, true, document)
          .compose();
  header.resize(1024, '\0');  // a header that does not fit leaves zeros, as a build does
  UniqueFile f = pending(file, output);
  write_bytes(f.get(), header.data(), header.size(), output);
  copy_samples(parts, f.get(), output);
  close_written(f, output);
}

void write_audio(const std::vector<Part>& parts, AudioFormat format, const std::string& output,
                 int64_t samples) {
  PendingFile raw;
  UniqueFile f = pending(raw, output, true);
  copy_samples(parts, f.get(), output);
  close_written(f, output);
  std::vector<CuePoint> cues;
  int64_t start = 0;
  for (const Part& p : parts)
    for (const LabelLine& l : p.labels) {
      cues.push_back({start, l.text});
      start += l.count;
    }
  errno = 0;
  const UniqueFile in(std::fopen(raw.temp_path().c_str(), "rb"));
  if (!in) throw VocantaError(file_failure("Cannot read", raw.temp_path(), errno));
  write_audio_file(output, format, parts.front().info.samplingFrequency,
                   RawSamples{in.get(), raw.temp_path(), samples}, cues);
}

}  // namespace

MergedSeries merge_parts(const std::vector<std::string>& paths, const std::string& output) {
  const std::vector<Part> parts = check_parts(paths);
  const std::string labelPath = change_extension(output, ".CSV");
  for (const Part& p : parts)
    if (same_file(output, p.path) || same_file(labelPath, p.path) ||
        same_file(output, change_extension(p.path, ".CSV")) ||
        same_file(labelPath, change_extension(p.path, ".CSV")))
      throw VocantaError("The merge would write over the part " + p.path +
                         "; choose another name for the merged file");
  if (output.find_first_of("\r\n") != std::string::npos) throw VocantaError(line_break_in(output));
  if (same_file(output, labelPath))
    throw VocantaError("The label file of " + output +
                       " would be the file itself; choose a name that does not end in \".CSV\"");
  MergedSeries merged{static_cast<int64_t>(parts.size()), parts.front().total, 0};
  // What the parts hold, each checked against its claims: no product of claims to wrap.
  for (const Part& p : parts) merged.samples += p.info.samples;
  const auto format = audio_format_for(output);
  if (format)
    check_audio_limits(output, *format, parts.front().info.samplingFrequency, merged.samples,
                       *format == AudioFormat::Wav ? merged.voices : 0);
  // A device or FIFO takes the samples alone, as a build's file there does.
  const bool labelled = !resolve_output(output).special;
  PendingFile labels, samples;
  if (labelled) write_labels(parts, labels, output, labelPath);
  if (format) {
    write_audio(parts, *format, output, merged.samples);
  } else {
    write_sample_file(parts, samples, output, labelPath);
    if (!samples.commit()) throw VocantaError(file_failure("Cannot write to", output, errno));
  }
  if (labelled && !labels.commit())
    throw VocantaError(file_failure("Cannot write to", labelPath, errno));
  return merged;
}

}  // namespace vocanta
