// Compiled for AVX2 with FMA; called only where the processor has them.
#include <immintrin.h>
#include <sleef.h>

#include "core/synthesis/partial_kernels.h"
#include "core/synthesis/vector_sine.h"

namespace vocanta {
namespace {

__m256d sin4(__m256d x) {
  using namespace sine;
  const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
  // Far arguments, infinities and NaN: the library's reduction.
  if (_mm256_movemask_pd(_mm256_cmp_pd(magnitude, _mm256_set1_pd(kSineRange), _CMP_NLT_UQ)))
    return Sleef_sind4_u35avx2(x);
  const __m256d q = _mm256_round_pd(_mm256_mul_pd(x, _mm256_set1_pd(kInversePi)),
                                    _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  __m256d r = _mm256_fnmadd_pd(q, _mm256_set1_pd(kPiA), x);
  r = _mm256_fnmadd_pd(q, _mm256_set1_pd(kPiB), r);
  r = _mm256_fnmadd_pd(q, _mm256_set1_pd(kPiC), r);
  r = _mm256_fnmadd_pd(q, _mm256_set1_pd(kPiD), r);
  const __m256d r2 = _mm256_mul_pd(r, r);
  __m256d p = _mm256_set1_pd(kTaylor[0]);
  for (int i = 1; i < 10; ++i) p = _mm256_fmadd_pd(p, r2, _mm256_set1_pd(kTaylor[i]));
  const __m256d y = _mm256_fmadd_pd(_mm256_mul_pd(p, r2), r, r);
  // sin(r + q pi) is -sin(r) for odd q.
  const __m256d half = _mm256_mul_pd(q, _mm256_set1_pd(0.5));
  const __m256d odd = _mm256_cmp_pd(_mm256_floor_pd(half), half, _CMP_NEQ_UQ);
  return _mm256_blendv_pd(y, _mm256_sub_pd(_mm256_setzero_pd(), y), odd);
}

// Lanes past the end read as 0 and add nothing.
__m256d load_rest(const double* p, int32_t n) {
  alignas(32) double lanes[4] = {0, 0, 0, 0};
  for (int32_t j = 0; j < n; ++j) lanes[j] = p[j];
  return _mm256_load_pd(lanes);
}

// y = f(x) over n values, four at a time and the rest through a padded vector.
template <typename F>
void each4(const double* x, double* y, int32_t n, F f) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(y + i, f(_mm256_loadu_pd(x + i)));
  if (i < n) {
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, f(load_rest(x + i, n - i)));
    for (int32_t j = 0; j < n - i; ++j) y[i + j] = lanes[j];
  }
}

double sum(double s, const PartialRun& run) {
  const __m256d phi = _mm256_set1_pd(run.phi);
  const __m256d scale = _mm256_set1_pd(run.scale);
  const __m256d step = _mm256_set1_pd(4);
  __m256d whole = _mm256_setr_pd(0, 1, 2, 3);
  const __m256d offset = _mm256_set1_pd(run.offset);
  __m256d acc = _mm256_setzero_pd();
  int32_t i = 0;
  for (; i + 4 <= run.count; i += 4) {
    const __m256d m = _mm256_add_pd(whole, offset);
    const __m256d arg = _mm256_add_pd(_mm256_mul_pd(m, phi), _mm256_loadu_pd(run.theta + i));
    const __m256d amp = _mm256_mul_pd(scale, _mm256_loadu_pd(run.amplitude + i));
    acc = _mm256_add_pd(acc, _mm256_mul_pd(sin4(arg), amp));
    whole = _mm256_add_pd(whole, step);
  }
  if (i < run.count) {
    const __m256d m = _mm256_add_pd(whole, offset);
    const __m256d arg =
        _mm256_add_pd(_mm256_mul_pd(m, phi), load_rest(run.theta + i, run.count - i));
    const __m256d amp = _mm256_mul_pd(scale, load_rest(run.amplitude + i, run.count - i));
    acc = _mm256_add_pd(acc, _mm256_mul_pd(sin4(arg), amp));
  }
  alignas(32) double lanes[4];
  _mm256_store_pd(lanes, acc);
  return s + ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3]));
}

void exp(const double* x, double* y, int32_t n) {
  each4(x, y, n, [](__m256d v) { return Sleef_expd4_u10avx2(v); });
}

__m256d interpolated(__m256d x, const CurveSegment& s) {
  const __m256d px = _mm256_set1_pd(s.px);
  const __m256d a = _mm256_set1_pd(s.a);
  const __m256d y = _mm256_add_pd(
      a, _mm256_mul_pd(_mm256_div_pd(_mm256_sub_pd(x, px), _mm256_set1_pd(s.qx - s.px)),
                       _mm256_set1_pd(s.b - s.a)));
  return _mm256_blendv_pd(y, a, _mm256_cmp_pd(x, px, _CMP_LT_OQ));
}

void interpolate(const double* x, double* y, int32_t n, const CurveSegment& s) {
  each4(x, y, n, [&s](__m256d v) { return interpolated(v, s); });
}

void sine(const double* x, double* y, int32_t n) {
  each4(x, y, n, sin4);
}

void exponents(const Exponents& e, double* y, int32_t n) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m256d v = _mm256_mul_pd(_mm256_loadu_pd(e.log + i), _mm256_set1_pd(e.tau));
    v = _mm256_add_pd(v, _mm256_loadu_pd(e.spectrum + i));
    v = _mm256_add_pd(v, _mm256_loadu_pd(e.response + i));
    v = _mm256_add_pd(v, _mm256_set1_pd(e.P));
    _mm256_storeu_pd(y + i, _mm256_mul_pd(v, _mm256_set1_pd(e.lambda)));
  }
  for (; i < n; ++i) y[i] = (e.log[i] * e.tau + e.spectrum[i] + e.response[i] + e.P) * e.lambda;
}

const PartialKernels kAvx2{sum, exp, interpolate, exponents, sine, "avx2"};

}  // namespace

const PartialKernels& avx2_partial_kernels() {
  return kAvx2;
}

}  // namespace vocanta
