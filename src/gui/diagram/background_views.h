#pragma once

#include <cstdint>
#include <string>

#include "gui/platform/background_picture.h"

namespace vocanta {

// Everything of a parameter window's background that a step can change.
struct BackgroundState {
  BackgroundPicture picture;
  std::string file;  // the parameter's backgroundFile
  bool visible = false;
  int16_t left = 0, top = 0;
};

// The backgrounds of the parameter windows, reached by parameter index, so that a step
// kept for undo names no window.
class BackgroundViews {
 public:
  virtual ~BackgroundViews() = default;
  // The window of the parameter takes over the state and redraws.
  virtual void apply_background(int index, const BackgroundState& state) = 0;
};

}  // namespace vocanta
