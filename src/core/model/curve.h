#pragma once

#include <cstdint>
#include <vector>

namespace vocanta {

// Which part of a point the mouse took: its value, or one end of its batch range.
enum class PointHandle : uint16_t {
  None = 0,        // a fresh point, or one whose batch was taken off
  Value = 1,       // at y
  BatchStart = 2,  // at batchY
  BatchEnd = 3,    // at batchY + batchRange
};

// One point of a curve. Points are linked in ascending x and owned by their curve.
struct TCurvePoint {
  double x = 0;
  double y = 0;
  double batchY = 0;
  double batchRange = 0;
  TCurvePoint* next = nullptr;
  TCurvePoint* prev = nullptr;
  int16_t batch = 0;
  PointHandle hitHandle = PointHandle::None;
};

// The handles in the order a hit test tries them: on a tie the earlier one wins.
inline constexpr PointHandle kPointHandles[] = {PointHandle::Value, PointHandle::BatchStart,
                                                PointHandle::BatchEnd};

// Where the handle lies on the y axis; None lies at the value.
double handle_value(const TCurvePoint& p, PointHandle h);

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
