// Compiled for AVX-512; called only where the processor has it.
#include <immintrin.h>
#include <sleef.h>

#include "core/synthesis/partial_kernels.h"

namespace vocanta {
namespace {

double sum(double s, const PartialRun& run) {
  const __m512d phi = _mm512_set1_pd(run.phi);
  const __m512d scale = _mm512_set1_pd(run.scale);
  const __m512d step = _mm512_set1_pd(8);
  // Whole numbers plus the offset, exactly as (k - 1) + offset.
  __m512d whole = _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7);
  const __m512d offset = _mm512_set1_pd(run.offset);
  __m512d acc = _mm512_setzero_pd();
  int32_t i = 0;
  for (; i + 8 <= run.count; i += 8) {
    const __m512d m = _mm512_add_pd(whole, offset);
    const __m512d arg = _mm512_add_pd(_mm512_mul_pd(m, phi), _mm512_loadu_pd(run.theta + i));
    const __m512d amp = _mm512_mul_pd(scale, _mm512_loadu_pd(run.amplitude + i));
    acc = _mm512_add_pd(acc, _mm512_mul_pd(Sleef_sind8_u35avx512f(arg), amp));
    whole = _mm512_add_pd(whole, step);
  }
  if (i < run.count) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (run.count - i)) - 1);
    const __m512d m = _mm512_add_pd(whole, offset);
    const __m512d theta = _mm512_maskz_loadu_pd(rest, run.theta + i);
    const __m512d arg = _mm512_add_pd(_mm512_mul_pd(m, phi), theta);
    const __m512d amp = _mm512_mul_pd(scale, _mm512_maskz_loadu_pd(rest, run.amplitude + i));
    acc = _mm512_mask_add_pd(acc, rest, acc, _mm512_mul_pd(Sleef_sind8_u35avx512f(arg), amp));
  }
  alignas(64) double lanes[8];
  _mm512_store_pd(lanes, acc);
  return s + (((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) +
              ((lanes[4] + lanes[5]) + (lanes[6] + lanes[7])));
}

void exp(const double* x, double* y, int32_t n) {
  int32_t i = 0;
  for (; i + 8 <= n; i += 8)
    _mm512_storeu_pd(y + i, Sleef_expd8_u10avx512f(_mm512_loadu_pd(x + i)));
  if (i < n) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (n - i)) - 1);
    _mm512_mask_storeu_pd(y + i, rest, Sleef_expd8_u10avx512f(_mm512_maskz_loadu_pd(rest, x + i)));
  }
}

__m512d interpolated(__m512d x, const CurveSegment& s) {
  const __m512d px = _mm512_set1_pd(s.px);
  const __m512d a = _mm512_set1_pd(s.a);
  const __m512d y = _mm512_add_pd(
      a, _mm512_mul_pd(_mm512_div_pd(_mm512_sub_pd(x, px), _mm512_set1_pd(s.qx - s.px)),
                       _mm512_set1_pd(s.b - s.a)));
  return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(x, px, _CMP_LT_OQ), y, a);
}

void interpolate(const double* x, double* y, int32_t n, const CurveSegment& s) {
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) _mm512_storeu_pd(y + i, interpolated(_mm512_loadu_pd(x + i), s));
  if (i < n) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (n - i)) - 1);
    _mm512_mask_storeu_pd(y + i, rest, interpolated(_mm512_maskz_loadu_pd(rest, x + i), s));
  }
}

const PartialKernels kAvx512{sum, exp, interpolate, "avx512"};

}  // namespace

const PartialKernels& avx512_partial_kernels() {
  return kAvx512;
}

}  // namespace vocanta
