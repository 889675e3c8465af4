#include "core/model/curve_state.h"

#include <utility>
#include <vector>

#include "core/model/batch_list.h"
#include "core/model/model_observer.h"

namespace vocanta {
namespace {

void curves_changed(const CurveState& w, bool modifiesDocument) {
  if (w.events) w.events->notify({ModelChange::Kind::Curves, w.index, modifiesDocument});
}

TCurve* last_curve(TCurve* k) {
  while (k && k->next) k = k->next;
  return k;
}

// Curve n, or a new curve numbered n at the end of the list.
TCurve& curve_for_adding(CurveState& w, int16_t n) {
  TCurve* k = w.curves;
  while (k && k->number != n && k->next) k = k->next;
  if (k && k->number == n) return *k;
  auto* fresh = new TCurve;
  fresh->number = n;
  fresh->prev = k;
  if (k)
    k->next = fresh;
  else
    w.curves = fresh;
  return *fresh;
}

}  // namespace

CurveState::~CurveState() {
  clear_curves(*this);
}

TCurve* find_curve(const CurveState& w, int16_t n) {
  TCurve* k = w.curves;
  while (k && k->number != n) k = k->next;
  return k;
}

double curve_value(const CurveState& w, CurveCursor& c, int16_t n, double x) {
  if (!w.curves) {
    c = {};
    return w.defaultValue;
  }
  if (!c.curve || c.curve->number != n) {
    const TCurve* k = w.curves;
    while (k && n > k->number) k = k->next;
    while (k && n < k->number) k = k->prev;
    c.curve = k;
    c.point = k ? k->points : nullptr;
  }
  if (!c.curve) {
    c.point = nullptr;
    return w.defaultValue;
  }
  if (!c.point) c.point = c.curve->points;
  if (!c.point) return w.defaultValue;

  return walk_to(w, c.point, x);
}

size_t curve_values(const CurveState& w, CurveCursor& c, int16_t n, const double* x, size_t len,
                    double* out) {
  size_t i = 0;
  while (i < len) {
    out[i] = curve_value(w, c, n, x[i]);
    ++i;
    const TCurvePoint* p = c.point;
    // No point to walk from, or none after this one: every later x has the same value.
    if (!p || !p->next) return i;
    // The walk left x at or after p, or p first: later x up to the next point's walk
    // neither back nor on, and take walk_to's value on this stretch.
    const TCurvePoint* q = p->next;
    const double px = p->x, qx = q->x, a = point_value(w, p), b = point_value(w, q);
    const bool flat = qx == px;
    size_t end = i;
    while (end < len && x[end] <= qx) ++end;
    for (; i < end; ++i) {
      const double v = a + (x[i] - px) / (qx - px) * (b - a);
      out[i] = x[i] < px || flat ? a : v;
    }
  }
  return len;
}

double batched_point_value(const CurveState& w, const TCurvePoint* p) {
  return w.batches->batch_value(p);
}

double curve_value(CurveState& w, int16_t n, double x) {
  CurveCursor c{w.evalCurve, w.evalPoint};
  const double v = curve_value(std::as_const(w), c, n, x);
  w.evalCurve = c.curve;
  w.evalPoint = c.point;
  return v;
}

void keep_cursor_valid(const CurveState& w, CurveCursor& c) {
  const TCurve* k = w.curves;
  while (k && k != c.curve) k = k->next;
  const TCurvePoint* p = k ? k->points : nullptr;
  while (p && p != c.point) p = p->next;
  if (!k) c.curve = nullptr;
  if (!p) c.point = nullptr;
}

TCurve* curve_holding(const CurveState& w, const TCurvePoint* p) {
  for (TCurve* k = w.curves; k; k = k->next)
    for (const TCurvePoint* q = k->points; q; q = q->next)
      if (q == p) return k;
  return nullptr;
}

int curve_count(const CurveState& w) {
  int n = 0;
  for (const TCurve* k = w.curves; k; k = k->next) ++n;
  return n;
}

TCurvePoint* add_point(CurveState& w, int16_t batchId, int16_t n, double x, double y, double batchY,
                       double batchRange) {
  auto* p = new TCurvePoint;
  p->x = x;
  p->y = y;
  p->batchY = batchY;
  p->batchRange = batchRange;
  p->batch = batchId;
  insert_point(curve_for_adding(w, n), p);
  curves_changed(w, true);
  return p;
}

void add_points(CurveState& w, int16_t n, const std::vector<TCurvePoint>& points) {
  if (points.empty()) return;
  std::vector<TCurvePoint*> fresh;
  fresh.reserve(points.size());
  // The links are laid by insert_points.
  for (const TCurvePoint& q : points) fresh.push_back(new TCurvePoint(q));
  insert_points(curve_for_adding(w, n), fresh);
  curves_changed(w, true);
}

void delete_point(CurveState& w, TCurvePoint* p) {
  TCurve* k = w.currentCurve;
  if (p->prev) p->prev->next = p->next;
  if (p->next) p->next->prev = p->prev;
  if (k && k->points == p) k->points = p->next;
  if (k && !k->points) {
    if (k->prev) k->prev->next = k->next;
    if (k->next) k->next->prev = k->prev;
    if (w.curves == k) w.curves = k->next;
    delete k;
    w.currentCurve = nullptr;
    w.evalCurve = nullptr;
    renumber_curves(w);
  }
  delete p;
  w.selectedPoint = nullptr;
  w.evalPoint = nullptr;
}

TCurve* new_curve(CurveState& w) {
  auto* k = new TCurve;
  TCurve* last = last_curve(w.curves);
  k->number = static_cast<int16_t>(curve_count(w) + 1);
  k->prev = last;
  if (last)
    last->next = k;
  else
    w.curves = k;
  w.currentCurve = k;
  return k;
}

void copy_curves(CurveState& to, const CurveState& from) {
  clear_curves(to);
  TCurve* last = nullptr;
  for (const TCurve* k = from.curves; k; k = k->next) {
    auto* copy = new TCurve;
    copy->number = k->number;
    copy->prev = last;
    (last ? last->next : to.curves) = copy;
    last = copy;
    TCurvePoint* tail = nullptr;
    for (const TCurvePoint* p = k->points; p; p = p->next) {
      auto* q = new TCurvePoint(*p);
      q->prev = tail;
      q->next = nullptr;
      (tail ? tail->next : copy->points) = q;
      tail = q;
    }
  }
}

void clear_curves(CurveState& w) {
  delete_curve_chain(take_curves(w));
}

TCurve* take_curves(CurveState& w) {
  TCurve* chain = w.curves;
  w.curves = nullptr;
  w.evalPoint = nullptr;
  w.evalCurve = nullptr;
  w.selectedPoint = nullptr;
  w.currentCurve = nullptr;
  return chain;
}

void put_curves(CurveState& w, TCurve* chain) {
  clear_curves(w);
  w.curves = chain;
}

void delete_curve_chain(TCurve* chain) {
  while (chain) {
    TCurve* next = chain->next;
    delete chain;
    chain = next;
  }
}

void renumber_curves(CurveState& w) {
  int16_t n = 1;
  for (TCurve* k = w.curves; k; k = k->next) k->number = n++;
}

bool uses_batch(const CurveState& w, int16_t id) {
  if (id == 0) return false;
  for (const TCurve* k = w.curves; k; k = k->next)
    for (const TCurvePoint* p = k->points; p; p = p->next)
      if (p->batch == id) return true;
  return false;
}

void strip_batch(CurveState& w, int16_t id) {
  // 0 marks points without a batch; stripping it would only scramble their stored numbers.
  if (id == 0) {
    curves_changed(w, false);
    return;
  }
  for (TCurve* k = w.curves; k; k = k->next)
    for (TCurvePoint* p = k->points; p; p = p->next)
      if (p->batch == id) {
        p->batch = 0;
        p->batchY = 0;
        p->batchRange = 0;
        p->hitHandle = PointHandle::None;
      }
  curves_changed(w, false);
}

}  // namespace vocanta
