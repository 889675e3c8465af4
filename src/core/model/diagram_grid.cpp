#include "core/model/diagram_grid.h"

#include <algorithm>
#include <cmath>

namespace vocanta {

double nearest(double v) {
  return std::nearbyint(v);
}

double nice_step(double v, StepRounding rounding) {
  if (v == 0) return 0;
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  if (rounding == StepRounding::Up) {
    for (double m : {1.0, 2.0, 5.0})
      if (v <= m * p) return m * p;
    return 10 * p;
  }
  const double r = v / p;
  if (r < std::sqrt(2.0)) return p * 1;
  if (r < std::sqrt(10.0)) return p * 2;
  if (r < std::sqrt(50.0)) return p * 5;
  return p * 10;
}

namespace {

int16_t line_count(double v) {
  // More lines than pixels are never drawn; a count beyond 16 bits is clipped.
  const double n = nearest(v);
  if (!(n > -32768)) return -1;
  return static_cast<int16_t>(std::min(n, 32767.0));
}

}  // namespace

AxisGrid axis_grid(int pixels, double min, double max, double snapStep) {
  AxisGrid g;
  double n = nearest(nice_step(pixels / 15));
  if (n == 0) n = 1;
  double minor = nice_step((max - min) / n);
  if (minor == 0) minor = 1;
  if (minor < snapStep) minor = snapStep;
  g.minor.step = minor;
  g.minor.count = line_count((max - min) / minor);
  g.minor.start = nearest(min / minor) * minor;
  const double major = nice_step(5 * minor);
  g.major.step = major;
  g.major.count = line_count((max - min) / major);
  g.major.start = nearest(min / major) * major;
  return g;
}

double AxisMapping::to_value(int pixel) const {
  const double along = vertical ? pixels - pixel - 1 : pixel;
  double v = min + (max - min) * along / (pixels - 1);
  if (snapStep != 0) v = nearest((v - snapOffset) / snapStep) * snapStep + snapOffset;
  return v;
}

int AxisMapping::to_pixel(double value) const {
  const double fraction = (value - min) / (max - min);
  const double p = nearest((vertical ? 1 - fraction : fraction) * (pixels - 1));
  // Far outside the diagram a pixel is only a direction: keep it in drawable range.
  constexpr double kFar = 1 << 20;
  if (!(p > -kFar)) return -(1 << 20);
  if (p > kFar) return 1 << 20;
  return static_cast<int>(p);
}

}  // namespace vocanta
