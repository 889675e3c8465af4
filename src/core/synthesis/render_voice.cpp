#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "core/model/voice.h"
#include "core/synthesis/build_run.h"
#include "core/synthesis/voice_filters.h"

namespace vocanta {

namespace {

constexpr int kPartials = 2048;
constexpr int kBlock = 1024;
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

// The working data of one voice: spectra, random phases, phases and filters.
class VoiceSynth {
 public:
  VoiceSynth(BuildRun& run, Voice& voice)
      : run_(run),
        voice_(voice),
        s_(run.settings()),
        H_(kPartials + 1),
        S_(kPartials + 1),
        RH_(kPartials + 1),
        RS_(kPartials + 1) {}

  void start();
  // Renders into block[0..len) while no break is requested; returns how many it did.
  int render_block(int64_t done, int len, int16_t* block);

 private:
  double value(int p, double x) { return curve_value(voice_.parameter(p).state, 1, x); }
  double sample(int64_t m);
  double harmonics(double s, int32_t N, double f0, double aH, double pH, double tau);
  double subharmonics(double s, int32_t N, double f0, double aH, double aS, double pS, double tau);
  int16_t to_sample(double y);

  BuildRun& run_;
  Voice& voice_;
  const SynthesisSettings& s_;
  std::vector<double> H_, S_, RH_, RS_;
  double psi_ = 0, phi_ = 0;
  const double lambda_ = std::log(10.0) / 20;
  FlutterFilter flutter_;
  FormantCascade formants_;
};

void VoiceSynth::start() {
  for (int k = 1; k <= kPartials; ++k) H_[k] = value(param::kHarmonicSpectrum, k);
  for (int k = 1; k <= kPartials; ++k) S_[k] = value(param::kSubharmonicSpectrum, k - 0.5);
  if (!s_.randomize) voice_.random.seed = 0;
  psi_ = 0;
  for (int k = 1; k <= kPartials; ++k) RH_[k] = random_phase(voice_.random);
  for (int k = 1; k <= kPartials; ++k) RS_[k] = random_phase(voice_.random);
  phi_ = 0;
  flutter_.reset();
  formants_.reset();
}

double VoiceSynth::sample(int64_t m) {
  const double fs = s_.fs;
  const double t = m / fs;
  const double F = value(param::kF0, t) * value(param::kF0Factor, t);
  psi_ = psi_ + kTwoPi * value(param::kVibratoFrequency, t) / fs;
  const double va = value(param::kVibratoAmplitude, t) / 100 * F;
  double u = voice_.random.draw(65535) / 65534.0 - 0.5;
  u = flutter_.apply(voice_, u, t, fs);
  const double fa = value(param::kFlutterAmplitude, t) / 100 * F;
  const double f0 = std::fabs(std::sin(psi_) * va + F + fa * u);
  phi_ = phi_ + kTwoPi * f0 / fs;
  // One sample with an infinite rate must not silence the rest of the voice.
  if (!std::isfinite(psi_)) psi_ = 0;
  if (!std::isfinite(phi_)) phi_ = 0;
  const int32_t K = partial_limit(fs, f0);
  const double aH = std::pow(10.0, value(param::kHarmonicLevel, t) / 20);
  const double aS = std::pow(10.0, value(param::kSubharmonicLevel, t) / 20);
  const double pH = value(param::kPhaseRandomness, t) / 100;
  const double pS = value(param::kSubPhaseRandomness, t) / 100;
  const double tau = value(param::kSpectralTilt, t) / std::log(2.0);
  const double w = static_cast<double>(voice_.random.draw(65535)) - 32768;
  double s = std::pow(10.0, value(param::kNoiseLevel, t) / 20) * w;
  run_.show_progress(t);
  const int32_t N = std::min(s_.maxHarmonics, std::min(kPartials, K));
  s = harmonics(s, N, f0, aH, pH, tau);
  s = subharmonics(s, N, f0, aH, aS, pS, tau);
  s = formants_.apply(voice_, s, t, fs);
  return std::pow(10.0, value(param::kOverallLevel, t) / 20) * s_.gain * s;
}

double VoiceSynth::harmonics(double s, int32_t N, double f0, double aH, double pH, double tau) {
  CurveState& response = voice_.parameter(param::kFrequencyResponse).state;
  CurveState& phase = voice_.parameter(param::kPhase).state;
  for (int32_t k = 1; k <= N; ++k) {
    const double R = curve_value(response, 1, k * f0);
    const double A = std::exp((std::log(k) * tau + H_[k] + R) * lambda_);
    const double theta = curve_value(phase, 1, k) * kTwoPi / 360 + RH_[k] * pH;
    s = s + std::sin(k * phi_ + theta) * (30000 * aH * A);
  }
  return s;
}

double VoiceSynth::subharmonics(double s, int32_t N, double f0, double aH, double aS, double pS,
                                double tau) {
  CurveState& response = voice_.parameter(param::kFrequencyResponse).state;
  CurveState& phase = voice_.parameter(param::kSubPhase).state;
  // Counted in 64 bits: n + 1 and the loop's last increment must not overflow when the
  // setting is the largest 32-bit number.
  const int64_t n = s_.tweenies;
  for (int64_t v = 1; v <= n; ++v) {
    const double X = static_cast<double>(v) / static_cast<double>(n + 1);
    const double P = value(param::kTweenieSpectrum, X);
    for (int32_t k = 1; k <= N; ++k) {
      const double R = curve_value(response, 1, (k - 0.5) * f0);
      const double A = std::exp((std::log(k) * tau + S_[k] + R + P) * lambda_);
      const double theta = curve_value(phase, 1, k) * kTwoPi / 360 + RS_[k] * pS;
      s = s + std::sin((k - 1 + X) * phi_ + theta) * (30000 * aS * aH * A);
    }
  }
  return s;
}

int VoiceSynth::render_block(int64_t done, int len, int16_t* block) {
  int computed = 0;
  for (int i = 0; i < len && !run_.breakRequested; ++i) {
    block[i] = to_sample(sample(done + i));
    ++run_.samplesComputed;
    ++computed;
  }
  return computed;
}

int16_t VoiceSynth::to_sample(double y) {
  if (y > 32767) {
    y = 32767;
    run_.set_overload_state(1);
  }
  if (y < -32768) {
    y = -32768;
    run_.set_overload_state(1);
  }
  // NaN compares false above; a sample must never carry it.
  if (std::isnan(y)) {
    y = 0;
    run_.set_overload_state(1);
  }
  return static_cast<int16_t>(std::nearbyint(y));
}

void BuildRun::render_voice(const std::string& label) {
  const int64_t startSamples = samplesInFile;
  VoiceSynth synth(*this, voice_);
  synth.start();
  const int64_t total = settings_.samplesPerVoice;
  int64_t done = 0;
  std::vector<int16_t> block(kBlock);
  std::vector<unsigned char> bytes(2 * kBlock);
  for (;;) {
    const int len = static_cast<int>(std::min<int64_t>(total - done, kBlock));
    const int computed = synth.render_block(done, len, block.data());
    for (int i = 0; i < computed; ++i) {
      const auto v = static_cast<uint16_t>(block[static_cast<size_t>(i)]);
      bytes[2 * static_cast<size_t>(i)] = static_cast<unsigned char>(v & 0xFF);
      bytes[2 * static_cast<size_t>(i) + 1] = static_cast<unsigned char>(v >> 8);
    }
    const size_t written =
        computed > 0 ? std::fwrite(bytes.data(), 1, 2 * static_cast<size_t>(computed), sampleFile_)
                     : 0;
    done += static_cast<int64_t>(written / 2);
    samplesInFile += static_cast<int64_t>(written / 2);
    if (done >= total) break;
    if (written != 2 * static_cast<size_t>(len) || written == 0 || breakRequested) break;
  }
  if (labelled) append_label(startSamples, samplesInFile - startSamples, label);
}

}  // namespace vocanta
