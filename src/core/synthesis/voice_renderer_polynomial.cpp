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
constexpr size_t kBlock = BlockCurves::kSize;
// Row levels remembered with their factors; further rows take theirs afresh.
constexpr int64_t kRememberedRows = 64;

}  // namespace

size_t VoiceRenderer::render_polynomial(double* out, size_t n) {
  sums_.resize(kBlock);
  times_.resize(kBlock);
  size_t done = 0;
  while (done < n && !stopped_) {
    const size_t wanted = std::min(n - done, kBlock);
    // The times as sample() takes them.
    const double fs = s_.fs;
    for (size_t i = 0; i < wanted; ++i) times_[i] = (position_ + static_cast<int64_t>(i)) / fs;
    // Not zeroed: the values a block stores once leave most of it untouched.
    if (!blockCurves_) blockCurves_ = std::make_unique_for_overwrite<BlockCurves>();
    blockCurves_->fill(curves_, times_.data(), wanted);
    block_ = blockCurves_.get();
    rowWalks_ = kRowsUnwalked;
    keyed_ = false;
    size_t got = 0;
    for (; got < wanted; ++got) {
      at_ = got;
      polynomialTarget_ = &sums_[got];
      const double s = sample(position_ + static_cast<int64_t>(got));
      if (stopped_) break;
      sums_[got] = s;
    }
    polynomialTarget_ = nullptr;
    polynomial_->flush(samples_left() - static_cast<int64_t>(got));
    finish_block(out + done, got);
    position_ += static_cast<int64_t>(got);
    block_ = nullptr;
    done += got;
  }
  return done;
}

double VoiceRenderer::polynomial(double s, int32_t N, double f0, double aH, double aS, double pH,
                                 double pS, double tau) {
  // Counted as the general form counts its harmonics, though they cost less here: a
  // check a little more often costs nothing one would notice.
  if (stop_before(std::max(N, 0) + 1) || N <= 0) return s;
  // A block whose curves hold keeps the keys of its first sample.
  if (!keyed_ || !block_->steady_terms()) polynomial_->key(tau, pH, pS);
  keyed_ = true;
  // Each row: 10^(P / 20) e^(i (X - 1) phi).
  const int64_t n = s_.tweenies;
  const double* levels = rowWalks_ == kRowsKept ? blockRows_[1].data() : row_levels();
  for (int64_t v = 1; v <= n; ++v) {
    if (stop_before(2)) return s;
    const double X = row_x(v);
    const double level = levels ? levels[v - 1] : row_level(v, X);
    polynomial_->add_row(level, (X - 1) * phi_);
  }
  polynomial_->add({polynomialTarget_, phi_, f0, N, 30000 * aH, 30000 * aS * aH});
  return s;
}

// The block's sums through the formants and levels. The first sample tunes the formants;
// where they and the overall level hold for the block, the others pass in one loop.
void VoiceRenderer::finish_block(double* out, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    at_ = i;
    out[i] = finish(sums_[i], times_[i]);
    if (i == 0 && n > 1 && steady_finish()) {
      formants_.run(sums_.data() + 1, n - 1);
      const double scale = level(levels_[3], block_->value(param::kOverallLevel, 0)) * s_.gain;
      for (size_t j = 1; j < n; ++j) out[j] = scale * sums_[j];
      return;
    }
  }
}

bool VoiceRenderer::steady_finish() const {
  return block_->steady_formants() && block_->steady(param::kOverallLevel) &&
         formants_.tuned_for(block_->formant_count());
}

double VoiceRenderer::row_level(int64_t v, double X) {
  const double P = value(param::kTweenieSpectrum, X);
  if (v > kRememberedRows) return std::pow(10.0, P / 20);
  if (rowLevels_.size() < static_cast<size_t>(v)) rowLevels_.resize(static_cast<size_t>(v));
  return level(rowLevels_[static_cast<size_t>(v - 1)], P);
}

// Each sample walks the tweenie spectrum row by row. The first walk of a block starts
// where the cursor stood; once a walk leaves the cursor where the one before left it,
// every later walk repeats it, and the block's samples take its levels without walking.
const double* VoiceRenderer::row_levels() {
  const int64_t n = s_.tweenies;
  if (n <= 0 || n > kRememberedRows || rowWalks_ == kRowsNotKept) return nullptr;
  if (rowWalks_ == kRowsKept) return blockRows_[1].data();
  blockRows_[0].resize(static_cast<size_t>(n));
  blockRows_[1].resize(static_cast<size_t>(n));
  CurveCursor& cursor = curves_.cursor(param::kTweenieSpectrum);
  const auto walk = [&](std::vector<double>& levels) {
    for (int64_t v = 1; v <= n; ++v) levels[static_cast<size_t>(v - 1)] = row_level(v, row_x(v));
  };
  walk(blockRows_[0]);
  const CurveCursor first = cursor;
  walk(blockRows_[1]);
  const CurveCursor second = cursor;
  rowsAgain_.resize(static_cast<size_t>(n));
  walk(rowsAgain_);
  const bool repeats =
      cursor.curve == second.curve && cursor.point == second.point &&
      std::equal(rowsAgain_.begin(), rowsAgain_.end(), blockRows_[1].begin(), same_bits);
  // Otherwise the samples walk one by one, from where the first walk left the cursor.
  if (!repeats) cursor = first;
  rowWalks_ = repeats ? kRowsKept : kRowsNotKept;
  return blockRows_[0].data();
}

}  // namespace vocanta
