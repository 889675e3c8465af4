#include "core/synthesis/voice_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "core/model/voice.h"
#include "core/support/same_bits.h"
#include "core/synthesis/fast_partials.h"
#include "core/synthesis/polynomial_partials.h"

namespace vocanta {
namespace {

constexpr int kPartials = VoiceSpectra::kPartials;
// About a millisecond of partials between two break checks: a check reads the clock and
// may let window messages run, which must not show in the time a voice takes.
constexpr int64_t kEvaluationsPerCheck = 1 << 15;
constexpr double kTwoPi = 2 * std::numbers::pi;

// Fresh uniform phase in [0, 2*pi].
double random_phase(RandomGenerator& random) {
  return random.draw(65535) / 65534.0 * kTwoPi;
}

// Harmonics below half the sampling frequency. An f0 of 0, or one so small that the
// count leaves 32 bits, is taken as a voice without partials rather than aborting.
int32_t partial_limit(double fs, double f0) {
  const double k = std::floor(fs / f0 / 2);
  if (!(k >= 0 && k <= std::numeric_limits<int32_t>::max())) return 0;
  return static_cast<int32_t>(k);
}

}  // namespace

VoiceRenderer::VoiceRenderer(Voice& voice, const SynthesisSettings& settings, RenderBreak* stop,
                             Engine engine, int threads)
    : voice_(voice),
      s_(settings),
      curves_(voice),
      lambda_(std::log(10.0) / 20),
      stop_(stop),
      untilCheck_(kEvaluationsPerCheck) {
  if (engine == Engine::Fast) {
    fastEngine_ = true;
    polynomial_ =
        std::make_unique<PolynomialPartials>(curves_, spectra_, s_.fs, polynomial_kernels());
    flutter_.remember_tuning(true);
    formants_.remember_tuning(true);
    // Rows are where a document asks for no end of work: so many wait better nowhere.
    // Its thread starts only if a voice takes the general form.
    pipelined_ = threads != 1 && s_.samplesPerVoice >= kShortestPipelinedVoice &&
                 s_.tweenies <= kMostPipelinedRows && render_threads() > 1;
  }
}

VoiceRenderer::~VoiceRenderer() {
  if (pipeline_) drop_chunks();  // the worker lets go of the chunks first
}

void VoiceRenderer::start() {
  curves_.keep_valid();
  for (int k = 1; k <= kPartials; ++k) spectra_.H[k] = value(param::kHarmonicSpectrum, k);
  for (int k = 1; k <= kPartials; ++k) spectra_.S[k] = value(param::kSubharmonicSpectrum, k - 0.5);
  if (!s_.randomize) voice_.random.seed = 0;
  psi_ = 0;
  for (int k = 1; k <= kPartials; ++k) spectra_.RH[k] = random_phase(voice_.random);
  for (int k = 1; k <= kPartials; ++k) spectra_.RS[k] = random_phase(voice_.random);
  if (fastEngine_) peaks_.read(spectra_);
  phi_ = 0;
  flutter_.reset();
  formants_.reset();
  curves_.restart_formants();
  if (fast_) fast_->start();
  if (polynomial_) polynomial_->start();
  general_ = false;
  drop_chunks();
  position_ = 0;
  clipped_ = false;
}

size_t VoiceRenderer::render(int16_t* out, size_t count) {
  std::array<double, 1024> values;
  size_t done = 0;
  while (done < count) {
    const size_t wanted = std::min(count - done, values.size());
    const size_t got = render_values(values.data(), wanted);
    for (size_t i = 0; i < got; ++i) out[done + i] = round_sample(values[i], clipped_);
    done += got;
    if (got < wanted) break;
  }
  return done;
}

size_t VoiceRenderer::render_values(double* out, size_t count) {
  curves_.keep_valid();
  formants_.forget_tuning();
  weigh_walks();
  if (fastEngine_) peaks_.read(curves_, s_.gain);
  const auto n =
      static_cast<size_t>(std::clamp<int64_t>(samples_left(), 0, static_cast<int64_t>(count)));
  stopped_ = false;
  if (polynomial_ && !general_) {
    if (polynomial_->usable()) return render_polynomial(out, n);
    // The curves are unfit for polynomials (or an edit made them so): the rest of the
    // voice takes the general form, which may compute samples ahead; its chunks start
    // where the polynomial samples ended.
    general_ = true;
    computed_ = position_;
  }
  if (pipelined_ && !pipeline_) pipeline_ = std::make_unique<PartialPipeline>(partial_kernels());
  if (pipeline_) return render_chunks(out, n);
  size_t i = 0;
  for (; i < n; ++i) {
    const double s = sample(position_);
    if (stopped_) break;
    out[i] = finish(s, t_);
    ++position_;
  }
  return i;
}

bool VoiceRenderer::check_break() {
  untilCheck_ = kEvaluationsPerCheck;
  if (!stop_) return false;
  const RenderBreak::Answer answer = stop_->break_now(t_);
  // Window messages may have taken the point a cursor stands on.
  if (answer == RenderBreak::Answer::kGoOnAfterEvents) {
    curves_.keep_valid();
    formants_.forget_tuning();
  }
  stopped_ = answer == RenderBreak::Answer::kStop;
  return stopped_;
}

void VoiceRenderer::weigh_walks() {
  // An evaluation may walk its curve back and forth, a step costing about a quarter of
  // a partial; the walks along the time axis are spread over the voice and left out.
  const auto walk = [&](int p) { return curves_.points(p) / 2; };
  const int64_t response = walk(param::kFrequencyResponse);
  const int64_t formants = std::min(curves_.count(param::kFormants), FormantCascade::kMaxFormants);
  walks_.sample = formants * walk(param::kFormantBandwidth) + walk(param::kTweenieSpectrum);
  walks_.harmonics = response + walk(param::kPhase);
  walks_.row = response + walk(param::kSubPhase);
}

VoiceRenderer::Terms VoiceRenderer::terms(double t) {
  const double fs = s_.fs;
  Terms k;
  k.F = at(param::kF0, t) * at(param::kF0Factor, t);
  k.vibratoStep = kTwoPi * at(param::kVibratoFrequency, t) / fs;
  k.va = at(param::kVibratoAmplitude, t) / 100 * k.F;
  k.flutterF = at(param::kFlutterFrequency, t);
  k.flutterQ = at(param::kFlutterQ, t);
  k.fa = at(param::kFlutterAmplitude, t) / 100 * k.F;
  const double harmonicDb = at(param::kHarmonicLevel, t);
  const double subharmonicDb = at(param::kSubharmonicLevel, t);
  k.aH = level(levels_[0], harmonicDb);
  k.aS = level(levels_[1], subharmonicDb);
  k.pH = at(param::kPhaseRandomness, t) / 100;
  k.pS = at(param::kSubPhaseRandomness, t) / 100;
  k.tau = at(param::kSpectralTilt, t) / std::log(2.0);
  k.noise = level(levels_[2], at(param::kNoiseLevel, t));
  k.polynomial = PolynomialPartials::accepts(k.tau, k.pH, k.pS);
  k.exact = fastEngine_ && peaks_.exact(harmonicDb, subharmonicDb, k.tau, s_.tweenies > 0);
  return k;
}

double VoiceRenderer::sample(int64_t m) {
  const double fs = s_.fs;
  const double t = m / fs;
  t_ = t;
  if (stop_before(1 + walks_.sample)) return 0;
  // Where a block's curves along time hold, its samples take the terms of its first.
  if (!block_ || at_ == 0 || !block_->steady_terms()) terms_ = terms(t);
  const Terms& k = terms_;
  psi_ = psi_ + k.vibratoStep;
  double u = voice_.random.draw(65535) / 65534.0 - 0.5;
  u = flutter_.apply(k.flutterF, k.flutterQ, u, fs);
  // Without vibrato the sine of a finite phase would be multiplied by 0: a zero of either
  // sign, which leaves the sum as it is. The fast engine spares itself the sine.
  const double vibrato =
      fastEngine_ && k.va == 0 && std::isfinite(psi_) ? 0.0 : std::sin(psi_) * k.va;
  const double f0 = std::fabs(vibrato + k.F + k.fa * u);
  phi_ = phi_ + kTwoPi * f0 / fs;
  // One sample with an infinite rate must not silence the rest of the voice.
  if (!std::isfinite(psi_)) psi_ = 0;
  if (!std::isfinite(phi_)) phi_ = 0;
  // The partials of the fundamental of the sample before, while it stays.
  if (!same_bits(f0, lastF0_)) {
    lastF0_ = f0;
    lastN_ = std::min(s_.maxHarmonics, std::min(kPartials, partial_limit(fs, f0)));
  }
  const int32_t N = lastN_;
  const double w = static_cast<double>(voice_.random.draw(65535)) - 32768;
  double s = k.noise * w;
  if (polynomialTarget_ && k.polynomial && !k.exact)
    return polynomial(s, N, f0, k.aH, k.aS, k.pH, k.pS, k.tau);
  s = harmonics(s, N, f0, k.aH, k.pH, k.tau);
  if (stopped_) return 0;
  s = subharmonics(s, N, f0, k.aH, k.aS, k.pS, k.tau);
  if (stopped_) return 0;
  return s;
}

double VoiceRenderer::finish(double s, double t) {
  s = block_ ? formants_.apply(curves_, block_->formants(at_), block_->formant_count(), s, s_.fs,
                               at_ > 0 && block_->steady_formants())
             : formants_.apply(curves_, s, t, s_.fs);
  return level(levels_[3], at(param::kOverallLevel, t)) * s_.gain * s;
}

double VoiceRenderer::harmonics(double s, int32_t N, double f0, double aH, double pH, double tau) {
  const CurveState& response = curves_.state(param::kFrequencyResponse);
  CurveCursor& atResponse = curves_.cursor(param::kFrequencyResponse);
  const CurveState& phase = curves_.state(param::kPhase);
  CurveCursor& atPhase = curves_.cursor(param::kPhase);
  if (stop_before(std::max(N, 0) + walks_.harmonics)) return s;
  if (fastEngine_ && !terms_.exact) return fast().harmonics(s, N, f0, phi_, aH, pH, tau);
  for (int32_t k = 1; k <= N; ++k) {
    const double R = curve_value(response, atResponse, 1, k * f0);
    const double A = std::exp((std::log(k) * tau + spectra_.H[k] + R) * lambda_);
    const double theta = curve_value(phase, atPhase, 1, k) * kTwoPi / 360 + spectra_.RH[k] * pH;
    s = s + std::sin(k * phi_ + theta) * (30000 * aH * A);
  }
  return s;
}

double VoiceRenderer::subharmonics(double s, int32_t N, double f0, double aH, double aS, double pS,
                                   double tau) {
  const CurveState& response = curves_.state(param::kFrequencyResponse);
  CurveCursor& atResponse = curves_.cursor(param::kFrequencyResponse);
  const CurveState& phase = curves_.state(param::kSubPhase);
  CurveCursor& atPhase = curves_.cursor(param::kSubPhase);
  // Counted in 64 bits: n + 1 and the loop's last increment must not overflow when the
  // setting is the largest 32-bit number.
  const int64_t n = s_.tweenies;
  // The rows are where a document can ask for no end of work: checked row by row. A
  // negative maximum of harmonics computes no partial, but the row still costs.
  const int64_t rowCost = std::max(N, 0) + 1 + walks_.row;
  for (int64_t v = 1; v <= n; ++v) {
    if (stop_before(rowCost)) return s;
    const double X = row_x(v);
    const double P = value(param::kTweenieSpectrum, X);
    if (fastEngine_ && !terms_.exact) {
      s = fast().row(s, N, X, P, f0, phi_, aH, aS, pS, tau);
      continue;
    }
    for (int32_t k = 1; k <= N; ++k) {
      const double R = curve_value(response, atResponse, 1, (k - 0.5) * f0);
      const double A = std::exp((std::log(k) * tau + spectra_.S[k] + R + P) * lambda_);
      const double theta = curve_value(phase, atPhase, 1, k) * kTwoPi / 360 + spectra_.RS[k] * pS;
      s = s + std::sin((k - 1 + X) * phi_ + theta) * (30000 * aS * aH * A);
    }
  }
  return s;
}

FastPartials& VoiceRenderer::fast() {
  // Made when a sample first needs the general form: most voices never do.
  if (!fast_) fast_ = std::make_unique<FastPartials>(curves_, spectra_);
  return *fast_;
}

double VoiceRenderer::new_level(Level& l, double dB) {
  l = {true, dB, std::pow(10.0, dB / 20)};
  return l.factor;
}

int16_t round_sample(double y, bool& clipped) {
  if (y > 32767) {
    y = 32767;
    clipped = true;
  }
  if (y < -32768) {
    y = -32768;
    clipped = true;
  }
  // NaN compares false above; a sample must never carry it.
  if (std::isnan(y)) {
    y = 0;
    clipped = true;
  }
  return static_cast<int16_t>(std::nearbyint(y));
}

}  // namespace vocanta
