#include "core/synthesis/polynomial_kernels.h"

#include <cmath>

#include "core/synthesis/kernel_choice.h"
#include "core/synthesis/polynomial_horner.h"
#include "core/synthesis/turn_point.h"

namespace vocanta {

// Defined in the file compiled for AVX2.
const PolynomialKernels& avx2_polynomial_kernels();

namespace {

// One lane at a time, for processors without AVX2: the same steps in plain arithmetic.
struct Scalar {
  using V = double;
  static constexpr int kWidth = 1;
  static V zero() { return 0; }
  static V load(const double* p) { return *p; }
  static void store(double* p, V v) { *p = v; }
  static V broadcast(double x) { return x; }
  static V sub(V a, V b) { return a - b; }
  static V at_most(V a, V b) { return a <= b ? 1.0 : 0.0; }
  static V select(V m, V x) { return m != 0 ? x : 0.0; }
  static V fmadd(V a, V b, V c) { return a * b + c; }
  static V fnmadd(V a, V b, V c) { return c - a * b; }
};

void scalar_sincos(const double* x, double* s, double* c, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    s[i] = std::sin(x[i]);
    c[i] = std::cos(x[i]);
  }
}

void scalar_exp(const double* x, double* y, int32_t n) {
  for (int32_t i = 0; i < n; ++i) y[i] = std::exp(x[i]);
}

void scalar_turn_sums(const TurnTable& t, const double* phi, int32_t n, double* sums,
                      unsigned char* ok) {
  for (int32_t i = 0; i < n; ++i) {
    const turn::Point at = turn::point(t, phi[i]);
    ok[i] = at.near ? 1 : 0;
    if (!at.near) continue;
    const double* v = t.values + at.index * TurnTable::kTerms * TurnTable::kChannels;
    for (int c = 0; c < TurnTable::kChannels; ++c) {
      double sum = v[(TurnTable::kTerms - 1) * TurnTable::kChannels + c];
      for (int k = TurnTable::kTerms - 2; k >= 0; --k)
        sum = sum * at.distance + v[k * TurnTable::kChannels + c];
      sums[4 * i + c] = sum;
    }
  }
}

const PolynomialKernels kScalar{horner::evaluate<Scalar>, scalar_sincos, scalar_turn_sums,
                                scalar_exp, "scalar"};

// The polynomials have no AVX-512 form: AVX2 serves both.
const PolynomialKernels& choose() {
  return widest_kernels() == KernelSet::Scalar ? kScalar : avx2_polynomial_kernels();
}

}  // namespace

const PolynomialKernels& polynomial_kernels() {
  static const PolynomialKernels& chosen = choose();
  return chosen;
}

const PolynomialKernels& scalar_polynomial_kernels() {
  return kScalar;
}

}  // namespace vocanta
