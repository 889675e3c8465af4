// Compiled for AVX2 with FMA; called only where the processor has them.
#include <immintrin.h>
#include <sleef.h>

#include "core/synthesis/polynomial_horner.h"
#include "core/synthesis/polynomial_kernels.h"
#include "core/synthesis/turn_point.h"

namespace vocanta {
namespace {

struct Avx2 {
  using V = __m256d;
  static constexpr int kWidth = 4;
  static V zero() { return _mm256_setzero_pd(); }
  static V load(const double* p) { return _mm256_loadu_pd(p); }
  static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V broadcast(double x) { return _mm256_set1_pd(x); }
  static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V at_most(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
  static V select(V m, V x) { return _mm256_and_pd(m, x); }
  static V fmadd(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }
  static V fnmadd(V a, V b, V c) { return _mm256_fnmadd_pd(a, b, c); }
};

void sincos(const double* x, double* s, double* c, int32_t n) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const Sleef___m256d_2 r = Sleef_sincosd4_u10avx2(_mm256_loadu_pd(x + i));
    _mm256_storeu_pd(s + i, r.x);
    _mm256_storeu_pd(c + i, r.y);
  }
  if (i < n) {
    alignas(32) double in[4] = {0, 0, 0, 0}, os[4], oc[4];
    for (int32_t j = i; j < n; ++j) in[j - i] = x[j];
    const Sleef___m256d_2 r = Sleef_sincosd4_u10avx2(_mm256_load_pd(in));
    _mm256_store_pd(os, r.x);
    _mm256_store_pd(oc, r.y);
    for (int32_t j = i; j < n; ++j) s[j] = os[j - i], c[j] = oc[j - i];
  }
}

void exp(const double* x, double* y, int32_t n) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(y + i, Sleef_expd4_u10avx2(_mm256_loadu_pd(x + i)));
  if (i < n) {
    alignas(32) double in[4] = {0, 0, 0, 0}, out[4];
    for (int32_t j = i; j < n; ++j) in[j - i] = x[j];
    _mm256_store_pd(out, Sleef_expd4_u10avx2(_mm256_load_pd(in)));
    for (int32_t j = i; j < n; ++j) y[j] = out[j - i];
  }
}

// The point and distance as every kernel finds them; the four channels' Taylor
// polynomial in one vector.
void turn_sums(const TurnTable& t, const double* phi, int32_t n, double* sums, unsigned char* ok) {
  constexpr int kTerms = TurnTable::kTerms, kChannels = TurnTable::kChannels;
  static_assert(kChannels == 4);
  for (int32_t i = 0; i < n; ++i) {
    const turn::Point at = turn::point(t, phi[i]);
    ok[i] = at.near ? 1 : 0;
    if (!at.near) continue;
    const double* v = t.values + at.index * kTerms * kChannels;
    const __m256d d = _mm256_set1_pd(at.distance);
    __m256d sum = _mm256_loadu_pd(v + (kTerms - 1) * kChannels);
    for (int k = kTerms - 2; k >= 0; --k)
      sum = _mm256_fmadd_pd(sum, d, _mm256_loadu_pd(v + k * kChannels));
    _mm256_storeu_pd(sums + 4 * i, sum);
  }
}

const PolynomialKernels kAvx2{horner::evaluate<Avx2>, sincos, turn_sums, exp, "avx2"};

}  // namespace

const PolynomialKernels& avx2_polynomial_kernels() {
  return kAvx2;
}

}  // namespace vocanta
