#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/synthesis/periodic_table.h"
#include "core/synthesis/polynomial_kernels.h"
#include "core/synthesis/voice_spectra.h"

namespace vocanta {

class RenderCurves;
struct CurveState;

// The partial sums of the fast engine as polynomials in e^(i phi). A sample's harmonics
// are the imaginary part of sum c(k) rho(k) z^k, where c(k) = exp(lambda (log k * tau +
// H[k])) e^(i theta(k)) changes only with the tilt, the phase curve and the phase
// randomness, and rho(k) = exp(lambda R(k f0)) is the frequency response, geometric in k
// along each straight stretch of its curve. Every tweenie row has the same coefficients
// but for its level and the offset of its phase, so all rows are one polynomial times a
// factor of the sample. Samples are gathered and their sums taken together, many at once.
class PolynomialPartials {
 public:
  PolynomialPartials(RenderCurves& curves, const VoiceSpectra& spectra, double fs,
                     const PolynomialKernels& kernels);

  // A new voice: its spectra and random phases are new.
  void start() { spectraChecked_ = false; }
  // Whether the curves allow this form now. The user may edit between two blocks, so it
  // is asked before each: a step in the response or a phase curve, where a value depends
  // on the side a walk comes from, or levels so extreme that factors of them would leave
  // the range of doubles, leave the samples to the general form.
  bool usable();
  // Whether a sample of this tilt and these phase randomnesses can be taken this way.
  static bool accepts(double tau, double pH, double pS);

  // A sample whose partial sums are to be added onto *target, its rows' polynomial scaled
  // by rowScale times the sum of the row terms added for it.
  struct Sample {
    double* target;
    double phi, f0;
    int32_t N;
    double harmonicScale, rowScale;
    size_t rowFrom = 0, rowTo = 0;
  };
  // Before a sample's rows and the sample itself: the keys of its coefficients. Samples of
  // other keys are taken first.
  void key(double tau, double pH, double pS);
  // One row of the sample about to be added: level * e^(i angle).
  void add_row(double level, double angle) {
    rowLevels_.push_back(level);
    rowAngles_.push_back(angle);
  }
  void add(const Sample& s);
  // Takes the sums of every sample added so far; their targets must be valid until then.
  // left: the samples of the voice that follow them, which may repay a table.
  void flush(int64_t left = 0);

 private:
  struct Response {
    bool flat = true;
    double value = 0;
    std::vector<double> x, y;
    std::vector<double> rise;  // per stretch, in dB per Hz
    // The stretch x lies on: -1 before the first point, the last point's index after it.
    int64_t stretch(double x) const;
    // On stretch j: -1 before the first point, the last point's index after it.
    double on(int64_t j, double x) const;
  };
  void read_response(const CurveState& w, Response& r, std::vector<double>& print);
  bool read_phases(const CurveState& w, std::vector<double>& print);
  void build(int32_t count);
  void runs(double f0, int32_t N, bool half, double& first);
  void exponentiate(size_t runsFrom, double* firsts, size_t count);
  void forget_coefficients() {
    built_ = 0;
    ++version_;
  }
  // Samples of a steady stretch from the table; true for those it took.
  void take_steady(int64_t left, bool rows);
  void tabulate(const Sample& s, bool rows);
  void look_up(bool rows);
  void take_direct(bool rows);

  RenderCurves& curves_;
  const VoiceSpectra& spectra_;
  const PolynomialKernels& kernels_;
  const double lambda_;
  bool spectraChecked_ = false, spectraUsable_ = false;
  Response response_;
  // The curves the coefficients were built from, to see an edit.
  std::vector<double> print_, newPrint_;
  // The coefficients, built for k = 1..built_ with the keys below.
  std::vector<double> hr_, hi_, sr_, si_;
  int32_t built_ = 0;
  uint64_t version_ = 0;  // of the coefficients, for the table built from them
  const double fs_;
  // The steady stretch the latest samples are on, and its table.
  double steadyF0_ = -1;
  int32_t steadyN_ = -1, steadyPoints_ = 0;
  int64_t steady_ = 0;
  PeriodicTable table_;
  double tableF0_ = -1;
  int32_t tableN_ = -1;
  uint64_t tableVersion_ = 0;
  bool tableRows_ = false;
  std::vector<char> tabled_;
  std::vector<size_t> direct_, lookups_;
  std::vector<unsigned char> near_;
  double tau_ = 0, pH_ = 0, pS_ = 0;
  std::vector<Sample> pending_;
  std::vector<double> rowLevels_, rowAngles_, rowSines_, rowCosines_, rowRe_, rowIm_;
  size_t rowsAdded_ = 0;
  void row_factors(bool& rows);
  std::vector<RatioRun> runs_;
  std::vector<double> exps_;
  // Per pending sample: where its runs start in runs_, and rho(1), for both polynomials.
  std::vector<int32_t> runAt_;
  std::vector<double> firsts_;
  std::vector<double> phis_, zr_, zi_, re_, im_, laneRe_, laneIm_;
  std::vector<PolyLane> lanes_;
};

}  // namespace vocanta
