#pragma once

#include <cstdint>

#include "core/model/curve.h"

namespace vocanta {

class BatchList;
class ModelEvents;

// The curves of one parameter with the evaluation cache. It owns its curves.
struct CurveState {
  TCurve* curves = nullptr;
  TCurve* currentCurve = nullptr;
  TCurvePoint* selectedPoint = nullptr;
  TCurve* evalCurve = nullptr;
  TCurvePoint* evalPoint = nullptr;
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

double curve_value(CurveState& w, int16_t n, double x);
int curve_count(const CurveState& w);
TCurve* find_curve(const CurveState& w, int16_t n);
// Returns the point that was added (owned by its curve).
TCurvePoint* add_point(CurveState& w, int16_t batchId, int16_t n, double x, double y, double batchY,
                       double batchRange);
void delete_point(CurveState& w, TCurvePoint* p);
TCurve* new_curve(CurveState& w);
void clear_curves(CurveState& w);
// Detaches every curve, for an undoable step that keeps them; the caller owns the chain.
TCurve* take_curves(CurveState& w);
// Replaces the curves by a chain that take_curves detached.
void put_curves(CurveState& w, TCurve* chain);
void delete_curve_chain(TCurve* chain);
void renumber_curves(CurveState& w);
bool uses_batch(const CurveState& w, int16_t id);
void strip_batch(CurveState& w, int16_t id);

}  // namespace vocanta
