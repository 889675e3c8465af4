#include "core/synthesis/polynomial_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "core/synthesis/turn_point.h"

namespace vocanta {
namespace {

using Complex = std::complex<long double>;

// Sum of c(k) rho(k) z^k for k = 1..count, term by term in long double.
Complex direct_sum(const PolyLane& lane, long double* scale) {
  Complex sum = 0, z(lane.zr, lane.zi), power = 1;
  long double rho = lane.first;
  *scale = 0;
  for (int32_t k = 1; k <= lane.count; ++k) {
    power *= z;
    if (k > 1) {
      long double ratio = 1;
      for (int32_t r = 0; r < lane.runCount; ++r)
        if (lane.runs[r].from <= k - 1) ratio = lane.runs[r].ratio;
      rho *= ratio;
    }
    const Complex c(lane.re[k - 1], lane.im[k - 1]);
    sum += c * rho * power;
    *scale += std::abs(c) * rho;
  }
  return sum;
}

// Lanes of every count from none to 300, some with a frequency response in runs, not a
// multiple of the vector width: both kernels give the sums to 1e-13 of their partials.
TEST(PolynomialKernels, BothKernelsSumEveryLaneAsWritten) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> unit(-1, 1);
  const int32_t most = 300;
  std::vector<double> re(most), im(most);
  for (int32_t k = 0; k < most; ++k) re[k] = unit(rng), im[k] = unit(rng);
  const std::vector<RatioRun> runs = {{1, 0.999}, {40, 1.2}, {41, 0.97}, {200, 1.001}};
  std::vector<PolyLane> lanes;
  for (int32_t l = 0; l < 37; ++l) {
    const double phi = unit(rng) * 1000;
    PolyLane lane{re.data(),           im.data(),
                  std::cos(phi),       std::sin(phi),
                  0.5 + unit(rng) / 4, l % 3 ? runs.data() : nullptr,
                  l % 3 ? 4 : 0,       (l * 37) % (most + 1)};
    lanes.push_back(lane);
  }
  for (const PolynomialKernels* kernels : {&polynomial_kernels(), &scalar_polynomial_kernels()}) {
    std::vector<double> r(lanes.size()), i(lanes.size());
    kernels->evaluate(lanes.data(), static_cast<int32_t>(lanes.size()), r.data(), i.data());
    for (size_t l = 0; l < lanes.size(); ++l) {
      long double scale = 0;
      const Complex want = direct_sum(lanes[l], &scale);
      EXPECT_LE(std::abs(Complex(r[l], i[l]) - want), 1e-13L * scale + 1e-300L)
          << kernels->name << " lane " << l << " of " << lanes[l].count << " partials";
    }
  }
}

// Phases near the points of a table and far from them, of many turns: both kernels find
// the same points and give the Taylor polynomial of the distance.
TEST(PolynomialKernels, BothKernelsLookTheSamePhasesUpInATurnTable) {
  constexpr int kPoints = 7, kSize = TurnTable::kTerms * TurnTable::kChannels;
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::vector<double> values(kPoints * kSize);
  for (double& v : values) v = unit(rng);
  const double twoPi = 2 * std::numbers::pi;
  TurnTable t;
  t.values = values.data();
  t.points = kPoints;
  t.mostPhase = 4e8;
  t.perTurn = 1 / twoPi;
  t.turn[0] = twoPi;
  t.perStep = kPoints / twoPi;
  t.step[0] = twoPi / kPoints;
  // Distances up to 0.05 from a point make every term of the Taylor polynomial count.
  t.partials = 1;
  t.farthest = 0.2;
  std::vector<double> phi;
  for (int i = 0; i < 61; ++i) {
    const double offset = i % 5 == 4 ? 0.3 : 0.05 * unit(rng);  // every fifth too far
    phi.push_back((i * 13 % kPoints) * twoPi / kPoints + (i - 30) * twoPi + offset);
  }
  phi.push_back(1e9);  // beyond the phases a table takes
  const auto n = static_cast<int32_t>(phi.size());
  for (const PolynomialKernels* kernels : {&polynomial_kernels(), &scalar_polynomial_kernels()}) {
    std::vector<double> sums(4 * phi.size());
    std::vector<unsigned char> ok(phi.size());
    kernels->turn_sums(t, phi.data(), n, sums.data(), ok.data());
    for (int32_t i = 0; i < n; ++i) {
      const turn::Point at = turn::point(t, phi[i]);
      ASSERT_EQ(ok[i] != 0, at.near) << kernels->name << " phase " << phi[i];
      EXPECT_EQ(at.near, i < 61 && i % 5 != 4) << phi[i];
      if (!at.near) continue;
      EXPECT_EQ(at.index, i * 13 % kPoints);
      for (int c = 0; c < 4; ++c) {
        long double want = 0;
        for (int k = TurnTable::kTerms - 1; k >= 0; --k)
          want = want * at.distance + values[at.index * kSize + k * 4 + c];
        EXPECT_NEAR(sums[4 * i + c], static_cast<double>(want), 1e-14) << kernels->name;
      }
    }
  }
}

}  // namespace
}  // namespace vocanta
