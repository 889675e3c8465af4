#include "core/synthesis/polynomial_partials.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/model/parameter_table.h"
#include "core/support/same_bits.h"
#include "core/synthesis/render_curves.h"

namespace vocanta {
namespace {

constexpr int kPartials = VoiceSpectra::kPartials;
// Samples whose lanes of one kind lie together: a multiple of the four that share their
// coefficients, and as many as a pass of the widest kernel takes.
constexpr size_t kLaneBlock = 16;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kLogPartials = VoiceSpectra::kLogPartials;
// Levels in dB beyond which a product of factors of them might leave the range of
// doubles where the reference's one exponential does not; 1000 dB keeps every factor
// within 10^50 and every product well inside.
constexpr double kMostDb = 1000;
// Phase curves in degrees, and phase randomness as a factor: beyond these the reference's
// own rounding of the sine's argument would decide the last bit.
constexpr double kMostDegrees = 36000;
constexpr double kMostRandomness = 100;

bool bounded(double v, double most) {
  return std::isfinite(v) && std::fabs(v) <= most;
}

// The curve a walk for curve 1 uses, as the renderer's evaluation finds it.
const TCurvePoint* first_point(const CurveState& w) {
  CurveCursor c;
  curve_value(w, c, 1, 0);
  return c.point ? c.curve->points : nullptr;
}

}  // namespace

PolynomialPartials::PolynomialPartials(RenderCurves& curves, const VoiceSpectra& spectra, double fs,
                                       const PolynomialKernels& kernels)
    : curves_(curves),
      spectra_(spectra),
      kernels_(kernels),
      lambda_(std::log(10.0) / 20),
      fs_(fs) {}

bool PolynomialPartials::accepts(double tau, double pH, double pS) {
  return bounded(tau * kLogPartials, kMostDb) && bounded(pH, kMostRandomness) &&
         bounded(pS, kMostRandomness);
}

void PolynomialPartials::read_response(const CurveState& w, Response& r,
                                       std::vector<double>& print) {
  r.x.clear();
  r.y.clear();
  for (const TCurvePoint* p = first_point(w); p; p = p->next) {
    r.x.push_back(p->x);
    r.y.push_back(point_value(w, p));
  }
  r.rise.clear();
  for (size_t j = 1; j < r.x.size(); ++j)
    r.rise.push_back((r.y[j] - r.y[j - 1]) / (r.x[j] - r.x[j - 1]));
  r.flat = r.x.size() < 2;
  r.value = r.x.empty() ? w.defaultValue : r.y.front();
  print.insert(print.end(), r.x.begin(), r.x.end());
  print.insert(print.end(), r.y.begin(), r.y.end());
}

bool PolynomialPartials::read_phases(const CurveState& w, std::vector<double>& print) {
  bool fine = bounded(w.defaultValue, kMostDegrees);
  for (const TCurvePoint* p = first_point(w); p; p = p->next) {
    const double y = point_value(w, p);
    fine =
        fine && bounded(y, kMostDegrees) && std::isfinite(p->x) && (!p->next || p->next->x > p->x);
    print.push_back(p->x);
    print.push_back(y);
  }
  print.push_back(kMostDegrees * 2);  // the end of this curve's points
  return fine;
}

bool PolynomialPartials::usable() {
  if (!spectraChecked_) {
    spectraUsable_ = true;
    for (int k = 1; k <= kPartials; ++k)
      spectraUsable_ =
          spectraUsable_ && bounded(spectra_.H[k], kMostDb) && bounded(spectra_.S[k], kMostDb);
    spectraChecked_ = true;
    forget_coefficients();  // new spectra and random phases
  }
  newPrint_.clear();
  read_response(curves_.state(param::kFrequencyResponse), response_, newPrint_);
  bool fine = spectraUsable_ && bounded(response_.value, kMostDb);
  for (size_t i = 0; i < response_.x.size(); ++i)
    fine = fine && bounded(response_.y[i], kMostDb) && std::isfinite(response_.x[i]) &&
           (i == 0 || response_.x[i] > response_.x[i - 1]);
  fine = read_phases(curves_.state(param::kPhase), newPrint_) && fine;
  fine = read_phases(curves_.state(param::kSubPhase), newPrint_) && fine;
  const CurveState& tweenies = curves_.state(param::kTweenieSpectrum);
  fine = fine && bounded(tweenies.defaultValue, kMostDb);
  for (const TCurve* c = tweenies.curves; c; c = c->next)
    for (const TCurvePoint* p = c->points; p; p = p->next)
      fine = fine && bounded(point_value(tweenies, p), kMostDb);
  if (newPrint_.size() != print_.size() ||
      !std::equal(newPrint_.begin(), newPrint_.end(), print_.begin(), same_bits)) {
    print_.swap(newPrint_);
    forget_coefficients();
  }
  return fine;
}

int64_t PolynomialPartials::Response::stretch(double v) const {
  if (v < x.front()) return -1;
  const auto last = static_cast<int64_t>(x.size()) - 1;
  // The first partials lie on the first stretches of most responses.
  constexpr int64_t kNear = 8;
  for (int64_t j = 0; j < std::min(last, kNear); ++j)
    if (v < x[static_cast<size_t>(j + 1)]) return j;
  return std::min<int64_t>(std::upper_bound(x.begin(), x.end(), v) - x.begin() - 1, last);
}

void PolynomialPartials::build(int32_t count) {
  if (hr_.empty())
    for (std::vector<double>* c : {&hr_, &hi_, &sr_, &si_}) c->resize(kPartials);
  const CurveState& phase = curves_.state(param::kPhase);
  const CurveState& subPhase = curves_.state(param::kSubPhase);
  CurveCursor atPhase, atSubPhase;
  for (int32_t k = std::max(built_, 0) + 1; k <= count; ++k) {
    const auto i = static_cast<size_t>(k - 1);
    const double log = std::log(k) * tau_;
    const double h = std::exp((log + spectra_.H[i + 1]) * lambda_);
    const double theta =
        curve_value(phase, atPhase, 1, k) * kTwoPi / 360 + spectra_.RH[i + 1] * pH_;
    hr_[i] = h * std::cos(theta);
    hi_[i] = h * std::sin(theta);
    const double s = std::exp((log + spectra_.S[i + 1]) * lambda_);
    const double sTheta =
        curve_value(subPhase, atSubPhase, 1, k) * kTwoPi / 360 + spectra_.RS[i + 1] * pS_;
    sr_[i] = s * std::cos(sTheta);
    si_[i] = s * std::sin(sTheta);
  }
  built_ = std::max(built_, count);
}

void PolynomialPartials::key(double tau, double pH, double pS) {
  if (same_bits(tau, tau_) && same_bits(pH, pH_) && same_bits(pS, pS_)) return;
  flush();
  tau_ = tau;
  pH_ = pH;
  pS_ = pS;
  forget_coefficients();
}

void PolynomialPartials::add(const Sample& s) {
  pending_.push_back(s);
  pending_.back().rowFrom = rowsAdded_;
  pending_.back().rowTo = rowsAdded_ = rowLevels_.size();
}

// Each sample's factor of the rows' polynomial, into rowRe_ and rowIm_; rows says
// whether any sample has one.
void PolynomialPartials::row_factors(bool& rows) {
  const size_t terms = rowLevels_.size();
  rowSines_.resize(terms);
  rowCosines_.resize(terms);
  kernels_.sincos(rowAngles_.data(), rowSines_.data(), rowCosines_.data(),
                  static_cast<int32_t>(terms));
  rows = false;
  rowRe_.assign(pending_.size(), 0);
  rowIm_.assign(pending_.size(), 0);
  for (size_t i = 0; i < pending_.size(); ++i) {
    const Sample& s = pending_[i];
    double re = 0, im = 0;
    for (size_t r = s.rowFrom; r < s.rowTo; ++r) {
      re += rowLevels_[r] * rowCosines_[r];
      im += rowLevels_[r] * rowSines_[r];
    }
    rowRe_[i] = s.rowScale * re;
    rowIm_[i] = s.rowScale * im;
    rows = rows || rowRe_[i] != 0 || rowIm_[i] != 0;
  }
  rowLevels_.clear();
  rowAngles_.clear();
  rowsAdded_ = 0;
}

double PolynomialPartials::Response::on(int64_t j, double v) const {
  if (j < 0) return y.front();
  const auto at = static_cast<size_t>(j);
  if (at + 1 >= x.size()) return y.back();
  return y[at] + (v - x[at]) * rise[at];
}

// The ratio runs of one polynomial of a sample, appended to runs_, along the partials'
// frequencies (k - 0.5) f0 for the rows (half) or k f0. The ratios and first are left as
// exponents, for exponentiate to take many at once.
void PolynomialPartials::runs(double f0, int32_t N, bool half, double& first) {
  const Response& r = response_;
  const double offset = half ? 0.5 : 0.0;
  const auto x = [f0, offset](int64_t k) { return (static_cast<double>(k) - offset) * f0; };
  if (r.x.empty()) {
    first = r.value * lambda_;
    return;
  }
  int64_t j = r.stretch(x(1));
  first = r.on(j, x(1)) * lambda_;
  if (r.flat || N <= 1) return;
  const auto last = static_cast<int64_t>(r.x.size()) - 1;
  const double perF0 = 1 / f0;
  for (int64_t k = 1; k < N;) {
    const auto at = static_cast<size_t>(j);
    const double exponent = j < 0 || j == last ? 0.0 : f0 * r.rise[at] * lambda_;
    if (j == last) {
      runs_.push_back({static_cast<int32_t>(k), exponent});
      break;
    }
    // The first partial on the next stretch: a guess, then the frequencies themselves decide.
    const double edge = r.x[static_cast<size_t>(j + 1)];
    const double guess = edge * perF0 + offset;
    int64_t next = !(guess < N) ? N + 1 : std::max<int64_t>(k + 1, static_cast<int64_t>(guess) + 1);
    while (next > k + 1 && x(next - 1) >= edge) --next;
    while (next <= N && x(next) < edge) ++next;
    if (next - 2 >= k) runs_.push_back({static_cast<int32_t>(k), exponent});
    if (next > N) break;
    const int64_t crossing = next - 1;
    int64_t to = j + 1;
    while (to < last && r.x[static_cast<size_t>(to + 1)] <= x(next)) ++to;
    runs_.push_back(
        {static_cast<int32_t>(crossing), (r.on(to, x(next)) - r.on(j, x(crossing))) * lambda_});
    k = next;
    j = to;
  }
}

void PolynomialPartials::exponentiate(size_t runsFrom, double* firsts, size_t count) {
  exps_.resize(runs_.size() - runsFrom);
  for (size_t i = runsFrom; i < runs_.size(); ++i) exps_[i - runsFrom] = runs_[i].ratio;
  kernels_.exp(exps_.data(), exps_.data(), static_cast<int32_t>(exps_.size()));
  for (size_t i = runsFrom; i < runs_.size(); ++i) runs_[i].ratio = exps_[i - runsFrom];
  kernels_.exp(firsts, firsts, static_cast<int32_t>(count));
}

void PolynomialPartials::flush(int64_t left) {
  const size_t n = pending_.size();
  if (n == 0) return;
  int32_t most = 0;
  for (const Sample& s : pending_) most = std::max(most, s.N);
  bool rows = false;
  row_factors(rows);
  if (most > built_) build(most);
  re_.resize(2 * n);
  im_.resize(2 * n);
  take_steady(left, rows);
  take_direct(rows);
  for (size_t i = 0; i < n; ++i) {
    const Sample& s = pending_[i];
    double sum = s.harmonicScale * im_[2 * i];
    if (rows) sum += rowRe_[i] * im_[2 * i + 1] + rowIm_[i] * re_[2 * i + 1];
    *s.target += sum;
  }
  pending_.clear();
}

void PolynomialPartials::take_steady(int64_t left, bool rows) {
  const size_t n = pending_.size();
  tabled_.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const Sample& s = pending_[i];
    if (!same_bits(s.f0, steadyF0_) || s.N != steadyN_) {
      steadyF0_ = s.f0;
      steadyN_ = s.N;
      steady_ = 0;
      steadyPoints_ = -1;
    }
    // Looking for the points costs a little: only for a fundamental that stays a while.
    if (++steady_ == 16) steadyPoints_ = s.N > 0 ? PeriodicTable::points(s.f0, fs_) : 0;
    bool fits = table_.built() && same_bits(tableF0_, s.f0) && tableN_ == s.N &&
                tableVersion_ == version_ && tableRows_ == rows;
    // A table costs about as much as five samples per point; it is built once the
    // stretch has lasted two turns of points and the voice has enough samples left to
    // repay it. The samples gathered for the table before are looked up in it first.
    const int64_t p = steadyPoints_;
    const int64_t after = left + static_cast<int64_t>(n - 1 - i);
    if (!fits && p > 0 && steady_ >= 2 * p && after >= 5 * p) {
      look_up(rows);
      tabulate(s, rows);
      fits = true;
    }
    if (fits) lookups_.push_back(i);
  }
  look_up(rows);
}

// The samples gathered for the table, from it where they lie near enough a point.
void PolynomialPartials::look_up(bool rows) {
  const size_t n = lookups_.size();
  if (n == 0) return;
  phis_.resize(n);
  for (size_t i = 0; i < n; ++i) phis_[i] = pending_[lookups_[i]].phi;
  near_.resize(n);
  const double* sums = table_.sums(phis_.data(), static_cast<int32_t>(n), near_.data());
  for (size_t i = 0; i < n; ++i, sums += 4) {
    if (!near_[i]) continue;
    const size_t at = lookups_[i];
    re_[2 * at] = sums[0], im_[2 * at] = sums[1];
    if (rows) re_[2 * at + 1] = sums[2], im_[2 * at + 1] = sums[3];
    tabled_[at] = 1;
  }
  lookups_.clear();
}

void PolynomialPartials::tabulate(const Sample& s, bool rows) {
  runs_.clear();
  double first[2] = {0, 0};
  runs(s.f0, s.N, false, first[0]);
  const auto split = static_cast<int32_t>(runs_.size());
  if (rows) runs(s.f0, s.N, true, first[1]);
  const auto end = static_cast<int32_t>(runs_.size());
  exponentiate(0, first, 2);
  const PeriodicTable::Polynomial polynomials[2] = {
      {hr_.data(), hi_.data(), first[0], runs_.data(), split},
      {sr_.data(), si_.data(), first[1], runs_.data() + split, end - split}};
  table_.build(kernels_, polynomials, rows ? 2 : 1, s.N, steadyPoints_);
  tableF0_ = s.f0;
  tableN_ = s.N;
  tableVersion_ = version_;
  tableRows_ = rows;
}

void PolynomialPartials::take_direct(bool rows) {
  direct_.clear();
  for (size_t i = 0; i < pending_.size(); ++i)
    if (!tabled_[i]) direct_.push_back(i);
  const size_t n = direct_.size();
  if (n == 0) return;
  runs_.clear();
  runAt_.assign(2 * n + 1, 0);
  firsts_.assign(2 * n, 0);
  phis_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const Sample& s = pending_[direct_[i]];
    phis_[i] = s.phi;
    runAt_[2 * i] = static_cast<int32_t>(runs_.size());
    runs(s.f0, s.N, false, firsts_[2 * i]);
    runAt_[2 * i + 1] = static_cast<int32_t>(runs_.size());
    if (rows) runs(s.f0, s.N, true, firsts_[2 * i + 1]);
  }
  runAt_[2 * n] = static_cast<int32_t>(runs_.size());
  exponentiate(0, firsts_.data(), firsts_.size());
  zr_.resize(n);
  zi_.resize(n);
  kernels_.sincos(phis_.data(), zi_.data(), zr_.data(), static_cast<int32_t>(n));
  // Sixteen samples' harmonics' lanes, then their rows': a pass of the kernel takes
  // sixteen lanes, whose runs change at nearly the same partials when they are all of one
  // kind, so that it seldom has to stop and set the multipliers anew.
  lanes_.clear();
  const int parts = rows ? 2 : 1;
  for (size_t at = 0; at < n; at += kLaneBlock) {
    for (int part = 0; part < parts; ++part) {
      for (size_t i = at; i < at + kLaneBlock; ++i) {
        PolyLane lane;
        lane.re = part == 0 ? hr_.data() : sr_.data();
        lane.im = part == 0 ? hi_.data() : si_.data();
        if (i < n) {
          const size_t r = 2 * i + static_cast<size_t>(part);
          lane.zr = zr_[i];
          lane.zi = zi_[i];
          lane.first = firsts_[r];
          lane.runs = runs_.data() + runAt_[r];
          lane.runCount = runAt_[r + 1] - runAt_[r];
          lane.count = std::max(pending_[direct_[i]].N, 0);
        }
        lanes_.push_back(lane);
      }
    }
  }
  laneRe_.resize(lanes_.size());
  laneIm_.resize(lanes_.size());
  kernels_.evaluate(lanes_.data(), static_cast<int32_t>(lanes_.size()), laneRe_.data(),
                    laneIm_.data());
  for (size_t i = 0; i < n; ++i) {
    const size_t h = i / kLaneBlock * kLaneBlock * static_cast<size_t>(parts) + i % kLaneBlock;
    re_[2 * direct_[i]] = laneRe_[h], im_[2 * direct_[i]] = laneIm_[h];
    if (rows)
      re_[2 * direct_[i] + 1] = laneRe_[h + kLaneBlock],
                           im_[2 * direct_[i] + 1] = laneIm_[h + kLaneBlock];
  }
}

}  // namespace vocanta
