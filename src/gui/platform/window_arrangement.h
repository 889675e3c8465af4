#pragma once

#include <QRect>
#include <QSize>
#include <vector>

namespace vocanta {

// What Window ▸ "Arrange" lays out: frames, that is windows with their title bars.
struct ArrangeRequest {
  QRect available;    // the screen without its panels
  QSize mainFrame;    // the main window, top left
  QSize editorFrame;  // the point editor, below it
  QSize windowFrame;  // the largest a cell gets
  // Each parameter window to place at its smallest readable size; axis captions make
  // some wider.
  std::vector<QSize> smallestFrames;
  int titleHeight = 24;  // the step of a cascade
};

struct Arrangement {
  QRect main;
  QRect editor;
  std::vector<QRect> windows;
};

// The main window and the point editor in a column at the left, the parameter windows
// in rows of cells, as large as fits (up to windowFrame), right of the column and then
// below it. When not all fit apart at their smallest readable size, they overlap in a
// cascade right of the column, every title bar in sight.
Arrangement arrange_windows(const ArrangeRequest& request);

}  // namespace vocanta
