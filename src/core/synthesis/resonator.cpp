#include "core/synthesis/resonator.h"

#include <cmath>
#include <numbers>

namespace vocanta {

void Resonator::set(double f, double b, double fs) {
  const double pi = std::numbers::pi;
  a2 = -std::exp(-2 * pi * b / fs);
  a1 = 2 * std::exp(-pi * b / fs) * std::cos(2 * pi * f / fs);
  a0 = 1 - a1 - a2;
}

}  // namespace vocanta
