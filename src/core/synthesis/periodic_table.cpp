#include "core/synthesis/periodic_table.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace vocanta {
namespace {

// 2 pi as an unevaluated sum of two doubles.
constexpr double kTwoPiHi = 6.283185307179586;
constexpr double kTwoPiLo = 2.4492935982947064e-16;
// The largest product of the partial count and the distance from a point for which the
// Taylor polynomial's first omitted term, (N d)^5 / 5!, stays below 1e-12 of the sum.
constexpr double kFarthest = 0.01;

using Split = PeriodicTable::Parts;

// x in parts: the first of `bits` significant bits, the second of the next ones, and the
// rest with the low part lo of an unevaluated sum x + lo. A phase is reduced by such
// parts (Cody and Waite): a multiple of a head of few bits is exact, so no fused
// multiply-add and no library call is needed for a remainder a few units in the last
// place from the exact one.
Split split(double x, double lo, int bits) {
  const auto cut = [bits](double v) {
    int exponent = 0;
    std::frexp(v, &exponent);
    const double scale = std::ldexp(1.0, bits - exponent);
    return std::trunc(v * scale) / scale;
  };
  const double head = cut(x);
  const double middle = cut(x - head);
  return {head, middle, (x - head - middle) + lo};
}

// Phases up to this keep a multiple of the turn's 26-bit head exact.
constexpr double kMostPhase = 4.0e8;

}  // namespace

int32_t PeriodicTable::points(double f0, double fs) {
  if (!(f0 > 0) || !(fs > 0)) return 0;
  const double ratio = f0 / fs;
  for (int32_t p = 1; p <= kMostPoints; ++p) {
    const double turns = p * ratio;
    if (std::fabs(turns - std::nearbyint(turns)) <= 1e-12 * p) return p;
  }
  return 0;
}

void PeriodicTable::build(const PolynomialKernels& kernels, const Polynomial* polynomials,
                          int count, int32_t N, int32_t p) {
  p_ = p;
  kernels_ = &kernels;
  N_ = N;
  assert(count >= 1 && static_cast<size_t>(count) * 2 <= kChannels);
  count_ = count;
  stepHi_ = kTwoPiHi / p;
  stepLo_ = (std::fma(-stepHi_, p, kTwoPiHi) + kTwoPiLo) / p;
  // A multiple of up to p = 2^12 of a 40-bit head is exact.
  step_ = split(stepHi_, stepLo_, 40);
  const auto n = static_cast<size_t>(N);
  // Coefficients of the derivatives: c(k) (ik)^d / d!.
  derivative_.resize(static_cast<size_t>(count * kTerms) * 2 * n);
  for (int c = 0; c < count; ++c) {
    double factorial = 1;
    for (int d = 0; d < kTerms; ++d) {
      if (d > 0) factorial *= d;
      double* re = derivative_.data() + static_cast<size_t>(c * kTerms + d) * 2 * n;
      double* im = re + n;
      for (size_t k = 1; k <= n; ++k) {
        const double scale = std::pow(static_cast<double>(k), d) / factorial;
        const double a = polynomials[c].re[k - 1] * scale, b = polynomials[c].im[k - 1] * scale;
        // Times i^d.
        const double rotated[4][2] = {{a, b}, {-b, a}, {-a, -b}, {b, -a}};
        re[k - 1] = rotated[d % 4][0];
        im[k - 1] = rotated[d % 4][1];
      }
    }
  }
  psi_.resize(static_cast<size_t>(p));
  zr_.resize(psi_.size());
  zi_.resize(psi_.size());
  for (int32_t j = 0; j < p; ++j) psi_[static_cast<size_t>(j)] = j * stepHi_ + j * stepLo_;
  kernels.sincos(psi_.data(), zi_.data(), zr_.data(), p);
  // Per point and term, the real and imaginary parts of every polynomial side by side,
  // so that a sample's Taylor polynomials take their terms in one stride.
  table_.assign(static_cast<size_t>(p) * kTerms * kChannels, 0.0);
  const int32_t padded = (p + 3) / 4 * 4;
  for (int32_t from = 0; from < padded; from += kPointsAtOnce)
    tabulate(polynomials, count, N, p, from, std::min(padded, from + kPointsAtOnce));
}

// Points [from, to) of every polynomial and term: lanes by polynomial and term, then by
// point, in fours that share their coefficients. So many at a time keep the lanes small.
void PeriodicTable::tabulate(const Polynomial* polynomials, int count, int32_t N, int32_t p,
                             int32_t from, int32_t to) {
  const auto n = static_cast<size_t>(N);
  lanes_.clear();
  for (int c = 0; c < count * kTerms; ++c) {
    const Polynomial& poly = polynomials[c / kTerms];
    const double* re = derivative_.data() + static_cast<size_t>(c) * 2 * n;
    for (int32_t j = from; j < to; ++j) {
      PolyLane lane{re, re + n, 1, 0, poly.first, poly.runs, poly.runCount, j < p ? N : 0};
      if (j < p) lane.zr = zr_[static_cast<size_t>(j)], lane.zi = zi_[static_cast<size_t>(j)];
      lanes_.push_back(lane);
    }
  }
  re_.resize(lanes_.size());
  im_.resize(lanes_.size());
  kernels_->evaluate(lanes_.data(), static_cast<int32_t>(lanes_.size()), re_.data(), im_.data());
  const auto width = static_cast<size_t>(to - from);
  for (int c = 0; c < count * kTerms; ++c)
    for (int32_t j = from; j < std::min(to, p); ++j) {
      const size_t lane = static_cast<size_t>(c) * width + static_cast<size_t>(j - from);
      const size_t at =
          (static_cast<size_t>(j) * kTerms + static_cast<size_t>(c % kTerms)) * kChannels +
          static_cast<size_t>(c / kTerms) * 2;
      table_[at] = re_[lane];
      table_[at + 1] = im_[lane];
    }
}

const double* PeriodicTable::sums(const double* phi, int32_t n, unsigned char* ok) {
  static const Split turn = split(kTwoPiHi, kTwoPiLo, 26);
  TurnTable t;
  t.values = table_.data();
  t.points = p_;
  t.mostPhase = kMostPhase;
  t.perTurn = 1 / kTwoPiHi;
  t.turn[0] = turn.head, t.turn[1] = turn.middle, t.turn[2] = turn.tail;
  t.perStep = 1 / stepHi_;
  t.step[0] = step_.head, t.step[1] = step_.middle, t.step[2] = step_.tail;
  t.partials = N_;
  t.farthest = kFarthest;
  channels_.resize(kChannels * static_cast<size_t>(n));
  kernels_->turn_sums(t, phi, n, channels_.data(), ok);
  return channels_.data();
}

}  // namespace vocanta
