#pragma once

#include <cstdint>

namespace vocanta {

// Rounds to the nearest integer, halves to the even neighbour, as pixel positions are.
double nearest(double v);

// How nice_step takes a v that lies between two round steps. The diagrams' grids take
// the nearest; the result view's scales take the next one up, so that no more labels
// are drawn than there is room for.
enum class StepRounding { Nearest, Up };

// 1, 2 or 5 times a power of ten: the nearest to v on a logarithmic scale, or the
// smallest not below v; 0 for 0.
double nice_step(double v, StepRounding rounding = StepRounding::Nearest);

struct GridLines {
  double step = 0;
  double start = 0;
  int16_t count = 0;  // lines at start + i * step for i = 0..count
};

struct AxisGrid {
  GridLines minor;
  GridLines major;
};

// The grid of one axis of `pixels` pixels between min and max; minor lines are never
// closer than the snap step.
AxisGrid axis_grid(int pixels, double min, double max, double snapStep);

// One axis of a diagram: the limits, its size in pixels and its snapping. Pixel 0 is
// the left edge for x and the top edge for y.
struct AxisMapping {
  double min = 0, max = 1;
  int pixels = 100;
  double snapStep = 0, snapOffset = 0;
  bool vertical = false;

  double to_value(int pixel) const;  // snapped
  int to_pixel(double value) const;
};

}  // namespace vocanta
