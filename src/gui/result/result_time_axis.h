#pragma once

#include <algorithm>

namespace vocanta {

// The time shown by the result view across its plots: seconds from start to end over
// the pixel columns from left to left + width.
struct ResultTimeAxis {
  double start = 0;
  double end = 1;
  int left = 0;
  int width = 1;

  double span() const { return end - start; }
  double x_of(double t) const { return left + (t - start) / span() * width; }
  double t_of(double x) const { return start + (x - left) / width * span(); }

  // Zooms by factor (below 1 shows less time) keeping the time under column x in place,
  // then keeps the range inside [0, total] and no shorter than shortest.
  void zoom(double factor, double x, double total, double shortest) {
    const double t = t_of(x);
    const double newSpan = std::clamp(span() * factor, std::min(shortest, total), total);
    start = t - (t - start) / span() * newSpan;
    end = start + newSpan;
    keep_inside(total);
  }
  // Moves the shown range by the time of dx columns.
  void pan(double dx, double total) {
    const double dt = dx / width * span();
    start += dt;
    end += dt;
    keep_inside(total);
  }
  void keep_inside(double total) {
    const double s = std::min(span(), total);
    start = std::clamp(start, 0.0, total - s);
    end = start + s;
  }
};

}  // namespace vocanta
