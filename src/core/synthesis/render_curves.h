#pragma once

#include <array>
#include <cstdint>

#include "core/model/curve_state.h"
#include "core/model/voice.h"

namespace vocanta {

// The voice's curves as a build reads them: with a cursor of its own per parameter, so
// that the windows, which evaluate beside a running build, neither steer its samples nor
// find their cache moved by it.
class RenderCurves {
 public:
  explicit RenderCurves(const Voice& voice) : voice_(voice) {}

  const CurveState& state(int p) const { return voice_.parameter(p).state; }
  CurveCursor& cursor(int p) { return cursors_[static_cast<size_t>(p)]; }
  double value(int p, int16_t n, double x) {
    const CurveState& w = state(p);
    CurveCursor& c = cursor(p);
    // What curve_value does on its two common ways, without the call: a parameter
    // without curves, and a walk on along the curve the cursor is on.
    if (!w.curves) {
      c = {};
      return w.defaultValue;
    }
    if (c.curve && c.curve->number == n && c.point) return walk_to(w, c.point, x);
    return curve_value(w, c, n, x);
  }
  int count(int p) const { return curve_count(state(p)); }
  // The points of all the parameter's curves: what a walk along them may cross.
  int64_t points(int p) const {
    int64_t n = 0;
    for (const TCurve* k = state(p).curves; k; k = k->next) n += k->point_count();
    return n;
  }

  // The user may edit between two blocks of a build; a cursor on a removed point goes.
  void keep_valid() {
    for (int p = 0; p < kParameterCount; ++p) keep_cursor_valid(state(p), cursor(p));
  }

 private:
  const Voice& voice_;
  std::array<CurveCursor, kParameterCount> cursors_{};
};

}  // namespace vocanta
