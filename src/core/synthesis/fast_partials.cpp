#include "core/synthesis/fast_partials.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "core/model/parameter_table.h"
#include "core/support/same_bits.h"
#include "core/synthesis/render_curves.h"

namespace vocanta {
namespace {

constexpr int kPartials = VoiceSpectra::kPartials;
constexpr double kTwoPi = 2 * std::numbers::pi;

bool same(const CurveCursor& a, const CurveCursor& b) {
  return a.curve == b.curve && a.point == b.point;
}

}  // namespace

FastPartials::FastPartials(RenderCurves& curves, const VoiceSpectra& spectra,
                           const PartialKernels& kernels)
    : curves_(curves), spectra_(spectra), kernels_(kernels), log_(kPartials), args_(kPartials) {
  for (int k = 1; k <= kPartials; ++k) log_[k - 1] = std::log(k);
  for (Walk* w : {&harmonicResponse_, &rowResponse_, &harmonicPhase_, &rowPhase_})
    w->values.resize(kPartials);
  for (Table* t : {&harmonicAmplitudes_, &harmonicPhases_, &rowAmplitudes_, &rowPhases_})
    t->operands.resize(kPartials);
}

void FastPartials::start() {
  for (Walk* w : {&harmonicResponse_, &rowResponse_, &harmonicPhase_, &rowPhase_}) w->known = false;
  for (Table* t : {&harmonicAmplitudes_, &harmonicPhases_, &rowAmplitudes_, &rowPhases_})
    t->count = 0;
}

void FastPartials::walk(Walk& w, int p, Abscissa along, int32_t N, double f0) {
  const CurveState& state = curves_.state(p);
  CurveCursor& cursor = curves_.cursor(p);
  if (N <= 0) return;  // nothing evaluated, the cursor stays
  if (!state.curves) {
    // What curve_value does without curves, N times over.
    cursor = {};
    w.constant = true;
    w.value = state.defaultValue;
    return;
  }
  w.constant = false;
  const auto x = [along, f0](int32_t k) {
    return along == Abscissa::Whole ? k : along == Abscissa::Times ? k * f0 : (k - 0.5) * f0;
  };
  if (w.known && w.count == N && same_bits(w.f0, f0)) {
    if (same(w.start, cursor)) {
      cursor = w.end;
      return;
    }
    // From another start the first value may differ; once the walk stands where it stood
    // after its first value before, the rest of it is the same (the next tweenie row).
    const CurveCursor start = cursor;
    const double first = curve_value(state, cursor, 1, x(1));
    if (same(cursor, w.afterFirst)) {
      w.values[0] = first;
      w.start = start;
      cursor = w.end;
      return;
    }
    cursor = start;
  }
  w.known = true;
  w.start = cursor;
  w.f0 = f0;
  w.count = N;
  double* xs = args_.data();
  for (int32_t k = 1; k <= N; ++k) xs[k - 1] = x(k);
  // The first evaluation finds curve 1 and the cursor's point; the others walk on from it.
  w.values[0] = curve_value(state, cursor, 1, xs[0]);
  w.afterFirst = cursor;
  if (cursor.point) {
    walk_on(state, cursor.point, xs, w.values.data(), N);
  } else {
    for (int32_t i = 1; i < N; ++i)
      w.values[static_cast<size_t>(i)] = curve_value(state, cursor, 1, xs[i]);
  }
  w.end = cursor;
}

double* FastPartials::writable(Table& t, int32_t N) {
  // Sizes in steps of 64, so that a buffer let go serves the next table although the
  // number of partials moves a little with the fundamental.
  const size_t size = (static_cast<size_t>(std::max(N, 1)) + 63) / 64 * 64;
  if (t.values && t.values.use_count() == 1 && t.values->size() >= size) return t.values->data();
  std::unique_ptr<std::vector<double>> buffer;
  if (!spare_.empty() && spare_.back()->size() >= size) {
    buffer = std::move(spare_.back());
    spare_.pop_back();
  } else {
    buffer = std::make_unique<std::vector<double>>(
        std::max<size_t>(size, t.values ? t.values->size() : 0));
  }
  t.values = std::shared_ptr<std::vector<double>>(
      buffer.release(), [this](std::vector<double>* v) { spare_.emplace_back(v); });
  t.count = 0;  // what the old buffer held is not in the new one
  t.constant = false;
  t.keptIn = 0;
  return t.values->data();
}

double FastPartials::sum_or_hold(double s, const PartialRun& run, Table& amplitude, Table& theta) {
  if (!collect_) return kernels_.sum(s, run);
  collect_->push_back(run);
  keep(amplitude);
  keep(theta);
  return s;
}

void FastPartials::keep(Table& t) {
  if (t.keptIn == generation_) return;
  keep_->push_back(t.values);
  t.keptIn = generation_;
}

void FastPartials::walk_on(const CurveState& state, const TCurvePoint*& p, const double* xs,
                           double* values, int32_t N) {
  // The abscissae rise, so the walk stays on one stretch of the curve for many of them:
  // it is found for the first, and the values of the whole run are interpolated at once.
  for (int32_t i = 1; i < N;) {
    walk_to(state, p, xs[i]);
    // The walk stays on p for every later abscissa up to p's successor: the walk back
    // cannot start again once x has reached p, and beyond the first point it never
    // needed to. The first abscissa past the successor ends the run.
    const int32_t j =
        p->next ? static_cast<int32_t>(std::upper_bound(xs + i + 1, xs + N, p->next->x) - xs) : N;
    // Beyond the last point, or at a step of two points at one x, the value is p's.
    const bool flat = !p->next || p->next->x == p->x;
    if (flat) {
      std::fill(values + i, values + j, point_value(state, p));
    } else {
      const CurveSegment s{p->x, p->next->x, point_value(state, p), point_value(state, p->next)};
      kernels_.interpolate(xs + i, values + i, j - i, s);
    }
    i = j;
  }
}

bool FastPartials::fresh(const Table& t, const Walk& w, int32_t N) {
  if (N > t.count) return false;
  if (w.constant) {
    if (t.constant && same_bits(t.constantOperand, w.value)) return true;
    for (int32_t i = 0; i < N; ++i)
      if (!same_bits(t.operands[static_cast<size_t>(i)], w.value)) return false;
    return true;
  }
  return std::memcmp(t.operands.data(), w.values.data(), sizeof(double) * static_cast<size_t>(N)) ==
         0;
}

// After the operands of entries 0..N-1 were replaced by those of w.
void FastPartials::took(Table& t, const Walk& w, int32_t N, bool keys) {
  const bool wasConstant = t.constant && keys && same_bits(t.constantOperand, w.value);
  t.count = keys ? std::max(t.count, N) : N;
  t.constant = w.constant && (N == t.count || wasConstant);
  t.constantOperand = w.value;
}

const double* FastPartials::amplitudes(Table& t, const Walk& response,
                                       const std::vector<double>& spectrum, int32_t N, double tau,
                                       double P) {
  const bool keys = same_bits(t.key1, tau) && same_bits(t.key2, P);
  if (keys && fresh(t, response, N)) return t.values->data();
  double* values = writable(t, N);
  const double lambda = std::log(10.0) / 20;
  if (response.constant)
    std::fill(t.operands.begin(), t.operands.begin() + N, response.value);
  else
    std::copy(response.values.begin(), response.values.begin() + N, t.operands.begin());
  // Adding a row level of 0 for the harmonics changes no exponent but the sign of a zero,
  // which exp does not see.
  kernels_.exponents(Exponents{log_.data(), spectrum.data() + 1, t.operands.data(), tau, P, lambda},
                     values, N);
  // The exponentials are the costliest part; while chunks are made, both threads take them.
  if (exps_)
    exps_->push_back(PendingExp{values, N});
  else
    kernels_.exp(values, values, N);
  took(t, response, N, keys);
  t.key1 = tau;
  t.key2 = P;
  return values;
}

const double* FastPartials::phases(Table& t, const Walk& phase, const std::vector<double>& random,
                                   int32_t N, double randomness) {
  const auto operand = [&](int32_t i) {
    return phase.constant ? phase.value : phase.values[static_cast<size_t>(i)];
  };
  const bool keys = same_bits(t.key1, randomness);
  if (keys && fresh(t, phase, N)) return t.values->data();
  double* values = writable(t, N);
  for (int32_t i = 0; i < N; ++i) {
    const auto k = static_cast<size_t>(i);
    t.operands[k] = operand(i);
    values[k] = t.operands[k] * kTwoPi / 360 + random[k + 1] * randomness;
  }
  took(t, phase, N, keys);
  t.key1 = randomness;
  return values;
}

double FastPartials::harmonics(double s, int32_t N, double f0, double phi, double aH, double pH,
                               double tau) {
  if (N <= 0) return s;
  walk(harmonicResponse_, param::kFrequencyResponse, Abscissa::Times, N, f0);
  walk(harmonicPhase_, param::kPhase, Abscissa::Whole, N, 0);
  PartialRun run;
  run.amplitude = amplitudes(harmonicAmplitudes_, harmonicResponse_, spectra_.H, N, tau, 0);
  run.theta = phases(harmonicPhases_, harmonicPhase_, spectra_.RH, N, pH);
  run.scale = 30000 * aH;
  run.phi = phi;
  run.offset = 1;
  run.count = N;
  return sum_or_hold(s, run, harmonicAmplitudes_, harmonicPhases_);
}

double FastPartials::row(double s, int32_t N, double X, double P, double f0, double phi, double aH,
                         double aS, double pS, double tau) {
  if (N <= 0) return s;
  // One walk for all rows: a later row starts where the one before ended but walks the
  // same abscissae, which the walk recognises after its first value.
  Walk& response = rowResponse_;
  Walk& phase = rowPhase_;
  walk(response, param::kFrequencyResponse, Abscissa::HalfBelow, N, f0);
  walk(phase, param::kSubPhase, Abscissa::Whole, N, 0);
  PartialRun run;
  run.amplitude = amplitudes(rowAmplitudes_, response, spectra_.S, N, tau, P);
  run.theta = phases(rowPhases_, phase, spectra_.RS, N, pS);
  run.scale = 30000 * aS * aH;
  run.phi = phi;
  run.offset = X;
  run.count = N;
  return sum_or_hold(s, run, rowAmplitudes_, rowPhases_);
}

}  // namespace vocanta
