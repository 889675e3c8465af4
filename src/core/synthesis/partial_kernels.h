#pragma once

#include <cstdint>

namespace vocanta {

// One run of partials of a sample: partial k = 1..count sounds with the multiplier
// (k - 1) + offset of the fundamental phase, the phase offset theta[k - 1] and the
// amplitude scale * amplitude[k - 1].
struct PartialRun {
  const double* theta = nullptr;
  const double* amplitude = nullptr;
  double scale = 0;
  double phi = 0;
  double offset = 1;
  int32_t count = 0;
};

// A stretch of a curve between two of its points p and q, with the values a and b there.
struct CurveSegment {
  double px = 0, qx = 0, a = 0, b = 0;
};

// The exponents of the partials' amplitudes: (log k * tau + spectrum + response + P) * lambda,
// each at [k - 1].
struct Exponents {
  const double* log = nullptr;
  const double* spectrum = nullptr;
  const double* response = nullptr;
  double tau = 0, P = 0, lambda = 0;
};

// The two loops that cost a voice nearly all its time, in the widest vector form the
// processor runs. Each term is computed from the same operands in the same order as the
// reference engine; only the order of the additions of the sum differs.
struct PartialKernels {
  // s + the sum over the run of sin(((k - 1) + offset) * phi + theta) * (scale * amplitude).
  double (*sum)(double s, const PartialRun& run);
  // y[i] = exp(x[i]) for i < n.
  void (*exp)(const double* x, double* y, int32_t n);
  // The curve's values at x[i] for i < n, all of them at or before q: a left of p, else
  // a + (x - px) / (qx - px) * (b - a) as the walk computes it.
  void (*interpolate)(const double* x, double* y, int32_t n, const CurveSegment& s);
  void (*exponents)(const Exponents& e, double* y, int32_t n);
  // y[i] = sin(x[i]) for i < n, as the sum takes it.
  void (*sine)(const double* x, double* y, int32_t n);
  const char* name;
};

// Chosen once, by what the processor supports: AVX-512, AVX2, or plain scalar code that
// gives the reference engine's sums bit for bit.
const PartialKernels& partial_kernels();
const PartialKernels& scalar_partial_kernels();

}  // namespace vocanta
