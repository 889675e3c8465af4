#pragma once

#include <cstdint>

namespace vocanta {

// The program's one random generator: a 32-bit linear congruential sequence shared by
// the synthesis and new batch identifiers, so that a seed fixes a whole build.
class RandomGenerator {
 public:
  uint32_t seed = 0;

  // Advances the seed and returns floor(seed * range / 2^32), in 0..range-1.
  uint32_t draw(uint32_t range) {
    seed = seed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(seed) * range) >> 32);
  }
};

}  // namespace vocanta
