#include "core/synthesis/voice_filters.h"

#include <algorithm>
#include <cmath>

#include "core/model/voice.h"

namespace vocanta {
namespace {

double value(Voice& voice, int p, int16_t curve, double x) {
  return curve_value(voice.parameter(p).state, curve, x);
}

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

double FlutterFilter::apply(Voice& voice, double u, double t, double fs) {
  const double f = value(voice, param::kFlutterFrequency, 1, t);
  const double b = f / value(voice, param::kFlutterQ, 1, t);
  // A Q of 0 or below has no meaning: the flutter falls silent until it has one again.
  if (!usable(f, b)) return 0;
  r_.set(f, b, fs);
  return guarded_step(r_, u);
}

void FormantCascade::reset() {
  for (Resonator& r : r_) r.reset();
}

double FormantCascade::apply(Voice& voice, double s, double t, double fs) {
  const int count = std::min(curve_count(voice.parameter(param::kFormants).state), kMaxFormants);
  const double factor = value(voice, param::kFormantFactor, 1, t);
  for (int i = 1; i <= count; ++i) {
    const double f = value(voice, param::kFormants, static_cast<int16_t>(i), t) * factor;
    const double b = value(voice, param::kFormantBandwidth, 1, f);
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
