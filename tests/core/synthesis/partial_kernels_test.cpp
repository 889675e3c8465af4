#include "core/synthesis/partial_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vocanta {
namespace {

// The vector forms against the C library, over the arguments a voice gives them: sines
// of partials up to minutes into a voice, and exponents of levels in dB.
TEST(PartialKernels, VectorFormsStayWithinAFewUnitsOfTheLastPlace) {
  const PartialKernels& fast = partial_kernels();
  const PartialKernels& plain = scalar_partial_kernels();
  std::mt19937_64 rng(7);
  std::vector<double> x(20011), y(x.size()), z(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const double scale = std::pow(10.0, static_cast<double>(i % 10));  // up to 1e9
    x[i] = std::uniform_real_distribution<>(-scale, scale)(rng);
  }
  x[0] = 0;
  x[1] = std::nextafter(M_PI_2 * 1e6, 0.0);
  x[2] = M_PI * 3;
  fast.sine(x.data(), y.data(), static_cast<int32_t>(x.size()));
  double worst = 0;
  for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::fabs(y[i] - std::sin(x[i])));
  EXPECT_LE(worst, 4 * 0x1p-52) << fast.name;

  for (size_t i = 0; i < x.size(); ++i) x[i] = std::uniform_real_distribution<>(-30, 3)(rng);
  fast.exp(x.data(), y.data(), static_cast<int32_t>(x.size()));
  plain.exp(x.data(), z.data(), static_cast<int32_t>(x.size()));
  for (size_t i = 0; i < x.size(); ++i) ASSERT_LE(std::fabs(y[i] - z[i]), 2 * 0x1p-52 * z[i]);

  // Interpolation is exact: the same operations on the same operands.
  const CurveSegment s{100, 2500, -3, 12};
  for (size_t i = 0; i < x.size(); ++i) x[i] = std::uniform_real_distribution<>(0, 2500)(rng);
  fast.interpolate(x.data(), y.data(), 1001, s);
  plain.interpolate(x.data(), z.data(), 1001, s);
  for (size_t i = 0; i < 1001; ++i) ASSERT_EQ(y[i], z[i]) << x[i];
}

}  // namespace
}  // namespace vocanta
