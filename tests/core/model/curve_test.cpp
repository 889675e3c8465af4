#include "core/model/curve.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace vocanta {
namespace {

// Links fresh points into k in the given order, unsorted; y tags each point.
void link_unsorted(TCurve& k, std::initializer_list<std::pair<double, double>> xy) {
  TCurvePoint* last = nullptr;
  for (auto [x, y] : xy) {
    auto* p = new TCurvePoint;
    p->x = x;
    p->y = y;
    p->prev = last;
    (last ? last->next : k.points) = p;
    last = p;
  }
}

// The tags in list order, after checking that the back links mirror the forward ones.
std::vector<double> tags(const TCurve& k) {
  std::vector<double> result;
  const TCurvePoint* before = nullptr;
  for (const TCurvePoint* p = k.points; p; before = p, p = p->next) {
    EXPECT_EQ(p->prev, before);
    result.push_back(p->y);
  }
  return result;
}

TEST(Curve, SortKeepsEveryPointAndTheListOrderOfEqualX) {
  TCurve k;
  sort_points(k);
  EXPECT_EQ(k.points, nullptr);

  // A point moved onto the smallest x, with more of them further on.
  link_unsorted(k, {{3, 1}, {0, 2}, {2, 3}, {0, 4}, {3, 5}, {0, 6}, {-1, 7}, {2, 8}});
  sort_points(k);
  EXPECT_EQ(tags(k), (std::vector<double>{7, 2, 4, 6, 3, 8, 1, 5}));

  // Sorting again, as every mouse release does, must not flip steps at a shared x.
  sort_points(k);
  EXPECT_EQ(tags(k), (std::vector<double>{7, 2, 4, 6, 3, 8, 1, 5}));
  EXPECT_EQ(k.point_count(), 8);
}

TEST(Curve, InsertPointSortsANewPointInBeforeOnesAtTheSameX) {
  TCurve k;
  auto point = [](double x, double y) {
    auto* p = new TCurvePoint;
    p->x = x;
    p->y = y;
    return p;
  };
  insert_point(k, point(1, 1));
  EXPECT_EQ(tags(k), (std::vector<double>{1}));
  EXPECT_EQ(k.points->next, nullptr);
  insert_point(k, point(3, 2));
  insert_point(k, point(0, 3));
  insert_point(k, point(2, 4));
  insert_point(k, point(1, 5));
  insert_point(k, point(3, 6));
  EXPECT_EQ(tags(k), (std::vector<double>{3, 5, 1, 4, 6, 2}));
}

TEST(Curve, InsertingManyAtOnceOrdersThemAsOneByOne) {
  // Few distinct x, so that most points share theirs with others, into a curve left
  // unsorted by a drag.
  TCurve single, batch;
  link_unsorted(single, {{3, -1}, {0, -2}, {3, -3}, {1, -4}});
  link_unsorted(batch, {{3, -1}, {0, -2}, {3, -3}, {1, -4}});
  std::vector<TCurvePoint*> arrivals;
  uint32_t seed = 7;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 134775813u + 1u;
    auto* p = new TCurvePoint;
    p->x = static_cast<double>(seed >> 29);
    p->y = i;
    arrivals.push_back(new TCurvePoint(*p));
    insert_point(single, p);
  }
  insert_points(batch, arrivals);
  EXPECT_EQ(tags(batch), tags(single));
  EXPECT_EQ(batch.point_count(), 304);
}

}  // namespace
}  // namespace vocanta
