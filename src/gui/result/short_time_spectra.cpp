#include "gui/result/short_time_spectra.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vocanta {
namespace {

// The level given to silence, far below any range the view shows.
constexpr float kFloorDb = -200;

// A transform at least as long as the window, and long enough that narrow windows are
// still drawn with smooth bands rather than a few coarse bins.
int transform_length(int windowLength) {
  int n = 256;
  while (n < windowLength) n *= 2;
  return n;
}

float level_db(const fftw_complex& bin, double reference) {
  const double magnitude = std::hypot(bin[0], bin[1]) / reference;
  return magnitude > 0 ? std::max(static_cast<float>(20 * std::log10(magnitude)), kFloorDb)
                       : kFloorDb;
}

}  // namespace

SpectrogramSize spectrogram_size(int samplingFrequency, int windowLength, int frames,
                                 double topHz) {
  SpectrogramSize size;
  size.windowLength = std::clamp(windowLength, 2, kMaxWindowSamples);
  size.transformLength = transform_length(size.windowLength);
  size.frames = std::clamp(frames, 0, kMaxFrames);
  size.bins = size.transformLength / 2 + 1;
  const double binHz = static_cast<double>(samplingFrequency) / size.transformLength;
  // One bin above the top, so that the top itself lies between two bins.
  if (binHz > 0 && topHz >= 0 && topHz / binHz + 2 < size.bins)
    size.bins = static_cast<int>(topHz / binHz) + 2;
  return size;
}

struct Spectrogram::Plan {
  explicit Plan(int n)
      : length(n),
        in(fftw_alloc_real(static_cast<size_t>(n))),
        out(fftw_alloc_complex(static_cast<size_t>(n / 2 + 1))),
        plan(fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE)) {}
  ~Plan() {
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
  }
  Plan(const Plan&) = delete;
  Plan& operator=(const Plan&) = delete;

  int length;
  double* in;
  fftw_complex* out;
  fftw_plan plan;
};

float SpectrogramFrames::at_frequency(int frame, double hz) const {
  const double position = std::clamp(hz / binHz, 0.0, bins - 1.0);
  const int low = std::min(static_cast<int>(position), bins - 2);
  const double part = position - low;
  return static_cast<float>(at(frame, low) * (1 - part) + at(frame, low + 1) * part);
}

Spectrogram::Spectrogram() = default;
Spectrogram::~Spectrogram() = default;

Spectrogram::Plan& Spectrogram::plan_for(int length) {
  std::unique_ptr<Plan>& plan = plans_[length];
  if (!plan) plan = std::make_unique<Plan>(length);
  return *plan;
}

SpectrogramFrames Spectrogram::compute(const int16_t* samples, size_t count, int samplingFrequency,
                                       int windowLength, const FramePlacement& placement,
                                       double topHz) {
  const SpectrogramSize size =
      spectrogram_size(samplingFrequency, windowLength, placement.frames, topHz);
  windowLength = size.windowLength;
  Plan& p = plan_for(size.transformLength);
  std::vector<double> window(static_cast<size_t>(windowLength));
  double windowSum = 0;
  for (int i = 0; i < windowLength; ++i) {
    window[static_cast<size_t>(i)] =
        0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / windowLength);
    windowSum += window[static_cast<size_t>(i)];
  }
  // A full-scale sine peaks at half the window's sum times full scale: 0 dB.
  const double reference = windowSum / 2 * 32768.0;
  SpectrogramFrames result;
  result.frames = size.frames;
  result.bins = size.bins;
  result.binHz = static_cast<double>(samplingFrequency) / p.length;
  result.db.resize(static_cast<size_t>(result.frames) * result.bins);
  if (result.frames > 0) result.peakDb = kFloorDb;
  for (int f = 0; f < result.frames; ++f) {
    const auto first = static_cast<int64_t>(
        std::llround(placement.firstCentre + f * placement.hop - windowLength / 2.0));
    std::fill(p.in, p.in + p.length, 0.0);
    for (int i = 0; i < windowLength; ++i) {
      const int64_t at = first + i;
      if (at >= 0 && at < static_cast<int64_t>(count))
        p.in[i] = samples[at] * window[static_cast<size_t>(i)];
    }
    fftw_execute(p.plan);
    float* row = result.db.data() + static_cast<size_t>(f) * result.bins;
    for (int b = 0; b < result.bins; ++b) {
      row[b] = level_db(p.out[b], reference);
      result.peakDb = std::max(result.peakDb, row[b]);
    }
    // The bins above the top are not kept, but the strongest of them still counts; the
    // level grows with the magnitude, so one logarithm for the strongest will do.
    int strongest = -1;
    double strongestSquare = -1;
    for (int b = result.bins; b < p.length / 2 + 1; ++b) {
      const double square = p.out[b][0] * p.out[b][0] + p.out[b][1] * p.out[b][1];
      if (square > strongestSquare) {
        strongestSquare = square;
        strongest = b;
      }
    }
    if (strongest >= 0)
      result.peakDb = std::max(result.peakDb, level_db(p.out[strongest], reference));
  }
  return result;
}

}  // namespace vocanta
