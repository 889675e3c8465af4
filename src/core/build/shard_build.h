#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/build/batch_build.h"
#include "core/build/series_shard.h"

namespace vocanta {

class BuildRun;
class SampleSink;
class Voice;

// The header items by which a part of a series says what it holds, after the usual
// items of a sample file: the series' digest, "K/N", its first voice in the series, its
// number of voices, the voices of the whole series and the samples of one voice.
namespace part_item {
inline constexpr const char* kSeries = "series";
inline constexpr const char* kShard = "shard";
inline constexpr const char* kFirst = "first";
inline constexpr const char* kVoices = "voices";
inline constexpr const char* kTotal = "total";
inline constexpr const char* kLength = "length";
}  // namespace part_item

// The voices rendered before a slice's first voice and dropped: the voice before it
// leaves the curve cursors where the series has them, and the one before that puts the
// cursors of that voice where the series has them.
inline constexpr int64_t kWarmUpVoices = 2;

// One shard of a batch series into a part: a sample file and its label file, as a
// build of the whole series would write them for these voices, with label lines that
// count from the part's first sample. Each voice starts as it would in the whole
// series: its batch states, the random sequence and the curve cursors.
class ShardBuild {
 public:
  ShardBuild(BuildRun& run, Voice& voice, BatchBuildChoice choice, SeriesShard shard,
             std::string series);

  // The voices of the whole series and of this shard.
  int64_t series_voices();
  VoiceRange voices();
  // Renders these voices of the series instead of the shard's (a slice of a slice).
  void set_voices(VoiceRange range) { range_ = range; }

  // documentPath: what the header's proc item names.
  void build(const std::string& path, const std::string& documentPath);
  // The shard's voices into a destination of the caller's named path, each told to
  // recorder; refuses a series without voices or too large to count first.
  void build_into(SampleSink& sink, const std::string& path, const VoiceRecorder& recorder = {});

 private:
  // The series' voices and the samples of one voice, once the series is found buildable.
  int64_t checked_length();
  void render_voices(const VoiceRecorder& recorder);

  BuildRun& run_;
  Voice& voice_;
  BatchBuild batch_;
  SeriesShard shard_;
  std::optional<VoiceRange> range_;
  std::string series_;
};

}  // namespace vocanta
