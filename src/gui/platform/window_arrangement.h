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
  QSize windowFrame;  // the largest parameter window as it is now: the largest a cell gets
  // Each parameter window to place at its smallest; axis captions make some wider.
  std::vector<QSize> smallestFrames;
};

struct Arrangement {
  QRect main;
  QRect editor;
  std::vector<QRect> windows;
};

// The main window and the point editor in a column at the left, the parameter windows
// in rows of cells, as large as fits (up to their present size), right of the column and
// then below it. When even the smallest windows do not fit, the windows left over take
// the cells again from the first and overlap.
Arrangement arrange_windows(const ArrangeRequest& request);

}  // namespace vocanta
