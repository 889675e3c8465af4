#include "core/synthesis/block_curves.h"

#include <algorithm>
#include <cassert>

#include "core/synthesis/render_curves.h"
#include "core/synthesis/voice_filters.h"

namespace vocanta {
namespace {

constexpr int kAlongTime[] = {param::kOverallLevel,
                              param::kHarmonicLevel,
                              param::kSubharmonicLevel,
                              param::kNoiseLevel,
                              param::kF0,
                              param::kF0Factor,
                              param::kVibratoFrequency,
                              param::kVibratoAmplitude,
                              param::kFlutterAmplitude,
                              param::kFlutterFrequency,
                              param::kFlutterQ,
                              param::kSpectralTilt,
                              param::kFormantFactor,
                              param::kPhaseRandomness,
                              param::kSubPhaseRandomness};

}  // namespace

// A value written once holds for the whole block; otherwise the values are completed
// up to n.
size_t BlockCurves::stored(size_t written, size_t n, double* values) {
  if (written == 1) return kOnce;
  std::fill(values + written, values + n, values[written - 1]);
  return kEach;
}

void BlockCurves::fill(RenderCurves& curves, const double* t, size_t n) {
  assert(n >= 1 && n <= kSize);
  steadyTerms_ = true;
  for (int p : kAlongTime) {
    double* v = values_[static_cast<size_t>(p)].data();
    every_[static_cast<size_t>(p)] = stored(curves.values(p, t, n, v), n, v);
    // The overall level and the formant factor come after the sample's terms.
    if (p != param::kOverallLevel && p != param::kFormantFactor)
      steadyTerms_ = steadyTerms_ && every_[static_cast<size_t>(p)] == kOnce;
  }
  fill_formants(curves, t, n);
}

void BlockCurves::fill_formants(RenderCurves& curves, const double* t, size_t n) {
  formants_ = std::min(curves.count(param::kFormants), FormantCascade::kMaxFormants);
  const auto count = static_cast<size_t>(formants_);
  columns_.resize(count * n);
  columnEvery_.resize(count);
  formantEvery_ = every_[param::kFormantFactor];
  for (size_t c = 0; c < count; ++c) {
    double* column = columns_.data() + c * n;
    const size_t written =
        curves.formant_values(static_cast<int16_t>(c + 1), formants_, t, n, column);
    columnEvery_[c] = stored(written, n, column);
    formantEvery_ |= columnEvery_[c];
  }
  const size_t rows = formantEvery_ == kOnce ? 1 : n;
  f_.resize(count * rows);
  const double* factor = values_[param::kFormantFactor].data();
  const size_t factorEvery = every_[param::kFormantFactor];
  for (size_t c = 0; c < count; ++c)
    for (size_t i = 0; i < rows; ++i)
      f_[i * count + c] = columns_[c * n + (i & columnEvery_[c])] * factor[i & factorEvery];
}

}  // namespace vocanta
