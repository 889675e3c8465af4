#pragma once

#include <array>
#include <cstddef>

#include "core/synthesis/resonator.h"

namespace vocanta {

class RenderCurves;

// Turns white noise into the slow random drift of the fundamental.
class FlutterFilter {
 public:
  void reset() { r_.reset(); }
  double apply(RenderCurves& curves, double u, double t, double fs);
  const Resonator& resonator() const { return r_; }

 private:
  Resonator r_;
};

// One resonator per formant curve, in curve order.
class FormantCascade {
 public:
  // Formant curves beyond this many are not heard.
  static constexpr int kMaxFormants = 32;

  void reset();
  double apply(RenderCurves& curves, double s, double t, double fs);
  const Resonator& resonator(int i) const { return r_[static_cast<std::size_t>(i - 1)]; }

 private:
  std::array<Resonator, kMaxFormants> r_;
};

}  // namespace vocanta
