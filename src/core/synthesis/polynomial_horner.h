#pragma once
// Horner's rule across partials for groups of samples, written once for any vector type:
// included by the scalar and the AVX2 kernels, each with its own lane operations.
#include <algorithm>
#include <cstdint>

#include "core/synthesis/polynomial_kernels.h"

namespace vocanta::horner {

// Four vectors of Ops::kWidth lanes: sixteen samples' polynomials per pass in AVX2, which
// keeps both multiply-add units busy despite each step waiting for the one before.
inline constexpr int kVectors = 4;

template <typename Ops>
struct Group {
  using V = typename Ops::V;
  static constexpr int kLanes = kVectors * Ops::kWidth;
  const PolyLane* lane[kLanes];
  int32_t run[kLanes];
  double mr[kLanes], mi[kLanes], count[kLanes];
  V ar[kVectors], ai[kVectors];

  // The multipliers of every lane at step k; returns the step below k down to which they
  // stay as they are.
  int32_t set_up(int32_t k) {
    int32_t stop = 0;
    for (int l = 0; l < kLanes; ++l) {
      const PolyLane& p = *lane[l];
      double ratio = 1;
      if (p.runCount > 0) {
        while (run[l] > 0 && p.runs[run[l]].from > k) --run[l];
        ratio = p.runs[run[l]].ratio;
        stop = std::max(stop, std::min(k, p.runs[run[l]].from) - 1);
      }
      mr[l] = ratio * p.zr;
      mi[l] = ratio * p.zi;
    }
    return stop;
  }

  // Steps from down to stop + 1. Masked, a lane takes no coefficient above its count: its
  // sum stays 0 until its own first step, whatever its multiplier. Shared: every vector's
  // lanes take the same coefficients, read once per step.
  template <bool kMasked, bool kShared>
  void steps(int32_t from, int32_t stop) {
    V vr[kVectors], vi[kVectors], vc[kVectors], xr[kVectors], xi[kVectors];
    const double* cr[kVectors];
    const double* ci[kVectors];
    for (int v = 0; v < kVectors; ++v) {
      vr[v] = Ops::load(mr + v * Ops::kWidth);
      vi[v] = Ops::load(mi + v * Ops::kWidth);
      vc[v] = Ops::load(count + v * Ops::kWidth);
      cr[v] = lane[v * Ops::kWidth]->re - 1;
      ci[v] = lane[v * Ops::kWidth]->im - 1;
      xr[v] = ar[v];
      xi[v] = ai[v];
    }
    V step = Ops::broadcast(from);
    const V one = Ops::broadcast(1);
    for (int32_t k = from; k > stop; --k) {
      V sr = Ops::zero(), si = Ops::zero();
      if constexpr (kShared) {
        sr = Ops::broadcast(cr[0][k]);
        si = Ops::broadcast(ci[0][k]);
      }
      for (int v = 0; v < kVectors; ++v) {
        V br = kShared ? sr : Ops::broadcast(cr[v][k]);
        V bi = kShared ? si : Ops::broadcast(ci[v][k]);
        if constexpr (kMasked) {
          const V on = Ops::at_most(step, vc[v]);
          br = Ops::select(on, br);
          bi = Ops::select(on, bi);
        }
        const V r = Ops::fnmadd(vi[v], xi[v], Ops::fmadd(vr[v], xr[v], br));
        xi[v] = Ops::fmadd(vi[v], xr[v], Ops::fmadd(vr[v], xi[v], bi));
        xr[v] = r;
      }
      if constexpr (kMasked) step = Ops::sub(step, one);
    }
    for (int v = 0; v < kVectors; ++v) {
      ar[v] = xr[v];
      ai[v] = xi[v];
    }
  }

  template <bool kMasked>
  void steps(int32_t from, int32_t stop) {
    bool shared = true;
    for (int v = 1; v < kVectors; ++v)
      shared = shared && lane[v * Ops::kWidth]->re == lane[0]->re &&
               lane[v * Ops::kWidth]->im == lane[0]->im;
    if (shared)
      steps<kMasked, true>(from, stop);
    else
      steps<kMasked, false>(from, stop);
  }

  void evaluate(double* re, double* im) {
    int32_t top = 0, bottom = lane[0]->count;
    for (int l = 0; l < kLanes; ++l) {
      top = std::max(top, lane[l]->count);
      bottom = std::min(bottom, lane[l]->count);
      count[l] = lane[l]->count;
      run[l] = std::max(lane[l]->runCount - 1, 0);
    }
    for (int v = 0; v < kVectors; ++v) ar[v] = ai[v] = Ops::zero();
    // Lanes of different counts are masked down to the smallest: the counts do not cut
    // the steps into pieces, only the runs do.
    for (int32_t k = top; k >= 1;) {
      const int32_t stop = set_up(k);
      if (k > bottom) {
        const int32_t to = std::max(stop, bottom);
        steps<true>(k, to);
        k = to;
      } else {
        steps<false>(k, stop);
        k = stop;
      }
    }
    alignas(64) double r[kLanes], i[kLanes];
    for (int v = 0; v < kVectors; ++v) {
      Ops::store(r + v * Ops::kWidth, ar[v]);
      Ops::store(i + v * Ops::kWidth, ai[v]);
    }
    // The sum is first * z * acc.
    for (int l = 0; l < kLanes; ++l) {
      const PolyLane& p = *lane[l];
      re[l] = p.first * (p.zr * r[l] - p.zi * i[l]);
      im[l] = p.first * (p.zr * i[l] + p.zi * r[l]);
    }
  }
};

// Lanes past n read as a polynomial of no partials on the first lane's coefficients, and
// their results are dropped.
template <typename Ops>
void evaluate(const PolyLane* lanes, int32_t n, double* re, double* im) {
  Group<Ops> g;
  constexpr int kLanes = Group<Ops>::kLanes;
  for (int32_t at = 0; at < n; at += kLanes) {
    const int32_t here = std::min<int32_t>(kLanes, n - at);
    PolyLane pad = lanes[at];
    pad.count = 0;
    pad.runCount = 0;
    for (int l = 0; l < kLanes; ++l) g.lane[l] = l < here ? &lanes[at + l] : &pad;
    alignas(64) double r[kLanes], i[kLanes];
    g.evaluate(r, i);
    std::copy(r, r + here, re + at);
    std::copy(i, i + here, im + at);
  }
}

}  // namespace vocanta::horner
