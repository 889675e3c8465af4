// The fast engine's partial sums as polynomials: the samples of a block are computed up
// to their sums, the sums are taken for all of them at once, and the samples then pass
// the formants in order.
#include <algorithm>
#include <cmath>

#include "core/model/voice.h"
#include "core/synthesis/polynomial_partials.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

// Samples whose sums are taken together: enough to fill the vector lanes many times over,
// few enough to stay in the cache.
constexpr size_t kBlock = 256;
// Row levels remembered with their factors; further rows take theirs afresh.
constexpr int64_t kRememberedRows = 64;

}  // namespace

size_t VoiceRenderer::render_polynomial(double* out, size_t n) {
  sums_.resize(kBlock);
  times_.resize(kBlock);
  size_t done = 0;
  while (done < n && !stopped_) {
    const size_t wanted = std::min(n - done, kBlock);
    size_t got = 0;
    for (; got < wanted; ++got) {
      polynomialTarget_ = &sums_[got];
      const double s = sample(position_ + static_cast<int64_t>(got));
      if (stopped_) break;
      sums_[got] = s;
      times_[got] = t_;
    }
    polynomialTarget_ = nullptr;
    polynomial_->flush(samples_left() - static_cast<int64_t>(got));
    for (size_t i = 0; i < got; ++i, ++position_) out[done + i] = finish(sums_[i], times_[i]);
    done += got;
  }
  return done;
}

double VoiceRenderer::polynomial(double s, int32_t N, double f0, double aH, double aS, double pH,
                                 double pS, double tau) {
  // Counted as the general form counts its harmonics, though they cost less here: a
  // check a little more often costs nothing one would notice.
  if (stop_before(std::max(N, 0) + 1) || N <= 0) return s;
  polynomial_->key(tau, pH, pS);
  // Each row: 10^(P / 20) e^(i (X - 1) phi).
  const int64_t n = s_.tweenies;
  if (n > 0 && rowLevels_.size() < static_cast<size_t>(std::min(n, kRememberedRows)))
    rowLevels_.resize(static_cast<size_t>(std::min(n, kRememberedRows)));
  for (int64_t v = 1; v <= n; ++v) {
    if (stop_before(2)) return s;
    const double X = static_cast<double>(v) / static_cast<double>(n + 1);
    const double P = value(param::kTweenieSpectrum, X);
    const double level = v <= kRememberedRows
                             ? this->level(rowLevels_[static_cast<size_t>(v - 1)], P)
                             : std::pow(10.0, P / 20);
    polynomial_->add_row(level, (X - 1) * phi_);
  }
  polynomial_->add({polynomialTarget_, phi_, f0, N, 30000 * aH, 30000 * aS * aH});
  return s;
}

}  // namespace vocanta
