#include "core/model/diagram_grid.h"

#include <gtest/gtest.h>

namespace vocanta {
namespace {

TEST(NiceStep, TheGridTakesTheNearestAndTheScalesTheNextUp) {
  struct Case {
    double v, nearest, up;
  };
  // The nearest on a logarithmic scale turns at the square roots of 2, 10 and 50.
  const Case cases[] = {
      {1, 1, 1},     {1.4, 1, 2},        {1.5, 2, 2},     {2, 2, 2},
      {3.1, 2, 5},   {3.2, 5, 5},        {5, 5, 5},       {7, 5, 10},
      {7.1, 10, 10}, {0.03, 0.02, 0.05}, {250, 200, 500}, {0.0001, 0.0001, 0.0001},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(nice_step(c.v), c.nearest) << c.v;
    EXPECT_DOUBLE_EQ(nice_step(c.v, StepRounding::Up), c.up) << c.v;
  }
  EXPECT_EQ(nice_step(0), 0);
  EXPECT_EQ(nice_step(0, StepRounding::Up), 0);
}

}  // namespace
}  // namespace vocanta
