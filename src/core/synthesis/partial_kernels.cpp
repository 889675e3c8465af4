#include "core/synthesis/partial_kernels.h"

#include <cmath>

#include "core/synthesis/kernel_choice.h"

namespace vocanta {

// Defined in the files compiled for those instruction sets.
const PartialKernels& avx512_partial_kernels();
const PartialKernels& avx2_partial_kernels();

namespace {

double scalar_sum(double s, const PartialRun& run) {
  for (int32_t i = 0; i < run.count; ++i) {
    const double multiplier = static_cast<double>(i) + run.offset;
    s = s + std::sin(multiplier * run.phi + run.theta[i]) * (run.scale * run.amplitude[i]);
  }
  return s;
}

void scalar_exp(const double* x, double* y, int32_t n) {
  for (int32_t i = 0; i < n; ++i) y[i] = std::exp(x[i]);
}

void scalar_interpolate(const double* x, double* y, int32_t n, const CurveSegment& s) {
  for (int32_t i = 0; i < n; ++i)
    y[i] = x[i] < s.px ? s.a : s.a + (x[i] - s.px) / (s.qx - s.px) * (s.b - s.a);
}

void scalar_sine(const double* x, double* y, int32_t n) {
  for (int32_t i = 0; i < n; ++i) y[i] = std::sin(x[i]);
}

void scalar_exponents(const Exponents& e, double* y, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    y[i] = (e.log[i] * e.tau + e.spectrum[i] + e.response[i] + e.P) * e.lambda;
}

const PartialKernels kScalar{scalar_sum,       scalar_exp,  scalar_interpolate,
                             scalar_exponents, scalar_sine, "scalar"};

const PartialKernels& choose() {
  switch (widest_kernels()) {
    case KernelSet::Avx512:
      return avx512_partial_kernels();
    case KernelSet::Avx2:
      return avx2_partial_kernels();
    case KernelSet::Scalar:
      break;
  }
  return kScalar;
}

}  // namespace

const PartialKernels& partial_kernels() {
  static const PartialKernels& chosen = choose();
  return chosen;
}

const PartialKernels& scalar_partial_kernels() {
  return kScalar;
}

}  // namespace vocanta
