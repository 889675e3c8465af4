#include "core/model/curve.h"

#include <algorithm>

namespace vocanta {

double handle_value(const TCurvePoint& p, PointHandle h) {
  switch (h) {
    case PointHandle::BatchStart:
      return p.batchY;
    case PointHandle::BatchEnd:
      return p.batchY + p.batchRange;
    case PointHandle::None:
    case PointHandle::Value:
      break;
  }
  return p.y;
}

TCurve::~TCurve() {
  TCurvePoint* p = points;
  while (p) {
    TCurvePoint* next = p->next;
    delete p;
    p = next;
  }
}

int TCurve::point_count() const {
  int n = 0;
  for (const TCurvePoint* p = points; p; p = p->next) ++n;
  return n;
}

void insert_point(TCurve& k, TCurvePoint* p) {
  p->prev = nullptr;
  p->next = k.points;
  if (k.points) k.points->prev = p;
  k.points = p;
  sort_points(k);
}

void insert_points(TCurve& k, const std::vector<TCurvePoint*>& arrivals) {
  // Newest first, then the points there already: a stable sort keeps that order among
  // equal x, as the insertions one at a time would have left it.
  std::vector<TCurvePoint*> all(arrivals.rbegin(), arrivals.rend());
  for (TCurvePoint* p = k.points; p; p = p->next) all.push_back(p);
  std::stable_sort(all.begin(), all.end(),
                   [](const TCurvePoint* a, const TCurvePoint* b) { return a->x < b->x; });
  TCurvePoint* prev = nullptr;
  for (TCurvePoint* p : all) {
    p->prev = prev;
    p->next = nullptr;
    if (prev) prev->next = p;
    prev = p;
  }
  k.points = all.empty() ? nullptr : all.front();
}

void sort_points(TCurve& k) {
  TCurvePoint* sorted = nullptr;  // head of the sorted part
  TCurvePoint* last = nullptr;    // tail of the sorted part
  TCurvePoint* p = k.points;
  while (p) {
    TCurvePoint* next = p->next;
    if (!last || last->x <= p->x) {
      // Appending at the tail keeps equal x in arrival order and makes a sorted list linear.
      p->prev = last;
      p->next = nullptr;
      if (last)
        last->next = p;
      else
        sorted = p;
      last = p;
    } else {
      // Insert after the last point whose x is not greater than p's.
      TCurvePoint* q = last;
      while (q && q->x > p->x) q = q->prev;
      p->prev = q;
      p->next = q ? q->next : sorted;
      if (p->next) p->next->prev = p;
      if (q)
        q->next = p;
      else
        sorted = p;
    }
    p = next;
  }
  k.points = sorted;
}

}  // namespace vocanta
