// Compiled for AVX-512; called only where the processor has it.
// GCC 12's AVX-512 headers pass an undefined vector to the masked forms of roundscale
// and extract, which its own flow analysis then reports.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>
#include <sleef.h>

#include <iterator>

#include "core/synthesis/partial_kernels.h"
#include "core/synthesis/vector_sine.h"

namespace vocanta {
namespace {

// y = f(x) over n values, eight at a time and the rest under a mask.
template <typename F>
void each8(const double* x, double* y, int32_t n, F f) {
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) _mm512_storeu_pd(y + i, f(_mm512_loadu_pd(x + i)));
  if (i < n) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (n - i)) - 1);
    _mm512_mask_storeu_pd(y + i, rest, f(_mm512_maskz_loadu_pd(rest, x + i)));
  }
}

__m512d sin8(__m512d x) {
  using namespace sine;
  const __m512d magnitude = _mm512_abs_pd(x);
  // Far arguments, infinities and NaN: the library's reduction.
  if (_mm512_cmp_pd_mask(magnitude, _mm512_set1_pd(kSineRange), _CMP_NLT_UQ))
    return Sleef_sind8_u35avx512f(x);
  const __m512d q = _mm512_roundscale_pd(_mm512_mul_pd(x, _mm512_set1_pd(kInversePi)),
                                         _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  __m512d r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kPiA), x);
  r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kPiB), r);
  r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kPiC), r);
  r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kPiD), r);
  const __m512d r2 = _mm512_mul_pd(r, r);
  // Estrin's scheme: the ten coefficients in pairs, so that the chain of dependent
  // multiplications is four deep instead of nine.
  const auto c = [](int i) { return _mm512_set1_pd(kTaylor[i]); };
  const __m512d r4 = _mm512_mul_pd(r2, r2);
  const __m512d r8 = _mm512_mul_pd(r4, r4);
  const __m512d p01 = _mm512_fmadd_pd(c(0), r2, c(1));
  const __m512d p23 = _mm512_fmadd_pd(c(2), r2, c(3));
  const __m512d p45 = _mm512_fmadd_pd(c(4), r2, c(5));
  const __m512d p67 = _mm512_fmadd_pd(c(6), r2, c(7));
  const __m512d p89 = _mm512_fmadd_pd(c(8), r2, c(9));
  const __m512d p03 = _mm512_fmadd_pd(p01, r4, p23);
  const __m512d p47 = _mm512_fmadd_pd(p45, r4, p67);
  const __m512d p07 = _mm512_fmadd_pd(p03, r8, p47);
  const __m512d p = _mm512_fmadd_pd(p07, r4, p89);
  const __m512d y = _mm512_fmadd_pd(_mm512_mul_pd(p, r2), r, r);
  // sin(r + q pi) is -sin(r) for odd q.
  const __m512d half = _mm512_mul_pd(q, _mm512_set1_pd(0.5));
  const __mmask8 odd = _mm512_cmp_pd_mask(
      _mm512_roundscale_pd(half, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC), half, _CMP_NEQ_UQ);
  return _mm512_mask_sub_pd(y, odd, _mm512_setzero_pd(), y);
}

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
    acc = _mm512_add_pd(acc, _mm512_mul_pd(sin8(arg), amp));
    whole = _mm512_add_pd(whole, step);
  }
  if (i < run.count) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (run.count - i)) - 1);
    const __m512d m = _mm512_add_pd(whole, offset);
    const __m512d theta = _mm512_maskz_loadu_pd(rest, run.theta + i);
    const __m512d arg = _mm512_add_pd(_mm512_mul_pd(m, phi), theta);
    const __m512d amp = _mm512_mul_pd(scale, _mm512_maskz_loadu_pd(rest, run.amplitude + i));
    acc = _mm512_mask_add_pd(acc, rest, acc, _mm512_mul_pd(sin8(arg), amp));
  }
  alignas(64) double lanes[8];
  _mm512_store_pd(lanes, acc);
  return s + (((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) +
              ((lanes[4] + lanes[5]) + (lanes[6] + lanes[7])));
}

// e^x = 2^n e^r with r = x - n ln 2 in [-ln 2 / 2, ln 2 / 2] (ln 2 in two parts, the
// first of 32 bits so that n times it is exact), e^r by its Taylor series to the 12th
// power (within 2e-16), and 2^n applied by scalef.
__m512d exp8(__m512d x) {
  // Arguments near the ends of the range, infinities and NaN: the library's exp.
  if (_mm512_cmp_pd_mask(_mm512_abs_pd(x), _mm512_set1_pd(700), _CMP_NLE_UQ))
    return Sleef_expd8_u10avx512f(x);
  const __m512d n = _mm512_roundscale_pd(_mm512_mul_pd(x, _mm512_set1_pd(1.4426950408889634)),
                                         _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  __m512d r = _mm512_fnmadd_pd(n, _mm512_set1_pd(0.6931471806019545), x);
  r = _mm512_fnmadd_pd(n, _mm512_set1_pd(-4.2009150726810846e-11), r);
  static constexpr double kInverseFactorials[] = {2.08767569878681e-09,
                                                  2.505210838544172e-08,
                                                  2.755731922398589e-07,
                                                  2.7557319223985893e-06,
                                                  2.48015873015873e-05,
                                                  0.0001984126984126984,
                                                  0.001388888888888889,
                                                  0.008333333333333333,
                                                  0.041666666666666664,
                                                  0.16666666666666666,
                                                  0.5,
                                                  1.0,
                                                  1.0};
  __m512d p = _mm512_set1_pd(kInverseFactorials[0]);
  for (size_t k = 1; k < std::size(kInverseFactorials); ++k)
    p = _mm512_fmadd_pd(p, r, _mm512_set1_pd(kInverseFactorials[k]));
  return _mm512_scalef_pd(p, n);
}

void exp(const double* x, double* y, int32_t n) {
  each8(x, y, n, exp8);
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
  each8(x, y, n, [&s](__m512d v) { return interpolated(v, s); });
}

void sine(const double* x, double* y, int32_t n) {
  each8(x, y, n, sin8);
}

__m512d exponent(const Exponents& e, int32_t i, __mmask8 lanes) {
  const __m512d log = _mm512_maskz_loadu_pd(lanes, e.log + i);
  __m512d y = _mm512_mul_pd(log, _mm512_set1_pd(e.tau));
  y = _mm512_add_pd(y, _mm512_maskz_loadu_pd(lanes, e.spectrum + i));
  y = _mm512_add_pd(y, _mm512_maskz_loadu_pd(lanes, e.response + i));
  y = _mm512_add_pd(y, _mm512_set1_pd(e.P));
  return _mm512_mul_pd(y, _mm512_set1_pd(e.lambda));
}

void exponents(const Exponents& e, double* y, int32_t n) {
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) _mm512_storeu_pd(y + i, exponent(e, i, 0xFF));
  if (i < n) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (n - i)) - 1);
    _mm512_mask_storeu_pd(y + i, rest, exponent(e, i, rest));
  }
}

const PartialKernels kAvx512{sum, exp, interpolate, exponents, sine, "avx512"};

}  // namespace

const PartialKernels& avx512_partial_kernels() {
  return kAvx512;
}

}  // namespace vocanta
