#include "gui/platform/window_arrangement.h"

#include <algorithm>

namespace vocanta {
namespace {

// The room right of the column of the main window and the point editor and the room
// below it; one of the two spans the whole screen.
struct Regions {
  QRect beside;
  QRect below;
};

// Rows of cells of height h, each as wide as w or as its window needs, in the regions in
// turn; stops where the room ends, so it may place fewer than all.
std::vector<QRect> pack(const Regions& r, int w, int h, const std::vector<QSize>& smallest) {
  std::vector<QRect> cells;
  for (const QRect& region : {r.beside, r.below})
    for (int y = region.top(); h > 0 && y + h - 1 <= region.bottom(); y += h)
      for (int x = region.left(); cells.size() < smallest.size();) {
        const int width = std::max(w, smallest[cells.size()].width());
        if (x + width - 1 > region.right()) break;
        cells.emplace_back(x, y, width, h);
        x += width;
      }
  return cells;
}

// The sizes that divide a region's width or height evenly.
std::vector<int> even_divisions(std::initializer_list<int> lengths, int count) {
  std::vector<int> sizes;
  for (int length : lengths)
    for (int parts = 1; parts <= count; ++parts) sizes.push_back(length / parts);
  return sizes;
}

// The cells whose size, relative to the windows' present size, is largest among those
// with room for every window; empty when even the smallest windows do not fit.
std::vector<QRect> best_cells(const ArrangeRequest& q, const std::vector<Regions>& options,
                              int lowest) {
  const QSize want = q.windowFrame.expandedTo(QSize(1, lowest));
  const int n = static_cast<int>(q.smallestFrames.size());
  std::vector<QRect> best;
  double bestScale = 0;
  for (const Regions& r : options)
    for (int w : even_divisions({r.beside.width(), r.below.width()}, n))
      for (int h : even_divisions({r.beside.height(), r.below.height()}, n)) {
        w = std::min(w, want.width());
        h = std::min(h, want.height());
        const double scale = std::min(double(w) / want.width(), double(h) / want.height());
        if (h < lowest || scale <= bestScale) continue;
        std::vector<QRect> cells = pack(r, w, h, q.smallestFrames);
        if (cells.size() < q.smallestFrames.size()) continue;
        bestScale = scale;
        best = std::move(cells);
      }
  return best;
}

// Windows of the size of the largest, each a title bar lower and to the right of the one
// before, so that every title bar stays in sight; where the room ends below, another stack
// begins further right, the stacks spread over the room's width.
std::vector<QRect> cascade(const QRect& room, const std::vector<QSize>& smallest, int step) {
  QSize size(1, 1);
  for (const QSize& s : smallest) size = size.expandedTo(s);
  step = std::max(step, 1);
  const int n = static_cast<int>(smallest.size());
  const int fits =
      std::max(1, std::min(room.height() - size.height(), room.width() - size.width()) / step + 1);
  const int stacks = (n + fits - 1) / fits;
  const int perStack = (n + stacks - 1) / stacks;
  const int spread =
      stacks > 1 ? std::max(0, room.width() - size.width() - (perStack - 1) * step) / (stacks - 1)
                 : 0;
  std::vector<QRect> cells;
  for (int i = 0; i < n; ++i) {
    const int k = i % perStack;
    const QPoint at(room.left() + (i / perStack) * spread + k * step, room.top() + k * step);
    cells.emplace_back(at, QSize(smallest[static_cast<size_t>(i)].width(), size.height()));
  }
  return cells;
}

}  // namespace

Arrangement arrange_windows(const ArrangeRequest& q) {
  Arrangement a;
  const QRect& area = q.available;
  a.main = QRect(area.topLeft(), q.mainFrame);
  a.editor = QRect(QPoint(area.left(), a.main.bottom() + 1), q.editorFrame);
  const QRect column = a.main.united(a.editor);
  const QPoint besideTop(column.right() + 1, area.top());
  const QPoint belowColumn(area.left(), column.bottom() + 1);
  const std::vector<Regions> options = {
      {QRect(besideTop, QPoint(area.right(), column.bottom())),
       QRect(belowColumn, area.bottomRight())},
      {QRect(besideTop, area.bottomRight()),
       QRect(belowColumn, QPoint(column.right(), area.bottom()))}};
  if (q.smallestFrames.empty()) return a;
  int lowest = 1;
  for (const QSize& s : q.smallestFrames) lowest = std::max(lowest, s.height());
  a.windows = best_cells(q, options, lowest);
  if (!a.windows.empty()) return a;
  // Too many windows for this screen to show them apart at a readable size: a cascade.
  a.windows = cascade(options[1].beside, q.smallestFrames, q.titleHeight);
  // A screen too narrow for them beside the column: over it rather than off the screen.
  for (QRect& r : a.windows) {
    r.moveRight(std::min(r.right(), area.right()));
    r.moveLeft(std::max(r.left(), area.left()));
    r.moveBottom(std::min(r.bottom(), area.bottom()));
  }
  return a;
}

}  // namespace vocanta
