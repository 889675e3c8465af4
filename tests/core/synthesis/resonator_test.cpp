#include "core/synthesis/resonator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/model/voice.h"
#include "core/support/same_bits.h"
#include "core/synthesis/render_curves.h"
#include "core/synthesis/voice_filters.h"

namespace vocanta {
namespace {

constexpr double kFs = 16000;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Resonator, SettlesOnAConstantInputWithUnitGain) {
  for (const double input : {1.0, -3.5}) {
    Resonator r;
    r.set(500, 100, kFs);
    EXPECT_DOUBLE_EQ(r.a0 + r.a1 + r.a2, 1);
    double y = 0;
    for (int i = 0; i < 4000; ++i) y = r.step(input);
    EXPECT_NEAR(y, input, 1e-9);
  }
}

class FilterTest : public ::testing::Test {
 protected:
  FilterTest() { reset_to_new(voice); }
  TCurvePoint* constant(int index, double y, int16_t curve = 1) {
    return voice.add_point(index, "", curve, 0, y, 0, 0);
  }
  // The flutter of noise u at time 0, its frequency and Q read from the curves.
  double apply(FlutterFilter& flutter, double u) {
    return flutter.apply(curves.value(param::kFlutterFrequency, 1, 0),
                         curves.value(param::kFlutterQ, 1, 0), u, kFs);
  }
  Voice voice;
  RenderCurves curves{voice};
};

TEST_F(FilterTest, FlutterDefaultCoefficients) {
  FlutterFilter flutter;
  const double out = apply(flutter, 0.25);
  const Resonator& r = flutter.resonator();
  EXPECT_NEAR(r.a1, 1.9977770, 5e-8);
  EXPECT_NEAR(r.a2, -0.9977807, 5e-8);
  EXPECT_NEAR(r.a0, 3.697e-6, 5e-10);
  const double bandwidth = -std::log(-r.a2) * kFs / (2 * std::numbers::pi);
  EXPECT_NEAR(bandwidth, 5.6577, 5e-5);
  EXPECT_DOUBLE_EQ(out, r.a0 * 0.25);
}

TEST_F(FilterTest, FlutterAtZeroHertzStaysSilent) {
  constant(param::kFlutterFrequency, 0);
  FlutterFilter flutter;
  for (const double u : {0.5, -0.5, 0.3}) EXPECT_EQ(apply(flutter, u), 0);
  EXPECT_EQ(flutter.resonator().a0, 0);
  EXPECT_EQ(flutter.resonator().a1, 2);
  EXPECT_EQ(flutter.resonator().a2, -1);
}

TEST_F(FilterTest, FlutterWithoutUsableBandwidthFallsSilentAndKeepsItsMemory) {
  TCurvePoint* q = constant(param::kFlutterQ, 0.707);
  TCurvePoint* f = constant(param::kFlutterFrequency, 4);
  FlutterFilter flutter;
  for (int i = 0; i < 5; ++i) apply(flutter, 0.5);
  const Resonator before = flutter.resonator();
  ASSERT_NE(before.y1, 0);

  for (const double badQ : {0.0, -1.0}) {
    q->y = badQ;
    EXPECT_EQ(apply(flutter, 0.5), 0) << "Q " << badQ;
  }
  q->y = 0.707;
  f->y = -4;
  EXPECT_EQ(apply(flutter, 0.5), 0);
  EXPECT_EQ(flutter.resonator().y1, before.y1);
  EXPECT_EQ(flutter.resonator().y2, before.y2);

  // It goes on from where it fell silent.
  f->y = 4;
  const double out = apply(flutter, 0.5);
  const Resonator& r = flutter.resonator();
  EXPECT_DOUBLE_EQ(out, r.a0 * 0.5 + r.a1 * before.y1 + r.a2 * before.y2);
}

TEST_F(FilterTest, FormantsPassTheSampleThroughWithoutACurve) {
  FormantCascade formants;
  for (const double s : {1234.5, -0.25, 0.0}) EXPECT_EQ(formants.apply(curves, s, 0, kFs), s);
}

TEST_F(FilterTest, FormantsCascadeInCurveOrder) {
  constant(param::kFormants, 500, 1);
  constant(param::kFormants, 1500, 2);
  constant(param::kFormantFactor, 2);
  // The bandwidth is read at the formant's frequency: 150 Hz at 1000, 350 Hz at 3000.
  voice.add_point(param::kFormantBandwidth, "", 1, 0, 50, 0, 0);
  voice.add_point(param::kFormantBandwidth, "", 1, 4000, 450, 0, 0);
  FormantCascade formants;
  const double out = formants.apply(curves, 1, 0.5, kFs);

  Resonator r1, r2;
  r1.set(1000, 150, kFs);
  r2.set(3000, 350, kFs);
  EXPECT_DOUBLE_EQ(formants.resonator(1).a1, r1.a1);
  EXPECT_DOUBLE_EQ(formants.resonator(2).a1, r2.a1);
  EXPECT_DOUBLE_EQ(formants.resonator(1).y1, r1.a0);
  EXPECT_DOUBLE_EQ(formants.resonator(2).y1, r2.a0 * r1.a0);
  EXPECT_EQ(out, formants.resonator(2).y1);
}

TEST_F(FilterTest, AStretchOfSteadyFormantsRunsAsSampleAfterSample) {
  // Three formants, as the loop for a few takes them, then twelve, as the general one.
  std::vector<double> f;
  for (const int count : {3, 12}) {
    while (static_cast<int>(f.size()) < count) {
      f.push_back(500.0 * static_cast<double>(f.size() + 1) + 200);
      constant(param::kFormants, f.back(), static_cast<int16_t>(f.size()));
    }
    FormantCascade one, block;
    for (FormantCascade* c : {&one, &block}) {
      c->remember_tuning(true);
      EXPECT_FALSE(c->tuned_for(count));
      c->apply(curves, 0.5, 0, kFs);
      EXPECT_TRUE(c->tuned_for(count));
      EXPECT_FALSE(c->tuned_for(count - 1));
    }
    // An overflow on the way starts the resonators afresh in both.
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> s = {1e4, -2e4, 3.5, inf, 1e308, -7, 0.25, 9e3};
    std::vector<double> expected;
    for (const double x : s) expected.push_back(one.apply(curves, f.data(), count, x, kFs, true));
    block.run(s.data(), s.size());
    for (size_t i = 0; i < s.size(); ++i)
      EXPECT_TRUE(same_bits(s[i], expected[i]))
          << count << " formants, sample " << i << ": " << s[i] << " instead of " << expected[i];
    for (int i = 1; i <= count; ++i)
      EXPECT_TRUE(same_bits(block.resonator(i).y1, one.resonator(i).y1)) << i;
  }
}

TEST_F(FilterTest, FormantsBeyondThe32ndAreNotHeard) {
  Voice first32;
  reset_to_new(first32);
  for (int16_t i = 1; i <= 40; ++i) {
    constant(param::kFormants, 100.0 * i, i);
    if (i <= 32) first32.add_point(param::kFormants, "", i, 0, 100.0 * i, 0, 0);
  }
  RenderCurves curves32(first32);
  FormantCascade all, expected;
  for (int i = 0; i < 50; ++i) {
    const double s = 1000 * std::sin(i);
    ASSERT_EQ(all.apply(curves, s, 0, kFs), expected.apply(curves32, s, 0, kFs)) << i;
  }
}

TEST_F(FilterTest, FormantsGuardAgainstUnusableValues) {
  TCurvePoint* f = constant(param::kFormants, 500);
  TCurvePoint* bandwidth = constant(param::kFormantBandwidth, -10);
  FormantCascade formants;
  for (const double s : {300.0, -7.0}) EXPECT_EQ(formants.apply(curves, s, 0, kFs), s);
  bandwidth->y = 100;
  f->y = kInf;
  EXPECT_EQ(formants.apply(curves, 42, 0, kFs), 42);

  // An infinite sample must not leave infinities in the memory for the samples after it.
  f->y = 500;
  formants.apply(curves, kInf, 0, kFs);
  EXPECT_EQ(formants.resonator(1).y1, 0);
  EXPECT_DOUBLE_EQ(formants.apply(curves, 1, 0, kFs), formants.resonator(1).a0);
}

}  // namespace
}  // namespace vocanta
