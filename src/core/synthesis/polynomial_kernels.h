#pragma once

#include <cstdint>

namespace vocanta {

// Steps k >= from, up to the next run's from, whose amplitude ratio rho(k + 1) / rho(k)
// is ratio.
struct RatioRun {
  int32_t from = 1;
  double ratio = 1;
};

// One sample's sum over partials k = 1..count of c(k) rho(k) z^k, where z = e^(i phi) is the
// sample's fundamental phase, c the coefficients it shares with other samples and rho
// its own amplitude factors: rho(1) = first, the rest by the ratios of the runs.
struct PolyLane {
  const double* re = nullptr;  // c(k) at [k - 1]
  const double* im = nullptr;
  double zr = 1, zi = 0;
  double first = 0;
  const RatioRun* runs = nullptr;  // ascending by from, the first from 1
  int32_t runCount = 0;
  int32_t count = 0;
};

// A table of sums over one turn of the phase (see PeriodicTable): per point, kTerms
// Taylor coefficients in the distance from it, of four channels each, and the constants
// that find a phase's point and its distance from it.
struct TurnTable {
  static constexpr int kTerms = 5;
  static constexpr int kChannels = 4;
  const double* values = nullptr;  // [point][term][channel]
  int32_t points = 0;
  double mostPhase = 0;               // phases beyond are not looked up
  double perTurn = 0, turn[3] = {};   // 1 / 2 pi, and 2 pi in three parts
  double perStep = 0, step[3] = {};   // the same for the step between points
  double partials = 0, farthest = 0;  // |d| * partials beyond farthest is too far
};

// The sums of many samples at once, each by Horner's rule across its partials, with
// vector lanes across samples: no sine and no exponential inside the loop. Every lane's
// arithmetic is the same whichever lanes it is evaluated with, so a sample does not
// depend on its neighbours or on the thread that took it.
struct PolynomialKernels {
  // Lanes come in fours that share their coefficients (the last four may be fewer).
  void (*evaluate)(const PolyLane* lanes, int32_t n, double* re, double* im);
  // s[i] = sin(x[i]), c[i] = cos(x[i]) for i < n, correctly reduced for any finite x.
  void (*sincos)(const double* x, double* s, double* c, int32_t n);
  // The four channels' sums at phase phi[i] into sums[4 i..4 i + 4), and ok[i] = 1; or
  // ok[i] = 0 where phi[i] lies too far from every point of the table.
  void (*turn_sums)(const TurnTable& table, const double* phi, int32_t n, double* sums,
                    unsigned char* ok);
  // y[i] = exp(x[i]) for i < n; y may be x.
  void (*exp)(const double* x, double* y, int32_t n);
  const char* name;
};

// AVX2 with FMA where the processor has them (and VOCANTA_KERNELS does not say scalar).
const PolynomialKernels& polynomial_kernels();
const PolynomialKernels& scalar_polynomial_kernels();

}  // namespace vocanta
