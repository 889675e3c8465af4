#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/synthesis/polynomial_kernels.h"

namespace vocanta {

// The partial sums of a steady stretch, where the fundamental and every coefficient stay
// as they are, as functions of the phase alone. They repeat with every turn of it, and
// when f0 / fs is a fraction q / p the samples' phases fall, but for the rounding of their
// accumulation, on p points of the turn. The sums and their first derivatives are
// tabulated at those points once; a sample then costs a short Taylor polynomial in its
// distance from the nearest point, however many partials it has. The phase itself is
// the one the sample accumulated, never a model of it.
class PeriodicTable {
 public:
  // Points of a turn the phases of f0 at fs fall on; 0 when there are more than kMostPoints.
  static constexpr int32_t kMostPoints = 4096;
  static int32_t points(double f0, double fs);

  // A constant as the sum of three parts, the first two of few significant bits.
  struct Parts {
    double head = 0, middle = 0, tail = 0;
  };

  // A polynomial as the kernels take it, without its z.
  struct Polynomial {
    const double* re;
    const double* im;
    double first;
    const RatioRun* runs;
    int32_t runCount;
  };
  // Tabulates the polynomials (one or two: harmonics and rows) of N partials on p points.
  void build(const PolynomialKernels& kernels, const Polynomial* polynomials, int count, int32_t N,
             int32_t p);
  void forget() { p_ = 0; }
  bool built() const { return p_ > 0; }

  // The sums at the phases phi[0..n), four per phase: re and im of the first polynomial,
  // then of the second; ok[i] = 0 where phi[i] lies too far from every point for the
  // Taylor polynomial to be exact to the last bit that matters. Valid until the next call.
  const double* sums(const double* phi, int32_t n, unsigned char* ok);

 private:
  static constexpr int kTerms = TurnTable::kTerms;  // derivatives 0..4
  static constexpr int32_t kPointsAtOnce = 64;
  void tabulate(const Polynomial* polynomials, int count, int32_t N, int32_t p, int32_t from,
                int32_t to);
  const PolynomialKernels* kernels_ = nullptr;
  static constexpr size_t kChannels = TurnTable::kChannels;  // re, im of up to two polynomials
  std::vector<double> derivative_;                           // coefficients times (ik)^d / d!
  std::vector<double> table_;  // per point, per term: re, im of each polynomial
  std::vector<PolyLane> lanes_;
  std::vector<double> zr_, zi_, psi_, re_, im_;
  std::vector<double> channels_;
  int32_t p_ = 0, N_ = 0;
  int count_ = 0;
  double stepHi_ = 0, stepLo_ = 0;  // 2 pi / p as an unevaluated sum
  Parts step_;                      // the same in parts for the reduction
};

}  // namespace vocanta
