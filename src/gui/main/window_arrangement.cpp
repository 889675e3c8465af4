#include "gui/main/window_arrangement.h"

#include <algorithm>

namespace vocanta {
namespace {

// Cells of one size fill the room right of the column of the main window and the point
// editor, then the whole width below it.
struct Regions {
  QRect beside;
  QRect below;
};

void add_cells(const QRect& region, QSize cell, std::vector<QRect>& cells) {
  if (cell.isEmpty()) return;
  for (int y = region.top(); y + cell.height() - 1 <= region.bottom(); y += cell.height())
    for (int x = region.left(); x + cell.width() - 1 <= region.right(); x += cell.width())
      cells.emplace_back(QPoint(x, y), cell);
}

std::vector<QRect> cells_of(const Regions& r, QSize cell) {
  std::vector<QRect> cells;
  add_cells(r.beside, cell, cells);
  add_cells(r.below, cell, cells);
  return cells;
}

// The sizes that divide a region's width or height evenly.
std::vector<int> even_divisions(std::initializer_list<int> lengths, int count) {
  std::vector<int> sizes;
  for (int length : lengths)
    for (int parts = 1; parts <= count; ++parts) sizes.push_back(length / parts);
  return sizes;
}

// The largest cell, relative to the windows' present size, with room for them all;
// empty when even the smallest windows do not fit.
QSize best_cell(const ArrangeRequest& q, const Regions& r) {
  const QSize want = q.windowFrame.expandedTo(q.smallestFrame).expandedTo(QSize(1, 1));
  QSize best;
  double bestScale = 0;
  for (int w : even_divisions({r.beside.width(), r.below.width()}, q.windows))
    for (int h : even_divisions({r.beside.height(), r.below.height()}, q.windows)) {
      const QSize cell = QSize(w, h).boundedTo(want);
      if (cell.width() < q.smallestFrame.width() || cell.height() < q.smallestFrame.height())
        continue;
      const double scale =
          std::min(double(cell.width()) / want.width(), double(cell.height()) / want.height());
      if (scale <= bestScale || int(cells_of(r, cell).size()) < q.windows) continue;
      bestScale = scale;
      best = cell;
    }
  return best;
}

}  // namespace

Arrangement arrange_windows(const ArrangeRequest& q) {
  Arrangement a;
  const QRect& area = q.available;
  a.main = QRect(area.topLeft(), q.mainFrame);
  a.editor = QRect(QPoint(area.left(), a.main.bottom() + 1), q.editorFrame);
  const QRect column = a.main.united(a.editor);
  const Regions regions{
      QRect(QPoint(column.right() + 1, area.top()), QPoint(area.right(), column.bottom())),
      QRect(QPoint(area.left(), column.bottom() + 1), area.bottomRight())};
  if (q.windows <= 0) return a;
  const QSize cell = best_cell(q, regions);
  // Too many windows for this screen: the smallest ones take the cells in turn.
  std::vector<QRect> cells = cells_of(regions, cell.isEmpty() ? q.smallestFrame : cell);
  if (cells.empty()) cells.emplace_back(QPoint(column.right() + 1, area.top()), q.smallestFrame);
  for (int i = 0; i < q.windows; ++i) a.windows.push_back(cells[size_t(i) % cells.size()]);
  return a;
}

}  // namespace vocanta
