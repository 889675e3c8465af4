#include "core/build/shard_build.h"

#include <algorithm>
#include <utility>

#include "core/build/build_run.h"
#include "core/model/voice.h"
#include "core/soundfile/audio_file.h"
#include "core/soundfile/sample_file_sink.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

ShardBuild::ShardBuild(BuildRun& run, Voice& voice, BatchBuildChoice choice, SeriesShard shard,
                       std::string series)
    : run_(run),
      voice_(voice),
      batch_(run, voice.batches, std::move(choice)),
      shard_(shard),
      series_(std::move(series)) {}

int64_t ShardBuild::series_voices() {
  return batch_.checked_count();
}

VoiceRange ShardBuild::voices() {
  if (range_) return *range_;
  return shard_voices(series_voices(), shard_);
}

int64_t ShardBuild::checked_length() {
  const int64_t total = series_voices();
  if (total == 0)
    throw VocantaError(
        "There is nothing to build: choose batches or check \"Include build without batch\"");
  // Read before the build does, for the header; refused settings touch no file either way.
  const int64_t length = read_synthesis_settings(voice_, run_.decimal_separator()).samplesPerVoice;
  series_samples(total, length);  // a series that cannot be counted cannot be merged either
  return length;
}

void ShardBuild::build(const std::string& path, const std::string& documentPath) {
  if (audio_format_for(path))
    throw VocantaError("A part is a sample file; name it " + path.substr(0, path.rfind('.')) +
                       ".smp and give the audio file's name to the merge");
  const int64_t length = checked_length();
  const VoiceRange range = voices();
  SampleFileSink sink(path, documentPath, true);
  sink.add_item(part_item::kSeries, series_);
  sink.add_item(part_item::kShard, shard_text(shard_));
  sink.add_item(part_item::kFirst, std::to_string(range.first));
  sink.add_item(part_item::kVoices, std::to_string(range.size()));
  sink.add_item(part_item::kTotal, std::to_string(series_voices()));
  sink.add_item(part_item::kLength, std::to_string(length));
  run_.run_series(sink, path, range.size(), [&] { render_voices({}); });
}

void ShardBuild::build_into(SampleSink& sink, const std::string& path,
                            const VoiceRecorder& recorder) {
  checked_length();
  run_.run_series(sink, path, voices().size(), [&] { render_voices(recorder); });
}

void ShardBuild::render_voices(const VoiceRecorder& recorder) {
  const VoiceRange range = voices();
  const int64_t length = run_.settings().samplesPerVoice;
  RandomGenerator& random = run_.rendered_voice().random;
  const uint32_t seed = random.seed;  // where the series starts its sequence
  const int64_t from = std::max<int64_t>(range.first - kWarmUpVoices, 0);
  const std::shared_ptr<void> ahead = batch_.render_ahead(range.first, range.end);
  int64_t index = 0;
  batch_.for_each_voice([&](const std::string& label) {
    const int64_t i = index++;
    if (i < from || i >= range.end || run_.cut_short()) return;
    if (i == from)
      random.seed = skip_draws(seed, static_cast<uint64_t>(i) * draws_per_voice(length));
    if (i < range.first) return run_.pass_voice();
    const int64_t start = run_.samples_in_file();
    run_.render_voice(label);
    if (recorder)
      recorder(BuiltVoice{i, label, run_.rendered_voice().batches, start,
                          run_.samples_in_file() - start, run_.voice_gain_dB()});
  });
}

}  // namespace vocanta
