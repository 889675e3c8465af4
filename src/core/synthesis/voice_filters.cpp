#include "core/synthesis/voice_filters.h"

#include <algorithm>
#include <cmath>

#include "core/support/same_bits.h"
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

bool RememberedTuning::holds(double f2, double b2) {
  if (known && same_bits(f, f2) && same_bits(b, b2)) return true;
  known = true;
  f = f2;
  b = b2;
  return false;
}

double FlutterFilter::apply(RenderCurves& curves, double u, double t, double fs) {
  const double f = curves.value(param::kFlutterFrequency, 1, t);
  const double b = f / curves.value(param::kFlutterQ, 1, t);
  // A Q of 0 or below has no meaning: the flutter falls silent until it has one again.
  if (!usable(f, b)) return 0;
  if (!remember_ || !tuning_.holds(f, b)) r_.set(f, b, fs);
  return guarded_step(r_, u);
}

void FormantCascade::reset() {
  for (Resonator& r : r_) r.reset();
  tuning_ = {};
  lastCount_ = -1;
}

void FormantCascade::tune(Resonator& r, RememberedTuning& tuning, double f, double b, double fs) {
  if (remember_ && tuning.holds(f, b)) return;
  if (usable(f, b)) r.set(f, b, fs);
  // A frequency too large for the coefficients' arithmetic is no formant either.
  if (!usable(f, b) || !std::isfinite(r.a1) || !std::isfinite(r.a2))
    r.a0 = 1, r.a1 = 0, r.a2 = 0;  // passes the sample through unchanged
}

bool FormantCascade::unchanged(int count, const std::array<double, kMaxFormants>& f) const {
  if (!remember_ || count != lastCount_) return false;
  for (size_t i = 0; i < static_cast<size_t>(count); ++i)
    if (!same_bits(f[i], lastF_[i])) return false;
  return true;
}

double FormantCascade::apply(RenderCurves& curves, double s, double t, double fs) {
  const int count = std::min(curves.count(param::kFormants), kMaxFormants);
  const double factor = curves.value(param::kFormantFactor, 1, t);
  std::array<double, kMaxFormants> f;
  for (int i = 1; i <= count; ++i)
    f[static_cast<size_t>(i - 1)] = curves.formant(static_cast<int16_t>(i), count, t) * factor;
  if (!unchanged(count, f)) {
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
      const double b = curves.value(param::kFormantBandwidth, 1, f[i]);
      tune(r_[i], tuning_[i], f[i], b, fs);
    }
    lastCount_ = count;
    lastF_ = f;
  }
  for (int i = 1; i <= count; ++i) s = guarded_step(r_[static_cast<size_t>(i - 1)], s);
  return s;
}

}  // namespace vocanta
