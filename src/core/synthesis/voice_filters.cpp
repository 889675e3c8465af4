#include "core/synthesis/voice_filters.h"

#include <algorithm>
#include <cmath>

#include "core/synthesis/render_curves.h"

namespace vocanta {
namespace {

// A negative or undefined bandwidth would make the resonator grow without bound.
bool usable(double f, double b) {
  return std::isfinite(f) && std::isfinite(b) && b >= 0;
}

// A resonator whose memory overflowed would turn every later sample into noise of
// infinities; it starts afresh instead.
double guarded_step(Resonator& r, double x) {
  const double y = r.step(x);
  if (!std::isfinite(y)) {
    r.y1 = 0;
    r.y2 = 0;
  }
  return y;
}

}  // namespace

double FlutterFilter::apply(RenderCurves& curves, double u, double t, double fs) {
  const double f = curves.value(param::kFlutterFrequency, 1, t);
  const double b = f / curves.value(param::kFlutterQ, 1, t);
  // A Q of 0 or below has no meaning: the flutter falls silent until it has one again.
  if (!usable(f, b)) return 0;
  r_.set(f, b, fs);
  return guarded_step(r_, u);
}

void FormantCascade::reset() {
  for (Resonator& r : r_) r.reset();
}

double FormantCascade::apply(RenderCurves& curves, double s, double t, double fs) {
  const int count = std::min(curves.count(param::kFormants), kMaxFormants);
  const double factor = curves.value(param::kFormantFactor, 1, t);
  for (int i = 1; i <= count; ++i) {
    const double f = curves.value(param::kFormants, static_cast<int16_t>(i), t) * factor;
    const double b = curves.value(param::kFormantBandwidth, 1, f);
    Resonator& r = r_[static_cast<size_t>(i - 1)];
    if (usable(f, b)) r.set(f, b, fs);
    // A frequency too large for the coefficients' arithmetic is no formant either.
    if (!usable(f, b) || !std::isfinite(r.a1) || !std::isfinite(r.a2))
      r.a0 = 1, r.a1 = 0, r.a2 = 0;  // passes the sample through unchanged
  }
  for (int i = 1; i <= count; ++i) s = guarded_step(r_[static_cast<size_t>(i - 1)], s);
  return s;
}

}  // namespace vocanta
