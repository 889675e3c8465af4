#include "core/model/curve_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/model/model_observer.h"
#include "core/support/same_bits.h"
#include "test_support.h"

namespace vocanta {
namespace {

class CurveStateTest : public ::testing::Test {
 protected:
  CurveStateTest() {
    w.defaultValue = -7;
    w.events = &events;
    w.index = 4;
  }
  TCurvePoint* add(int16_t n, double x, double y) { return add_point(w, 0, n, x, y, y, 0); }
  // The value an evaluation without any history gives.
  double fresh(int16_t n, double x) {
    w.evalCurve = nullptr;
    w.evalPoint = nullptr;
    return curve_value(w, n, x);
  }

  ModelEvents events;
  testing::ChangeLog log{events};
  CurveState w;
};

TEST_F(CurveStateTest, DefaultWhereNoCurveOrPointApplies) {
  EXPECT_EQ(curve_value(w, 1, 0.5), -7);
  EXPECT_EQ(curve_value(w, 0, 0.5), -7);
  EXPECT_EQ(w.evalPoint, nullptr);

  add(1, 1, 4);
  add(2, 1, 5);
  for (int16_t n : {0, -1, 3, 32767, -32768}) {
    EXPECT_EQ(curve_value(w, n, 1), -7) << n;
    EXPECT_EQ(w.evalCurve, nullptr);
    EXPECT_EQ(w.evalPoint, nullptr);
  }
  // A single point holds its value everywhere.
  EXPECT_EQ(curve_value(w, 2, -100), 5);
  EXPECT_EQ(curve_value(w, 2, 100), 5);
  EXPECT_EQ(curve_count(w), 2);

  // An empty curve stays at the default until its first point arrives.
  TCurve* k = new_curve(w);
  EXPECT_EQ(curve_value(w, 3, 1), -7);
  add(3, 1, 9);
  EXPECT_EQ(k->point_count(), 1);
  EXPECT_EQ(curve_value(w, 3, 1), 9);
}

TEST_F(CurveStateTest, PiecewiseLinearWhicheverWayXRuns) {
  add(1, 0, 1);
  add(1, 1, 3);
  add(1, 3, -1);
  const double xs[] = {-1, 0, 0.5, 1, 2, 2.5, 3, 4};
  const double expected[] = {1, 1, 2, 3, 1, 0, -1, -1};
  for (int i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(curve_value(w, 1, xs[i]), expected[i]) << xs[i];
  for (int i = 7; i >= 0; --i) EXPECT_DOUBLE_EQ(curve_value(w, 1, xs[i]), expected[i]) << xs[i];
}

TEST_F(CurveStateTest, SharedXStepsByTheDirectionOfThePreviousEvaluation) {
  // B is added first: a new point at an existing x goes before the old one, so A leads.
  add(1, 0, 0);
  add(1, 1, 20);  // B
  add(1, 1, 10);  // A
  add(1, 2, 30);
  EXPECT_EQ(fresh(1, 1), 10);
  EXPECT_NEAR(curve_value(w, 1, 0.99), 9.9, 1e-9);
  EXPECT_NEAR(curve_value(w, 1, 1.01), 20.1, 1e-9);
  EXPECT_EQ(curve_value(w, 1, 1), 20);  // the walk back stops at B
  curve_value(w, 1, 0.5);
  EXPECT_EQ(curve_value(w, 1, 1), 10);

  // The same with the pair at the start of the curve.
  add(2, 1, 20);
  add(2, 1, 10);
  add(2, 2, 30);
  EXPECT_EQ(fresh(2, 1), 10);
  curve_value(w, 2, 1.5);
  EXPECT_EQ(curve_value(w, 2, 1), 20);
  curve_value(w, 2, 0);
  EXPECT_EQ(curve_value(w, 2, 1), 10);

  // Another curve number in between starts the walk over at the curve's first point.
  curve_value(w, 2, 1.5);
  curve_value(w, 1, 1.5);
  EXPECT_EQ(curve_value(w, 2, 1), 10);
  EXPECT_EQ(w.evalCurve, w.curves->next);
}

TEST_F(CurveStateTest, ValuesOfABlockAreThoseOfOneEvaluationEach) {
  // Steps at x the block meets exactly, a stretch ending on one of its x, a point before
  // and after all of them, and curve 2 of a single point; the default for a missing curve.
  add(1, -0.5, 3);
  add(1, 1, 20);
  add(1, 1, 10);
  add(1, 2.25, -4);
  add(1, 2.25, 7);
  add(1, 3, 0.1);
  add(1, 4.5, 1e6);
  add(2, 1.3, 9);
  std::vector<double> x;
  for (int i = -8; i <= 44; ++i) x.push_back(i / 8.0);
  for (const int16_t n : {1, 2, 3})
    for (const double from : {-10.0, 1.0, 2.25, 100.0})
      for (const size_t len : {size_t{1}, size_t{7}, x.size()}) {
        // Each start: a cursor walked from `from`, as a block may find the one before.
        CurveCursor one, block;
        curve_value(w, one, n, from);
        curve_value(w, block, n, from);
        std::vector<double> expected, got(len);
        for (size_t i = 0; i < len; ++i) expected.push_back(curve_value(w, one, n, x[i]));
        const size_t written = curve_values(w, block, n, x.data(), len, got.data());
        ASSERT_GE(written, 1u);
        ASSERT_LE(written, len);
        std::fill(got.begin() + static_cast<std::ptrdiff_t>(written), got.end(), got[written - 1]);
        for (size_t i = 0; i < len; ++i)
          EXPECT_TRUE(same_bits(got[i], expected[i]))
              << "curve " << n << " from " << from << " x " << x[i] << ": " << got[i]
              << " instead of " << expected[i];
        EXPECT_EQ(block.point, one.point) << "curve " << n << " from " << from;
        EXPECT_EQ(block.curve, one.curve);
      }
}

TEST_F(CurveStateTest, AnOwnCursorLeavesTheCacheAndLetsGoOfWhatIsDeleted) {
  add(1, 0, 0);
  TCurvePoint* b = add(1, 1, 10);
  add(1, 2, 30);
  TCurvePoint* only = add(2, 0, 5);
  curve_value(w, 1, 0.5);
  const TCurvePoint* cached = w.evalPoint;
  CurveCursor c;
  EXPECT_DOUBLE_EQ(curve_value(std::as_const(w), c, 1, 1.5), 20);
  EXPECT_EQ(c.point, b);
  EXPECT_EQ(w.evalPoint, cached);
  keep_cursor_valid(w, c);
  EXPECT_EQ(c.point, b);

  w.currentCurve = w.curves;
  delete_point(w, b);
  keep_cursor_valid(w, c);
  EXPECT_EQ(c.curve, w.curves);
  EXPECT_EQ(c.point, nullptr);
  EXPECT_DOUBLE_EQ(curve_value(w, c, 1, 1.5), 22.5);

  curve_value(w, c, 2, 0);
  w.currentCurve = w.curves->next;
  delete_point(w, only);  // and with it curve 2
  keep_cursor_valid(w, c);
  EXPECT_EQ(c.curve, nullptr);
  EXPECT_EQ(c.point, nullptr);
}

TEST_F(CurveStateTest, AddPointBuildsCurvesInOrderAndMarksTheDocument) {
  TCurvePoint* first = add(1, 2, 1);
  ASSERT_EQ(log.changes.size(), 1u);
  EXPECT_EQ(log.changes[0].kind, ModelChange::Kind::Curves);
  EXPECT_EQ(log.changes[0].index, 4);
  EXPECT_TRUE(log.modified());
  ASSERT_NE(w.curves, nullptr);
  EXPECT_EQ(w.curves->number, 1);
  EXPECT_EQ(w.curves->points, first);

  log.changes.clear();
  TCurvePoint* second = add_point(w, 12, 2, 5, 6, 7, 8);
  EXPECT_TRUE(log.modified());
  TCurve* k2 = w.curves->next;
  ASSERT_NE(k2, nullptr);
  EXPECT_EQ(k2->number, 2);
  EXPECT_EQ(k2->prev, w.curves);
  EXPECT_EQ(k2->points, second);
  EXPECT_EQ(second->batch, 12);

  TCurvePoint* before = add(1, 1, 2);
  EXPECT_EQ(w.curves->points, before);
  EXPECT_EQ(before->next, first);
  EXPECT_EQ(curve_count(w), 2);
}

TEST_F(CurveStateTest, DeletingTheLastPointOfACurveDropsAndRenumbers) {
  TCurvePoint* only = add(1, 0, 1);
  TCurvePoint* a = add(2, 0, 2);
  TCurvePoint* b = add(2, 1, 4);
  TCurvePoint* c = add(2, 2, 6);
  TCurve* second = w.curves->next;

  // A middle point first: the curve stays and the cache lets go of the freed point.
  w.currentCurve = second;
  w.selectedPoint = b;
  EXPECT_DOUBLE_EQ(curve_value(w, 2, 1.5), 5);
  delete_point(w, b);
  EXPECT_EQ(w.selectedPoint, nullptr);
  EXPECT_EQ(w.evalPoint, nullptr);
  EXPECT_EQ(w.currentCurve, second);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->prev, a);
  EXPECT_DOUBLE_EQ(curve_value(w, 2, 1), 4);

  w.currentCurve = w.curves;
  w.selectedPoint = only;
  curve_value(w, 1, 0);
  delete_point(w, only);
  EXPECT_EQ(curve_count(w), 1);
  EXPECT_EQ(w.curves, second);
  EXPECT_EQ(second->number, 1);
  EXPECT_EQ(second->prev, nullptr);
  EXPECT_EQ(w.currentCurve, nullptr);
  EXPECT_EQ(w.evalCurve, nullptr);
  EXPECT_EQ(w.evalPoint, nullptr);
  EXPECT_DOUBLE_EQ(curve_value(w, 1, 1), 4);
  EXPECT_EQ(curve_value(w, 2, 1), -7);

  // The first point of a curve that keeps others.
  w.currentCurve = second;
  delete_point(w, a);
  EXPECT_EQ(second->points, c);
  EXPECT_EQ(c->prev, nullptr);
}

TEST_F(CurveStateTest, NewCurveAppendsTheNextNumberAndBecomesCurrent) {
  TCurve* k1 = new_curve(w);
  EXPECT_EQ(k1->number, 1);
  EXPECT_EQ(w.curves, k1);
  EXPECT_EQ(curve_value(w, 1, 0), -7);
  add(1, 0, 1);
  add(2, 0, 2);
  add(3, 0, 3);
  curve_value(w, 3, 0);
  TCurve* k4 = new_curve(w);
  EXPECT_EQ(k4->number, 4);
  EXPECT_EQ(w.currentCurve, k4);
  EXPECT_EQ(k4->prev->number, 3);
  EXPECT_EQ(curve_count(w), 4);
  EXPECT_EQ(curve_value(w, 4, 0), -7);
  EXPECT_EQ(curve_value(w, 3, 0), 3);

  clear_curves(w);
  EXPECT_EQ(w.curves, nullptr);
  EXPECT_EQ(w.currentCurve, nullptr);
  EXPECT_EQ(w.evalCurve, nullptr);
  EXPECT_EQ(curve_count(w), 0);
  EXPECT_EQ(curve_value(w, 1, 0), -7);
}

TEST_F(CurveStateTest, StripBatchClearsOnlyThatBatch) {
  TCurvePoint* plain = add_point(w, 0, 1, 0, 1, 2, 3);
  TCurvePoint* mine = add_point(w, 7, 1, 1, 1, 2, 3);
  TCurvePoint* other = add_point(w, 9, 2, 1, 1, 2, 3);
  mine->hitHandle = PointHandle::BatchEnd;
  EXPECT_FALSE(uses_batch(w, 0));
  EXPECT_TRUE(uses_batch(w, 7));
  EXPECT_TRUE(uses_batch(w, 9));
  EXPECT_FALSE(uses_batch(w, 8));

  log.changes.clear();
  for (int16_t absent : {8, 0}) {
    strip_batch(w, absent);
    EXPECT_EQ(plain->batchY, 2);
    EXPECT_EQ(mine->batch, 7);
  }
  // The windows show the selected point again, but nothing of the document changed.
  EXPECT_EQ(log.count(ModelChange::Kind::Curves), 2);
  EXPECT_FALSE(log.modified());

  strip_batch(w, 7);
  EXPECT_EQ(log.count(ModelChange::Kind::Curves), 3);
  EXPECT_EQ(mine->batch, 0);
  EXPECT_EQ(mine->batchY, 0);
  EXPECT_EQ(mine->batchRange, 0);
  EXPECT_EQ(mine->hitHandle, PointHandle::None);
  EXPECT_EQ(mine->y, 1);
  EXPECT_EQ(other->batch, 9);
  EXPECT_EQ(other->batchRange, 3);
  EXPECT_FALSE(uses_batch(w, 7));
}

}  // namespace
}  // namespace vocanta
