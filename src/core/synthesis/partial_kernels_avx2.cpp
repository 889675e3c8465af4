// Compiled for AVX2 with FMA; called only where the processor has them.
#include <immintrin.h>
#include <sleef.h>

#include "core/synthesis/partial_kernels.h"

namespace vocanta {
namespace {

// Lanes past the end read as 0 and add nothing.
__m256d load_rest(const double* p, int32_t n) {
  alignas(32) double lanes[4] = {0, 0, 0, 0};
  for (int32_t j = 0; j < n; ++j) lanes[j] = p[j];
  return _mm256_load_pd(lanes);
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
    acc = _mm256_add_pd(acc, _mm256_mul_pd(Sleef_sind4_u35avx2(arg), amp));
    whole = _mm256_add_pd(whole, step);
  }
  if (i < run.count) {
    const __m256d m = _mm256_add_pd(whole, offset);
    const __m256d arg =
        _mm256_add_pd(_mm256_mul_pd(m, phi), load_rest(run.theta + i, run.count - i));
    const __m256d amp = _mm256_mul_pd(scale, load_rest(run.amplitude + i, run.count - i));
    acc = _mm256_add_pd(acc, _mm256_mul_pd(Sleef_sind4_u35avx2(arg), amp));
  }
  alignas(32) double lanes[4];
  _mm256_store_pd(lanes, acc);
  return s + ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3]));
}

void exp(const double* x, double* y, int32_t n) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(y + i, Sleef_expd4_u10avx2(_mm256_loadu_pd(x + i)));
  if (i < n) {
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, Sleef_expd4_u10avx2(load_rest(x + i, n - i)));
    for (int32_t j = 0; j < n - i; ++j) y[i + j] = lanes[j];
  }
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
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) _mm256_storeu_pd(y + i, interpolated(_mm256_loadu_pd(x + i), s));
  if (i < n) {
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, interpolated(load_rest(x + i, n - i), s));
    for (int32_t j = 0; j < n - i; ++j) y[i + j] = lanes[j];
  }
}

const PartialKernels kAvx2{sum, exp, interpolate, "avx2"};

}  // namespace

const PartialKernels& avx2_partial_kernels() {
  return kAvx2;
}

}  // namespace vocanta
