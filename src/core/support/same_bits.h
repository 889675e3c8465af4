#pragma once

#include <cstring>

namespace vocanta {

// Whether two numbers are the same bit for bit: a NaN is the same NaN again, and 0 and -0
// differ. The fast engine takes a result again only for operands that are this same.
inline bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace vocanta
