#pragma once

#include <cstdint>
#include <vector>

namespace vocanta {

// One point of a curve. Points are linked in ascending x and owned by their curve.
struct TCurvePoint {
  double x = 0;
  double y = 0;
  double batchY = 0;
  double batchRange = 0;
  TCurvePoint* next = nullptr;
  TCurvePoint* prev = nullptr;
  int16_t batch = 0;
  uint16_t hitHandle = 0;
};

// One numbered curve; it owns its points.
struct TCurve {
  int16_t number = 0;
  TCurvePoint* points = nullptr;
  TCurve* next = nullptr;
  TCurve* prev = nullptr;

  TCurve() = default;
  TCurve(const TCurve&) = delete;
  TCurve& operator=(const TCurve&) = delete;
  ~TCurve();

  int point_count() const;
};

// Links p in as the first point of k, then sorts k.
void insert_point(TCurve& k, TCurvePoint* p);

// Links the points in as if insert_point had taken them one by one in the given order
// (each new point before the points of equal x already there), with one sort: reading a
// curve of n points costs n log n rather than n squared.
void insert_points(TCurve& k, const std::vector<TCurvePoint*>& arrivals);

// Stable insertion sort over the links: points with equal x keep their relative order,
// so repeated sorts (one per mouse release) never flip a step at a shared x.
void sort_points(TCurve& k);

}  // namespace vocanta
