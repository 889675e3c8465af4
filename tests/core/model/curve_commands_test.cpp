#include "core/model/curve_commands.h"

#include <gtest/gtest.h>

#include "core/model/voice.h"

namespace vocanta {
namespace {

constexpr int kF0 = param::kF0;

class CurveCommandsTest : public ::testing::Test {
 protected:
  CurveCommandsTest() { install_parameter_definitions(voice, '.'); }
  CurveState& w() { return voice.parameter(kF0).state; }
  void run(std::unique_ptr<EditCommand> c, uint64_t group = 0) {
    c->apply(voice);
    history.push(std::move(c), group);
  }
  std::unique_ptr<TCurvePoint> point(double x, double y) {
    auto p = std::make_unique<TCurvePoint>();
    p->x = x;
    p->y = p->batchY = y;
    return p;
  }
  // Whether every point's backward link is the mirror of the forward one.
  bool links_agree() {
    for (const TCurve* k = w().curves; k; k = k->next) {
      const TCurvePoint* prev = nullptr;
      for (const TCurvePoint* p = k->points; p; prev = p, p = p->next)
        if (p->prev != prev) return false;
    }
    return true;
  }
  // Curve numbers and the x of their points in list order, e.g. "1:0,2 3:5".
  std::string layout() {
    std::string s;
    for (const TCurve* k = w().curves; k; k = k->next) {
      s += (s.empty() ? "" : " ") + std::to_string(k->number) + ":";
      for (const TCurvePoint* p = k->points; p; p = p->next)
        s += (p == k->points ? "" : ",") + std::to_string(static_cast<int>(p->y));
    }
    return s;
  }

  Voice voice;
  EditHistory history;
};

TEST_F(CurveCommandsTest, AnAddedPointIsTakenBackWithTheCurveMadeForItAndReturnsAsItself) {
  auto fresh = point(0.5, 150);
  TCurvePoint* p = fresh.get();
  run(std::make_unique<AddPointCommand>(kF0, std::move(fresh)));
  EXPECT_EQ(layout(), "1:150");
  EXPECT_EQ(w().selectedPoint, p);
  EXPECT_EQ(w().currentCurve, w().curves);

  curve_value(w(), 1, 0.5);  // the cache now holds the point
  history.undo(voice);
  EXPECT_EQ(w().curves, nullptr);
  EXPECT_EQ(w().selectedPoint, nullptr);
  EXPECT_EQ(w().currentCurve, nullptr);
  EXPECT_EQ(w().evalPoint, nullptr);
  history.redo(voice);
  EXPECT_EQ(w().curves->points, p);

  // With no current curve the next point goes to the first curve, before equal x.
  w().currentCurve = nullptr;
  run(std::make_unique<AddPointCommand>(kF0, point(0.5, 160)));
  EXPECT_EQ(layout(), "1:160,150");
  history.undo(voice);
  EXPECT_EQ(layout(), "1:150");
}

TEST_F(CurveCommandsTest, DeletingTheLastPointOfAMiddleCurveIsUndoneWithItsNumbers) {
  // Curves 1, 3 and 4, as a document may hold them.
  voice.add_point(kF0, "", 1, 0, 10, 10, 0);
  TCurvePoint* only = voice.add_point(kF0, "", 3, 0, 30, 30, 0);
  voice.add_point(kF0, "", 4, 0, 40, 40, 0);
  voice.add_point(kF0, "", 4, 1, 41, 41, 0);
  TCurve* middle = w().curves->next;
  w().selectedPoint = only;
  w().currentCurve = middle;

  run(std::make_unique<DeletePointCommand>(kF0, only));
  EXPECT_EQ(layout(), "1:10 2:40,41");
  EXPECT_EQ(w().selectedPoint, nullptr);
  EXPECT_EQ(w().currentCurve, nullptr);
  history.undo(voice);
  EXPECT_EQ(layout(), "1:10 3:30 4:40,41");
  EXPECT_EQ(w().curves->next, middle);
  EXPECT_EQ(middle->points, only);
  history.redo(voice);
  EXPECT_EQ(layout(), "1:10 2:40,41");

  // A point between others returns between them.
  history.undo(voice);
  TCurvePoint* inner = voice.add_point(kF0, "", 4, 0.5, 45, 45, 0);
  run(std::make_unique<DeletePointCommand>(kF0, inner));
  history.undo(voice);
  EXPECT_EQ(layout(), "1:10 3:30 4:40,45,41");
}

TEST_F(CurveCommandsTest, ADragIsOneStepAndItsSortIsUndoneToTheExactOrder) {
  TCurvePoint* a = voice.add_point(kF0, "", 1, 0, 1, 1, 0);
  voice.add_point(kF0, "", 1, 1, 2, 2, 0);
  voice.add_point(kF0, "", 1, 2, 3, 3, 0);
  const uint64_t drag = history.new_group();
  for (double x : {0.5, 1.5, 2.0}) {
    PointValues after = values_of(*a);
    after.x = x;
    run(std::make_unique<PointValuesCommand>(kF0, a, values_of(*a), after, "Move point"), drag);
  }
  ASSERT_TRUE(SortPointsCommand::needed(*w().curves));
  run(std::make_unique<SortPointsCommand>(kF0, w().curves), drag);
  // Stable: the moved point stays before the point it now shares x = 2 with.
  EXPECT_EQ(layout(), "1:2,1,3");
  EXPECT_FALSE(SortPointsCommand::needed(*w().curves));
  EXPECT_EQ(history.size(), 1u);
  EXPECT_EQ(history.undo_caption(), "Move point");

  EXPECT_TRUE(links_agree());

  history.undo(voice);
  EXPECT_EQ(layout(), "1:1,2,3");
  EXPECT_EQ(a->x, 0);
  // Stale links would send the deletion below round in circles.
  ASSERT_TRUE(links_agree());
  history.redo(voice);
  EXPECT_EQ(layout(), "1:2,1,3");
  EXPECT_EQ(a->x, 2);
  EXPECT_TRUE(links_agree());

  // A point unlinked through stale backward links would leave a neighbour pointing at it.
  history.undo(voice);
  run(std::make_unique<DeletePointCommand>(kF0, w().curves->points->next));
  EXPECT_EQ(layout(), "1:1,3");
  EXPECT_TRUE(links_agree());
  history.undo(voice);
  EXPECT_EQ(layout(), "1:1,2,3");
  EXPECT_TRUE(links_agree());
}

TEST_F(CurveCommandsTest, NewCurvesDefaultValuesAndMadeBatchesAreTakenBack) {
  voice.add_point(kF0, "", 1, 0, 1, 1, 0);
  run(std::make_unique<NewCurveCommand>(kF0));
  TCurve* made = w().currentCurve;
  EXPECT_EQ(made->number, 2);
  history.undo(voice);
  EXPECT_EQ(w().currentCurve, nullptr);
  EXPECT_EQ(layout(), "1:1");
  history.redo(voice);
  EXPECT_EQ(w().curves->next, made);
  EXPECT_EQ(w().currentCurve, made);

  const double before = w().defaultValue;
  run(std::make_unique<DefaultValueCommand>(kF0, before, 220));
  history.undo(voice);
  EXPECT_EQ(w().defaultValue, before);

  auto get = std::make_unique<GetBatchCommand>("Batch 1");
  GetBatchCommand* batch = get.get();
  run(std::move(get));
  const int16_t id = batch->id();
  ASSERT_TRUE(batch->made());
  history.undo(voice);
  EXPECT_EQ(voice.batches.find_batch_id("Batch 1"), 0);
  EXPECT_EQ(voice.batches.batch_count(), 0);
  history.redo(voice);
  EXPECT_EQ(voice.batches.find_batch_id("batch 1"), id);
  EXPECT_EQ(voice.batches.batch_name(id), "Batch 1");
}

}  // namespace
}  // namespace vocanta
