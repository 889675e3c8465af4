#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/model/curve.h"

namespace vocanta {

class BatchList;
class ModelEvents;

// The curves of one parameter with the evaluation cache. It owns its curves.
struct CurveState {
  TCurve* curves = nullptr;
  TCurve* currentCurve = nullptr;
  TCurvePoint* selectedPoint = nullptr;
  const TCurve* evalCurve = nullptr;
  const TCurvePoint* evalPoint = nullptr;
  double defaultValue = 0;

  // Where point values come from, and who is told of changes to the curves (an added
  // point makes the document modified) as changes of parameter `index`.
  const BatchList* batches = nullptr;
  ModelEvents* events = nullptr;
  int index = -1;

  CurveState() = default;
  CurveState(const CurveState&) = delete;
  CurveState& operator=(const CurveState&) = delete;
  ~CurveState();
};

// Where an evaluation walk stands: the curve and point it last used. Successive x close
// together cost a step or two from here instead of a walk from the start of the curve.
struct CurveCursor {
  const TCurve* curve = nullptr;
  const TCurvePoint* point = nullptr;
};

// The value of curve n at x, walking from and moving the cursor. Where x lies exactly on
// a point, the value depends on the side the walk comes from, so a renderer that must
// repeat its bytes keeps a cursor of its own rather than share the windows' one.
double curve_value(const CurveState& w, CurveCursor& cursor, int16_t n, double x);
double batched_point_value(const CurveState& w, const TCurvePoint* p);

// The value of a point, for the batch step in force.
inline double point_value(const CurveState& w, const TCurvePoint* p) {
  if (p->batch == 0 || !w.batches) return p->y;
  return batched_point_value(w, p);
}

// The step of curve_value once its curve and a point of it are found: walks p back or on
// to x and returns the value there. Inline, for the renderers that walk a curve along
// thousands of abscissae a sample.
inline double walk_to(const CurveState& w, const TCurvePoint*& p, double x) {
  while (p->prev && x < p->x) p = p->prev;
  while (p->next && x > p->next->x) p = p->next;
  if (x < p->x || !p->next) return point_value(w, p);
  const TCurvePoint* q = p->next;
  const double a = point_value(w, p);
  if (q->x == p->x) return a;
  const double b = point_value(w, q);
  return a + (x - p->x) / (q->x - p->x) * (b - a);
}

// out[i] = curve_value(w, cursor, n, x[i]) for ascending x, i < len: where the x of a
// block lie on one stretch of the curve, the stretch is found once for all of them.
// Returns how many values it wrote: the values after them are the last one written.
std::size_t curve_values(const CurveState& w, CurveCursor& cursor, int16_t n, const double* x,
                         std::size_t len, double* out);

// The same on the state's own cache (evalCurve, evalPoint), as the windows evaluate.
double curve_value(CurveState& w, int16_t n, double x);
// Forgets the cursor's curve or point where it is no longer one of the state's, so that
// an edit made between two evaluations never leaves the walk on a freed point.
void keep_cursor_valid(const CurveState& w, CurveCursor& cursor);
int curve_count(const CurveState& w);
TCurve* find_curve(const CurveState& w, int16_t n);
// The curve the point is linked into; none for a point outside every curve.
TCurve* curve_holding(const CurveState& w, const TCurvePoint* p);
// Returns the point that was added (owned by its curve).
TCurvePoint* add_point(CurveState& w, int16_t batchId, int16_t n, double x, double y, double batchY,
                       double batchRange);
// Adds copies of the points' x, values and batch to curve n as add_point would one by one
// in this order, sorting the curve once.
void add_points(CurveState& w, int16_t n, const std::vector<TCurvePoint>& points);
void delete_point(CurveState& w, TCurvePoint* p);
TCurve* new_curve(CurveState& w);
void clear_curves(CurveState& w);
// Detaches every curve, for an undoable step that keeps them; the caller owns the chain.
TCurve* take_curves(CurveState& w);
// Replaces the curves by a chain that take_curves detached.
void put_curves(CurveState& w, TCurve* chain);
void delete_curve_chain(TCurve* chain);
// Replaces the curves of to by copies of those of from: the same numbers, the points in
// the same order (points of equal x keep theirs), the same values and batches.
void copy_curves(CurveState& to, const CurveState& from);
void renumber_curves(CurveState& w);
bool uses_batch(const CurveState& w, int16_t id);
void strip_batch(CurveState& w, int16_t id);

}  // namespace vocanta
