#pragma once

#include <numbers>
#include <vector>

namespace vocanta {

// A voice's spectra and random phases per partial, [k] for partial k = 1..2048: read
// afresh when a voice starts, owned by its renderer and read by the partial sums.
struct VoiceSpectra {
  static constexpr int kPartials = 2048;
  // log 2048: the largest factor a tilt meets, at the last partial.
  static constexpr double kLogPartials = 11 * std::numbers::ln2;
  static_assert(kPartials == 1 << 11);
  std::vector<double> H = std::vector<double>(kPartials + 1);   // harmonic spectrum, dB
  std::vector<double> S = std::vector<double>(kPartials + 1);   // subharmonic spectrum, dB
  std::vector<double> RH = std::vector<double>(kPartials + 1);  // random phases, harmonics
  std::vector<double> RS = std::vector<double>(kPartials + 1);  // random phases, rows
};

}  // namespace vocanta
