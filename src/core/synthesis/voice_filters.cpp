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

// Samples s[0..n) through count resonators in turn.
void cascade(Resonator* r, size_t count, double* s, size_t n) {
  for (size_t j = 0; j < n; ++j) {
    double x = s[j];
    for (size_t i = 0; i < count; ++i) x = guarded_step(r[i], x);
    s[j] = x;
  }
}

}  // namespace

bool RememberedTuning::holds(double f2, double b2) {
  if (known && same_bits(f, f2) && same_bits(b, b2)) return true;
  known = true;
  f = f2;
  b = b2;
  return false;
}

double FlutterFilter::apply(double f, double q, double u, double fs) {
  // The frequency and Q of the sample before leave the resonator as it is.
  if (remember_ && last_.known && same_bits(f, last_.f) && same_bits(q, last_.q))
    return last_.usable ? guarded_step(r_, u) : 0;
  const double b = f / q;
  last_ = {true, usable(f, b), f, q};
  // A Q of 0 or below has no meaning: the flutter falls silent until it has one again.
  if (!last_.usable) return 0;
  r_.set(f, b, fs);
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

bool FormantCascade::unchanged(int count, const double* f) const {
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
  return apply(curves, f.data(), count, s, fs);
}

double FormantCascade::apply(RenderCurves& curves, const double* f, int count, double s, double fs,
                             bool again) {
  // The sample before left the resonators tuned to these frequencies, unless they were
  // forgotten since.
  if (!(again && tuned_for(count)) && !unchanged(count, f)) {
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
      const double b = curves.value(param::kFormantBandwidth, 1, f[i]);
      tune(r_[i], tuning_[i], f[i], b, fs);
    }
    lastCount_ = count;
    std::copy(f, f + count, lastF_.begin());
  }
  for (int i = 1; i <= count; ++i) s = guarded_step(r_[static_cast<size_t>(i - 1)], s);
  return s;
}

// The usual few formants run with their coefficients and memories in registers for the
// whole block, the resonators copied into locals of a size known when compiling.
template <size_t kCount>
void FormantCascade::run_fixed(double* s, size_t n) {
  std::array<Resonator, kCount> r;
  std::copy_n(r_.begin(), kCount, r.begin());
  cascade(r.data(), kCount, s, n);
  std::copy_n(r.begin(), kCount, r_.begin());
}

template <size_t... k>
constexpr auto FormantCascade::fixed_runs(std::index_sequence<k...>) {
  return std::array<void (FormantCascade::*)(double*, size_t), sizeof...(k)>{
      &FormantCascade::run_fixed<k + 1>...};
}

void FormantCascade::run(double* s, size_t n) {
  static constexpr auto kFixed = fixed_runs(std::make_index_sequence<kFixedMost>());
  const auto count = static_cast<size_t>(std::max(lastCount_, 0));
  if (count >= 1 && count <= kFixedMost) return (this->*kFixed[count - 1])(s, n);
  cascade(r_.data(), count, s, n);
}

}  // namespace vocanta
