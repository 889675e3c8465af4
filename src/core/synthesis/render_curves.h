#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/model/curve_state.h"
#include "core/model/parameter_table.h"
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
  // value(p, 1, x[i]) into out[i] for ascending x, as curve_values writes them.
  size_t values(int p, const double* x, size_t len, double* out) {
    return curve_values(state(p), cursor(p), 1, x, len, out);
  }
  int count(int p) const { return curve_count(state(p)); }
  // Formant curve n of count at time t. Where there are several, one cursor for all would
  // look each curve up and walk it from its first point every sample; a cursor per curve
  // walking on from where it stood gives the same values, as time only grows within a
  // voice. A single curve keeps the parameter's cursor, as the walk always did.
  double formant(int16_t n, int count, double t) {
    if (count < 2 || n > kFormantCursors) return value(param::kFormants, n, t);
    const CurveState& w = state(param::kFormants);
    CurveCursor& c = formants_[static_cast<size_t>(n - 1)];
    if (w.curves && c.curve && c.curve->number == n && c.point) return walk_to(w, c.point, t);
    return curve_value(w, c, n, t);
  }
  // formant(n, count, t[i]) into out[i] for ascending t, as curve_values writes them.
  size_t formant_values(int16_t n, int count, const double* t, size_t len, double* out) {
    CurveCursor& c = count < 2 || n > kFormantCursors ? cursor(param::kFormants)
                                                      : formants_[static_cast<size_t>(n - 1)];
    return curve_values(state(param::kFormants), c, n, t, len, out);
  }
  // A voice starts at time 0 again: every formant curve from its first point.
  void restart_formants() { formants_ = {}; }
  // The points of all the parameter's curves: what a walk along them may cross.
  int64_t points(int p) const {
    int64_t n = 0;
    for (const TCurve* k = state(p).curves; k; k = k->next) n += k->point_count();
    return n;
  }

  // The user may edit between two blocks of a build; a cursor on a removed point goes.
  void keep_valid() {
    for (int p = 0; p < kParameterCount; ++p) keep_cursor_valid(state(p), cursor(p));
    for (CurveCursor& c : formants_) keep_cursor_valid(state(param::kFormants), c);
  }

 private:
  const Voice& voice_;
  static constexpr int kFormantCursors = 32;
  std::array<CurveCursor, kParameterCount> cursors_{};
  std::array<CurveCursor, kFormantCursors> formants_{};
};

}  // namespace vocanta
