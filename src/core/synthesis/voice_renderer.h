#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/support/same_bits.h"
#include "core/synthesis/block_curves.h"
#include "core/synthesis/engine.h"
#include "core/synthesis/level_peaks.h"
#include "core/synthesis/partial_pipeline.h"
#include "core/synthesis/render_break.h"
#include "core/synthesis/render_curves.h"
#include "core/synthesis/synthesis_settings.h"
#include "core/synthesis/voice_filters.h"
#include "core/synthesis/voice_spectra.h"

namespace vocanta {

class FastPartials;
class PolynomialPartials;
class Voice;

// A value of the renderer as a 16-bit sample: rounded to the nearest, with values beyond
// the range (and undefined ones, as 0) clipped, which sets clipped.
int16_t round_sample(double y, bool& clipped);

// The threads a fast build renders on: two where the machine has them, unless the
// environment variable VOCANTA_THREADS says 1.
int render_threads();
// The threads a build renders on unless told: VOCANTA_THREADS when it names a positive
// count, otherwise the machine's cores.
int default_jobs();
// Shorter voices render on one thread: starting the second costs more than it saves on
// so few chunks (about 1 ms against a voice of 2,000 light samples, measured).
inline constexpr int64_t kShortestPipelinedVoice = 2048;
// More tweenie rows than this render on one thread.
inline constexpr int32_t kMostPipelinedRows = 16;

// Renders voices block by block into the caller's buffer, so that whoever drives it
// decides where the samples go and may stop between any two blocks, or through the
// break check inside a long sample. The curve cursors live as long as the renderer:
// the voices of one series walk on from where the last one left them.
class VoiceRenderer {
 public:
  // stop, when given, is asked every so many partials whether to stop. threads: 1 keeps
  // the fast engine on the caller's thread (a series that renders voices side by side
  // has no core to spare), 0 lets render_threads decide.
  VoiceRenderer(Voice& voice, const SynthesisSettings& settings, RenderBreak* stop = nullptr,
                Engine engine = Engine::Fast, int threads = 0);
  ~VoiceRenderer();

  // Begins a voice: spectra and random phases read afresh, phases and filters at rest.
  void start();
  // Renders the next samples of the voice into out[0..), at most count and never past
  // its end; returns how many it rendered, fewer also when the break check stopped it.
  size_t render(int16_t* out, size_t count);
  // The same as the values before they are rounded to samples, for a build that scales
  // them first; clipped() then says nothing of them.
  size_t render_values(double* out, size_t count);

  // Samples rendered of this voice so far, and those still to come.
  int64_t position() const { return position_; }
  int64_t samples_left() const { return s_.samplesPerVoice - position_; }
  // Some sample of this voice did not fit into 16 bits (or was undefined) and was clipped.
  bool clipped() const { return clipped_; }

 private:
  // Samples computed up to their partial sums, waiting for them.
  struct Chunk {
    enum class State { Empty, Filled, Posted, Summed };
    std::vector<PartialJob> jobs;
    std::vector<std::shared_ptr<const std::vector<double>>> keep;  // the tables they read
    std::vector<PendingExp> exps;
    size_t count = 0, delivered = 0;
    State state = State::Empty;
  };
  double value(int p, double x) { return curves_.value(p, 1, x); }
  // Parameter p at the time t of the sample being computed: from the block's values
  // where the block was evaluated at once.
  double at(int p, double t) { return block_ ? block_->value(p, at_) : value(p, t); }
  // Sample m up to its formants, with the partial sums taken or, while chunks are made,
  // left to the pipeline; finish passes it through the formants and applies the level.
  double sample(int64_t m);
  // What a sample takes from the curves along time, apart from its random draws and
  // phases: the same for every sample of a block whose curves hold.
  struct Terms {
    double F = 0, vibratoStep = 0, va = 0, fa = 0, flutterF = 0, flutterQ = 0;
    double aH = 0, aS = 0, pH = 0, pS = 0, tau = 0, noise = 0;
    bool polynomial = false;  // the polynomials accept its tilt and phase randomness
    bool exact = false;       // its partials are summed as the reference sums them
  };
  Terms terms(double t);
  double finish(double s, double t);
  void finish_block(double* out, size_t n);
  bool steady_finish() const;
  // The fast engine on two threads: chunks of samples are computed ahead up to their
  // partial sums, which both threads then take.
  size_t render_chunks(double* out, size_t n);
  void fill(Chunk& c);
  void post(Chunk& c);
  void drop_chunks();
  // The fast engine's partial sums as polynomials, taken for blocks of samples at once.
  size_t render_polynomial(double* out, size_t n);
  double polynomial(double s, int32_t N, double f0, double aH, double aS, double pH, double pS,
                    double tau);
  double harmonics(double s, int32_t N, double f0, double aH, double pH, double tau);
  // Where tweenie row v of the setting's rows lies between two harmonics, 0 to 1.
  double row_x(int64_t v) const {
    // In 64 bits: the setting may be the largest 32-bit number.
    return static_cast<double>(v) / static_cast<double>(int64_t{s_.tweenies} + 1);
  }
  // A tweenie row's level, walked along the tweenie spectrum; the levels of all rows for
  // the sample of the block being computed, or none where they are to be walked.
  double row_level(int64_t v, double X);
  const double* row_levels();
  double subharmonics(double s, int32_t N, double f0, double aH, double aS, double pS, double tau);
  // A level in dB as a factor, 10^(dB / 20).
  struct Level {
    bool known = false;
    double dB = 0, factor = 0;
  };
  double level(Level& l, double dB) {
    // The fast engine takes the factor of a level it has seen just before.
    if (fastEngine_ && l.known && same_bits(l.dB, dB)) return l.factor;
    return new_level(l, dB);
  }
  double new_level(Level& l, double dB);
  // Counts the partials about to be computed; true when the break check, asked once per
  // so many of them, stops the sample.
  bool stop_before(int64_t evaluations) {
    untilCheck_ -= evaluations;
    return untilCheck_ <= 0 && check_break();
  }
  bool check_break();
  void weigh_walks();

  Voice& voice_;
  const SynthesisSettings& s_;
  RenderCurves curves_;
  VoiceSpectra spectra_;
  LevelPeaks peaks_;  // of the fast engine: which samples it sums as the reference does
  double psi_ = 0, phi_ = 0;
  Level levels_[4];  // harmonic, subharmonic, noise and overall level
  const double lambda_;
  FlutterFilter flutter_;
  FormantCascade formants_;
  int64_t position_ = 0;
  bool clipped_ = false;
  RenderBreak* stop_;
  bool fastEngine_ = false;
  FastPartials& fast();
  std::unique_ptr<FastPartials> fast_;
  std::unique_ptr<PolynomialPartials> polynomial_;
  // Where the sample being computed leaves its polynomial sums, while blocks are taken
  // that way; the block's sums before the formants and the samples' times.
  double* polynomialTarget_ = nullptr;
  Terms terms_;  // of the sample being computed
  // The fundamental of the sample before and its partials.
  double lastF0_ = -1;
  int32_t lastN_ = 0;
  std::unique_ptr<BlockCurves> blockCurves_;
  const BlockCurves* block_ = nullptr;  // while a block's samples are computed
  size_t at_ = 0;                       // the sample of the block
  enum RowWalks { kRowsUnwalked, kRowsKept, kRowsNotKept } rowWalks_ = kRowsUnwalked;
  bool keyed_ = false;  // a sample of the block has set the polynomials' keys
  std::array<std::vector<double>, 2> blockRows_;  // the first sample's, the others'
  std::vector<double> rowsAgain_;
  std::vector<double> sums_, times_;
  std::vector<Level> rowLevels_;
  // After fast_: the jobs hold its buffers.
  std::array<Chunk, 2> chunks_;
  int current_ = 0;
  int64_t computed_ = 0;  // samples of the voice computed, delivered or waiting in chunks
  uint64_t fills_ = 0;
  std::unique_ptr<PartialPipeline> pipeline_;
  bool pipelined_ = false;  // the general form takes its sums on two threads
  bool general_ = false;    // this voice has left the polynomials
  int64_t untilCheck_;
  // What the curve walks of a sample, of the harmonics and of a tweenie row may cost at
  // most, counted in partials: a curve of a million points costs more than its partials.
  struct Walks {
    int64_t sample = 0, harmonics = 0, row = 0;
  } walks_;
  double t_ = 0;  // the time of the sample being computed
  bool stopped_ = false;
};

}  // namespace vocanta
