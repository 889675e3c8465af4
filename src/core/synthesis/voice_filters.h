#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "core/synthesis/resonator.h"

namespace vocanta {

class RenderCurves;

// The coefficients of a resonator as last computed, for the fast engine, which takes
// them again rather than recompute them when frequency and bandwidth stay as they were.
struct RememberedTuning {
  bool known = false;
  double f = 0, b = 0;
  // Whether r holds the coefficients of f and b already; if not, remembers them as set.
  bool holds(double f2, double b2);
};

// Turns white noise into the slow random drift of the fundamental.
class FlutterFilter {
 public:
  void reset() {
    r_.reset();
    last_ = {};
  }
  // Noise u through the resonator of flutter frequency f and Q q.
  double apply(double f, double q, double u, double fs);
  const Resonator& resonator() const { return r_; }
  void remember_tuning(bool on) { remember_ = on; }

 private:
  Resonator r_;
  bool remember_ = false;
  // The frequency and Q of the sample before, and whether they made a usable filter, which
  // the resonator is then tuned to.
  struct Last {
    bool known = false, usable = false;
    double f = 0, q = 0;
  } last_;
};

// One resonator per formant curve, in curve order.
class FormantCascade {
 public:
  // Formant curves beyond this many are not heard.
  static constexpr int kMaxFormants = 32;

  void reset();
  double apply(RenderCurves& curves, double s, double t, double fs);
  // The same with the formant frequencies of the sample's time given, count of them;
  // again: they are those of the sample before.
  double apply(RenderCurves& curves, const double* f, int count, double s, double fs,
               bool again = false);
  // Samples s[0..n) through the resonators as the sample before them left them tuned,
  // for frequencies that stay the same: apply with again, sample after sample.
  void run(double* s, size_t n);
  const Resonator& resonator(int i) const { return r_[static_cast<std::size_t>(i - 1)]; }
  void remember_tuning(bool on) { remember_ = on; }
  // Whether the resonators hold the tuning of count frequencies that apply with again
  // would keep.
  bool tuned_for(int count) const { return remember_ && count == lastCount_; }
  // The curves may have been edited: the next sample tunes every resonator afresh.
  void forget_tuning() { lastCount_ = -1; }

 private:
  void tune(Resonator& r, RememberedTuning& tuning, double f, double b, double fs);
  static constexpr size_t kFixedMost = 8;
  template <size_t kCount>
  void run_fixed(double* s, size_t n);
  template <size_t... k>
  static constexpr auto fixed_runs(std::index_sequence<k...>);
  bool unchanged(int count, const double* f) const;

  std::array<Resonator, kMaxFormants> r_;
  bool remember_ = false;
  std::array<RememberedTuning, kMaxFormants> tuning_{};
  // The frequencies of the last sample: while they stay, so do the bandwidths, which the
  // same walks along the bandwidth curve would give again.
  int lastCount_ = -1;
  std::array<double, kMaxFormants> lastF_{};
};

}  // namespace vocanta
