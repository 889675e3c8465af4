#pragma once

#include <cstdint>

#include "core/model/curve.h"

namespace vocanta {

class BatchList;
struct CurveState;

// Lets the window that shows a parameter follow changes made by core operations.
class CurveObserver {
 public:
  virtual ~CurveObserver() = default;
  // A batch was taken off points of this parameter: the point editor shows the
  // selected point again and the window redraws.
  virtual void batch_stripped(CurveState& state) = 0;
};

// The curves of one parameter with the evaluation cache. It owns its curves.
struct CurveState {
  TCurve* curves = nullptr;
  TCurve* currentCurve = nullptr;
  TCurvePoint* selectedPoint = nullptr;
  const TCurve* evalCurve = nullptr;
  const TCurvePoint* evalPoint = nullptr;
  double defaultValue = 0;

  // Where point values come from and whom an added point marks modified.
  const BatchList* batches = nullptr;
  bool* documentModified = nullptr;
  CurveObserver* observer = nullptr;

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
// The same on the state's own cache (evalCurve, evalPoint), as the windows evaluate.
double curve_value(CurveState& w, int16_t n, double x);
// Forgets the cursor's curve or point where it is no longer one of the state's, so that
// an edit made between two evaluations never leaves the walk on a freed point.
void keep_cursor_valid(const CurveState& w, CurveCursor& cursor);
int curve_count(const CurveState& w);
TCurve* find_curve(const CurveState& w, int16_t n);
// Returns the point that was added (owned by its curve).
TCurvePoint* add_point(CurveState& w, int16_t batchId, int16_t n, double x, double y, double batchY,
                       double batchRange);
void delete_point(CurveState& w, TCurvePoint* p);
TCurve* new_curve(CurveState& w);
void clear_curves(CurveState& w);
void renumber_curves(CurveState& w);
bool uses_batch(const CurveState& w, int16_t id);
void strip_batch(CurveState& w, int16_t id);

}  // namespace vocanta
