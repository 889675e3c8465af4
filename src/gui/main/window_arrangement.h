#pragma once

#include <QRect>
#include <QSize>
#include <vector>

namespace vocanta {

// What Window ▸ "Arrange" lays out: frames, that is windows with their title bars.
struct ArrangeRequest {
  QRect available;      // the screen without its panels
  QSize mainFrame;      // the main window, top left
  QSize editorFrame;    // the point editor, below it
  QSize windowFrame;    // a parameter window as it is now: the largest a cell gets
  QSize smallestFrame;  // a parameter window at its smallest
  int windows = 0;      // how many parameter windows to place
};

struct Arrangement {
  QRect main;
  QRect editor;
  std::vector<QRect> windows;
};

// The main window and the point editor in a column at the left, the parameter windows
// in cells of one size, as large as fits (up to their present size), right of the column
// and then below it. When even the smallest windows do not fit, the smallest cells take
// them in turn and some overlap.
Arrangement arrange_windows(const ArrangeRequest& request);

}  // namespace vocanta
