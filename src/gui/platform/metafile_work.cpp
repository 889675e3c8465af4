// What drawing a metafile costs, charged before each record draws, so that the work of
// any picture is bounded however its records are made.
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <string>

#include "core/support/vocanta_error.h"
#include "gui/platform/metafile_painter.h"

namespace vocanta {

namespace {

// The other costs, in pixels that take as long to fill. A point adds an edge, which a
// fill follows down every row it crosses; a font not used before is looked up among the
// installed ones, which takes as long as filling a large picture.
constexpr double kPointPixels = 16;
constexpr double kEdgeRowPixels = 64;
constexpr double kNewFontPixels = 1 << 22;

// The rows the edges of a path cross, each edge counted at most over the picture's height.
double edge_rows(const QPainterPath& path, double height) {
  double rows = 0;
  for (int i = 1; i < path.elementCount(); ++i)
    rows += std::min(std::abs(path.elementAt(i).y - path.elementAt(i - 1).y), height);
  return rows;
}

}  // namespace

void MetafilePainter::charge(double pixels) {
  work_.pixels += pixels;
  if (work_.pixels > kMaxMetafilePixels)
    throw VocantaError("it draws too much to be shown (" + std::to_string(work_.records) +
                       " records paint over " + std::to_string(std::lround(work_.pixels)) +
                       " pixels)");
}

double MetafilePainter::visible_area(const QRectF& device) const {
  const QRectF visible = device.normalized() & QRectF(QPointF(0, 0), QSizeF(size_));
  return visible.isEmpty() ? 0 : visible.width() * visible.height();
}

void MetafilePainter::charge_figure(const QPainterPath& path, bool filled, const QPen& pen) {
  const QRectF bounds = path.controlPointRect();
  double pixels = path.elementCount() * kPointPixels;
  if (filled) pixels += visible_area(bounds) + kEdgeRowPixels * edge_rows(path, size_.height());
  if (pen.style() != Qt::NoPen) {
    // An outline paints along its length, at most over the area it spans.
    const double width = std::max(pen.widthF(), 1.0);
    const double spanned = visible_area(bounds.adjusted(-width, -width, width, width));
    pixels += std::min(spanned, path.length() * width);
  }
  charge(pixels);
}

void MetafilePainter::charge_font(const QFont& font) {
  // Few: each costs much.
  if (std::find(fontsUsed_.begin(), fontsUsed_.end(), font) != fontsUsed_.end()) return;
  fontsUsed_.push_back(font);
  charge(kNewFontPixels);
}

}  // namespace vocanta
