#include "core/synthesis/level_peaks.h"

#include <cmath>

#include "core/model/parameter_table.h"
#include "core/synthesis/render_curves.h"

namespace vocanta {
namespace {

// The largest of a and b, where a NaN in either wins: a level that is not a number cannot
// be shown to be small.
double larger(double a, double b) {
  return std::isnan(a) || b > a ? b : a;
}

// The largest value a curve may give: its default or one of its points, of any curve.
double peak(const CurveState& w) {
  double most = w.defaultValue;
  for (const TCurve* c = w.curves; c; c = c->next)
    for (const TCurvePoint* p = c->points; p; p = p->next) most = larger(most, point_value(w, p));
  return most;
}

}  // namespace

void LevelPeaks::read(const VoiceSpectra& spectra) {
  spectra_[0] = spectra_[1] = -HUGE_VAL;
  for (int k = 1; k <= VoiceSpectra::kPartials; ++k) {
    spectra_[0] = larger(spectra_[0], spectra.H[k]);
    spectra_[1] = larger(spectra_[1], spectra.S[k]);
  }
}

void LevelPeaks::read(const RenderCurves& curves, double gain) {
  scale_ = 20 * std::log10(30000 * std::fabs(gain)) +
           peak(curves.state(param::kFrequencyResponse)) + peak(curves.state(param::kOverallLevel));
  rows_ = peak(curves.state(param::kTweenieSpectrum));
}

bool LevelPeaks::exact(double harmonicDb, double subharmonicDb, double tau, bool rows) const {
  // A partial's size grows by tau log k dB: at the last partial where tau is positive.
  const double tilt = tau > 0 ? tau * VoiceSpectra::kLogPartials : 0;
  const double base = scale_ + harmonicDb + tilt;
  const double harmonics = base + spectra_[0];
  const double subharmonics = rows ? base + subharmonicDb + spectra_[1] + rows_ : -HUGE_VAL;
  return !(harmonics <= kMostFastDb) || !(subharmonics <= kMostFastDb);
}

}  // namespace vocanta
