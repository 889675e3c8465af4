#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/model/curve_state.h"
#include "core/synthesis/partial_kernels.h"
#include "core/synthesis/partial_pipeline.h"
#include "core/synthesis/voice_spectra.h"

namespace vocanta {

class RenderCurves;

// The partial sums of the fast engine. Every amplitude and phase offset is computed from
// the same operands, in the same order, as the reference engine computes it, but only
// when an operand changed since it was last computed: the exponential of a partial whose
// tilt, spectrum, response and row level stay as they were is not taken again. The
// sums go through the vector kernels.
class FastPartials {
 public:
  // The spectra and random phases are the renderer's.
  FastPartials(RenderCurves& curves, const VoiceSpectra& spectra,
               const PartialKernels& kernels = partial_kernels());

  // A new voice: its tables are new.
  void start();
  // The tables that runs waiting for their sums read, kept until those sums are taken.
  using Keep = std::vector<std::shared_ptr<const std::vector<double>>>;
  // Where the runs of the samples to come go, to be summed later, and where the tables
  // they read are kept; a new generation for each new keep. Null runs sums at once.
  // Exponentials of new amplitude tables are then left to the pipeline too.
  void collect_into(std::vector<PartialRun>* runs, Keep* keep = nullptr,
                    std::vector<PendingExp>* exps = nullptr, uint64_t generation = 0) {
    collect_ = runs;
    keep_ = keep;
    exps_ = exps;
    generation_ = generation;
  }
  double harmonics(double s, int32_t N, double f0, double phi, double aH, double pH, double tau);
  // A tweenie row, at offset X with the row level P.
  double row(double s, int32_t N, double X, double P, double f0, double phi, double aH, double aS,
             double pS, double tau);

 private:
  enum class Abscissa { Whole, Times, HalfBelow };  // k, k * f0, (k - 0.5) * f0

  // The values of one curve along k = 1..N as the render cursor's walk gives them. A walk
  // that would start where the last one started, along the same abscissae, gives the
  // same values and leaves the cursor where the last one did: it is not walked again.
  struct Walk {
    bool constant = false;  // a parameter without curves: every value is its default
    double value = 0;
    std::vector<double> values;  // at [k - 1]
    bool known = false;
    CurveCursor start, afterFirst, end;
    double f0 = 0;
    int32_t count = 0;
  };
  // Terms of k = 1..count computed from the operands kept beside them. A run waiting
  // for its sum holds the values; new values then go into another buffer.
  struct Table {
    std::vector<double> operands;
    std::shared_ptr<std::vector<double>> values;
    int32_t count = 0;
    double key1 = 0, key2 = 0;
    // Every operand of 0..count-1 is this one value.
    bool constant = false;
    double constantOperand = 0;
    uint64_t keptIn = 0;  // the generation whose keep holds the values
  };

  void walk(Walk& w, int p, Abscissa along, int32_t N, double f0);
  void walk_on(const CurveState& state, const TCurvePoint*& p, const double* xs, double* values,
               int32_t N);
  static bool fresh(const Table& t, const Walk& w, int32_t N);
  static void took(Table& t, const Walk& w, int32_t N, bool keys);
  double* writable(Table& t, int32_t N);
  double sum_or_hold(double s, const PartialRun& run, Table& amplitude, Table& theta);
  void keep(Table& t);
  const double* amplitudes(Table& t, const Walk& response, const std::vector<double>& spectrum,
                           int32_t N, double tau, double P);
  const double* phases(Table& t, const Walk& phase, const std::vector<double>& random, int32_t N,
                       double randomness);

  // Buffers no run holds any more; first, so that it outlives every table.
  std::vector<std::unique_ptr<std::vector<double>>> spare_;
  RenderCurves& curves_;
  const VoiceSpectra& spectra_;
  const PartialKernels& kernels_;
  std::vector<double> log_;   // log(k) at [k - 1]
  std::vector<double> args_;  // exponents on their way to exp
  Walk harmonicResponse_, rowResponse_, harmonicPhase_, rowPhase_;
  Table harmonicAmplitudes_, harmonicPhases_, rowAmplitudes_, rowPhases_;
  std::vector<PartialRun>* collect_ = nullptr;
  Keep* keep_ = nullptr;
  std::vector<PendingExp>* exps_ = nullptr;
  uint64_t generation_ = 0;
};

}  // namespace vocanta
