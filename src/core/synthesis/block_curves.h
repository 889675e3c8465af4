#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/model/parameter_table.h"

namespace vocanta {

class RenderCurves;

// The curves a sample reads along time, evaluated for a block of samples at once: the
// values one evaluation per sample would give, walked along the same cursors, at a few
// instructions a sample instead of a walk each.
class BlockCurves {
 public:
  static constexpr size_t kSize = 256;

  // The values at the ascending times t[0..n), n at most kSize.
  void fill(RenderCurves& curves, const double* t, size_t n);
  // Parameter p (one read along time) at t[i]. A value that holds for the whole block is
  // stored once, and every i reads it.
  double value(int p, size_t i) const {
    const auto at = static_cast<size_t>(p);
    return values_[at][i & every_[at]];
  }
  // Whether every curve a sample reads before its formants holds for the whole block.
  bool steady_terms() const { return steadyTerms_; }
  // Whether parameter p has one value for the whole block.
  bool steady(int p) const { return every_[static_cast<size_t>(p)] == kOnce; }
  // The formant frequencies at t[i], times the formant factor, in curve order.
  int formant_count() const { return formants_; }
  const double* formants(size_t i) const {
    return f_.data() + (i & formantEvery_) * static_cast<size_t>(formants_);
  }
  // Whether every sample of the block has the formant frequencies of its first.
  bool steady_formants() const { return formantEvery_ == 0; }

 private:
  static constexpr size_t kEach = ~size_t{0}, kOnce = 0;
  size_t stored(size_t written, size_t n, double* values);
  void fill_formants(RenderCurves& curves, const double* t, size_t n);

  std::array<std::array<double, kSize>, kParameterCount> values_;
  std::array<size_t, kParameterCount> every_{};  // kOnce or kEach
  int formants_ = 0;
  bool steadyTerms_ = false;
  size_t formantEvery_ = kEach;
  std::vector<double> f_, columns_;
  std::vector<size_t> columnEvery_;
};

}  // namespace vocanta
