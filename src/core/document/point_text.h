#pragma once

#include <string>
#include <string_view>

namespace vocanta {

struct TCurvePoint;

struct PointText {
  double y = 0;
  double batchY = 0;
  double batchRange = 0;
  std::string batchName;
};

// "y;batchY;batchRange;name" with the numbers in document notation.
std::string format_point_text(const TCurvePoint& p, std::string_view batchName);

// Reads the current four-field form and the two older forms ("y;range;name" and a bare
// value). Raises the number conversion messages.
PointText parse_point_value(std::string_view text);

}  // namespace vocanta
