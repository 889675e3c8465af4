#include "core/build/series_shard.h"

#include <cstdio>

#include "core/model/random_generator.h"

namespace vocanta {
namespace {

// A decimal number of at most 9 digits: so many shards are more than any scheduler runs,
// and the square of such a count still fits 64 bits.
std::optional<int64_t> parse_count(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int64_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// One draw as the map seed -> a * seed + c, read off the generator itself.
struct Affine {
  uint32_t a = 1, c = 0;
  uint32_t operator()(uint32_t x) const { return a * x + c; }
  Affine then(const Affine& g) const { return {g.a * a, g.a * c + g.c}; }
};

Affine one_draw() {
  RandomGenerator r;
  r.seed = 0;
  r.draw(1);
  const uint32_t c = r.seed;
  r.seed = 1;
  r.draw(1);
  return {r.seed - c, c};
}

// FNV-1a, 64 bits: enough to tell series apart, which is all a part needs of it.
uint64_t fnv1a(std::string_view bytes, uint64_t h) {
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

std::optional<SeriesShard> parse_shard(std::string_view text) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto k = parse_count(text.substr(0, slash));
  const auto n = parse_count(text.substr(slash + 1));
  if (!k || !n || *k < 1 || *k > *n) return std::nullopt;
  return SeriesShard{*k, *n};
}

std::string shard_text(SeriesShard shard) {
  return std::to_string(shard.index) + "/" + std::to_string(shard.count);
}

VoiceRange shard_voices(int64_t voices, SeriesShard shard) {
  // floor(j * voices / N) without the product, which may leave 64 bits; j * r < N * N.
  const int64_t q = voices / shard.count, r = voices % shard.count;
  const auto at = [&](int64_t j) { return j * q + j * r / shard.count; };
  return {at(shard.index - 1), at(shard.index)};
}

uint64_t draws_per_voice(int64_t samplesPerVoice) {
  return 2 * 2048 + 2 * static_cast<uint64_t>(samplesPerVoice);
}

uint32_t skip_draws(uint32_t seed, uint64_t draws) {
  // The generator runs modulo 2^32, so the map of 2^k draws is that of 2^(k-1) taken twice.
  Affine step = one_draw(), total;
  for (; draws != 0; draws >>= 1, step = step.then(step))
    if (draws & 1) total = total.then(step);
  return total(seed);
}

std::string series_digest(std::string_view document, std::string_view choices) {
  uint64_t h = fnv1a(document, 14695981039346656037ull);
  h = fnv1a(std::string_view("\0", 1), h);
  h = fnv1a(choices, h);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

}  // namespace vocanta
