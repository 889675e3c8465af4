#pragma once
// Where a phase falls in a turn table, one lane at a time: shared by the kernels, so that
// whichever takes a sample finds the same point at the same distance.
#include <cmath>
#include <cstdint>

#include "core/synthesis/polynomial_kernels.h"

namespace vocanta::turn {

// Round to nearest, ties to even, for |x| < 2^51, without a library call.
inline double nearest(double x) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  return (x + kShift) - kShift;
}

// x - m c, c given in three parts whose first two multiples are exact (Cody and Waite).
inline double minus_multiple(double x, double m, const double* c) {
  return ((x - m * c[0]) - m * c[1]) - m * c[2];
}

struct Point {
  bool near = false;
  int64_t index = 0;
  double distance = 0;
};

inline Point point(const TurnTable& t, double phi) {
  if (!(std::fabs(phi) <= t.mostPhase)) return {};
  const double turns = nearest(phi * t.perTurn);
  const double r = minus_multiple(phi, turns, t.turn);
  const double at = nearest(r * t.perStep);
  const double d = minus_multiple(r, at, t.step);
  if (std::fabs(d) * t.partials > t.farthest) return {};
  auto j = static_cast<int64_t>(at);
  if (j < 0) j += t.points;
  if (j >= t.points) j -= t.points;
  return {true, j, d};
}

}  // namespace vocanta::turn
