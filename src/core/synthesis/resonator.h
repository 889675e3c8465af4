#pragma once

namespace vocanta {

// A second-order resonant low-pass with unit gain at 0 Hz, recomputed every sample
// so that its frequency and bandwidth follow the curves.
struct Resonator {
  double a0 = 0, a1 = 0, a2 = 0;
  double y1 = 0, y2 = 0;

  void reset() { *this = Resonator(); }

  // Centre frequency f and bandwidth b in Hz at the sampling frequency fs.
  void set(double f, double b, double fs);

  double step(double x) {
    const double y = a0 * x + a1 * y1 + a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

}  // namespace vocanta
