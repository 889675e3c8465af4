#pragma once

#include "core/synthesis/voice_spectra.h"

namespace vocanta {

class RenderCurves;

// How loud the loudest partial of a sample may be, in dB of one unit of the samples.
// The fast engine's sums carry an error of a fixed fraction of their partials' size,
// where the reference computes each partial alone: a partial so loud that this fraction
// reaches a sample's last bit (near its zero crossings, in a voice that clips all the
// rest) is summed as the reference sums it.
class LevelPeaks {
 public:
  // The loudest partial of these sizes is still summed the fast way: 70 dB above full
  // scale, where the fast sums keep the reference's samples by a margin of about a
  // thousand (they begin to differ at a partial of about 10^11).
  static constexpr double kMostFastDb = 160;

  // The spectra of a voice that starts.
  void read(const VoiceSpectra& spectra);
  // The curves the partials' sizes depend on besides those of the sample, read again
  // before each stretch of samples since an edit may change them; gain: the build's factor.
  void read(const RenderCurves& curves, double gain);
  // Whether a sample of these harmonic and subharmonic levels (dB) and tilt (per
  // natural log of the partial's number), with or without rows, must be summed as the
  // reference does.
  bool exact(double harmonicDb, double subharmonicDb, double tau, bool rows) const;

 private:
  double spectra_[2] = {0, 0};  // the loudest harmonic and subharmonic, dB
  double scale_ = 0;            // the samples' scale, the response and the overall level
  double rows_ = 0;             // the loudest tweenie row
};

}  // namespace vocanta
