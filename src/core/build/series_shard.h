#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vocanta {

// The K-th of N contiguous slices of a series' voices, 1 <= K <= N.
struct SeriesShard {
  int64_t index = 1;
  int64_t count = 1;
};

// Voices first .. end-1 of a series, counted from 0.
struct VoiceRange {
  int64_t first = 0;
  int64_t end = 0;
  int64_t size() const { return end - first; }
};

// "K/N" in decimal digits; nothing for any other text or K outside 1..N.
std::optional<SeriesShard> parse_shard(std::string_view text);
std::string shard_text(SeriesShard shard);

// The voices of the shard. Every voice of a series is equally long, so equal numbers of
// voices are equal numbers of samples: the slices differ by one voice at most.
VoiceRange shard_voices(int64_t voices, SeriesShard shard);

// The draws a whole voice takes from the random generator: its two phase tables, then a
// flutter and a noise value per sample.
uint64_t draws_per_voice(int64_t samplesPerVoice);
// The generator's seed after draws draws from seed, without taking them one by one.
uint32_t skip_draws(uint32_t seed, uint64_t draws);

// Sixteen hex digits that tell one series from another: the document's bytes and the
// choices that shape the series.
std::string series_digest(std::string_view document, std::string_view choices);

}  // namespace vocanta
