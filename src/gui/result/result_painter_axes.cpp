// The parts of the result picture drawn over and around the plots: the voice's curves,
// the axes with their labels and the time cursor.
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>

#include "core/model/diagram_grid.h"
#include "core/model/parameter_table.h"
#include "core/model/voice.h"
#include "core/synthesis/render_curves.h"
#include "gui/result/result_painter.h"

namespace vocanta {
namespace {

// The decimals a label needs to tell steps of that size apart.
int decimals_for(double step) {
  return std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

// A curve at one column: its row, and the piece it belongs to (a voice of a series),
// since pieces must not be joined.
struct ColumnPoint {
  double y = std::numeric_limits<double>::quiet_NaN();
  size_t piece = 0;
};

// Draws the curve through the columns of area, broken where it leaves the shown band
// and between pieces.
void draw_curve(QPainter& p, const QRect& area, const std::function<ColumnPoint(int)>& at) {
  QPolygonF line;
  size_t piece = 0;
  const auto flush = [&] {
    if (line.size() > 1) p.drawPolyline(line);
    line.clear();
  };
  for (int x = area.left(); x <= area.right(); ++x) {
    const ColumnPoint c = at(x);
    if (c.piece != piece) flush();
    piece = c.piece;
    if (std::isfinite(c.y) && c.y >= area.top() - 1 && c.y <= area.bottom() + 1)
      line << QPointF(x + 0.5, c.y);
    else
      flush();
  }
  flush();
}

}  // namespace

void ResultPainter::paint_overlays(QPainter& p, const QRect& area,
                                   const ResultTimeAxis& axis) const {
  RenderCurves curves(*voice_);
  const double length = duration();
  const QSize size = cached_.size;
  // Only over the sound: the curves go on beyond it, the picture does not.
  const auto trace = [&](const QColor& colour, const std::function<double(double)>& hzAt) {
    p.setPen(QPen(colour, 2));
    draw_curve(p, area, [&](int x) {
      const double t = axis.t_of(x + 0.5);
      return t >= 0 && t <= length ? ColumnPoint{frequency_y(hzAt(t), size)} : ColumnPoint{};
    });
  };
  const int formants = curves.count(param::kFormants);
  for (int16_t n = 1; n <= formants; ++n)
    trace(kFormantColour, [&](double t) {
      return curves.value(param::kFormants, n, t) * curves.value(param::kFormantFactor, 1, t);
    });
  trace(kF0Colour, [&](double t) {
    return curves.value(param::kF0, 1, t) * curves.value(param::kF0Factor, 1, t);
  });
}

void ResultPainter::paint_tracks(QPainter& p, const QRect& area, const ResultTimeAxis& axis) const {
  const QSize size = cached_.size;
  const double fs = tracks_->sampling_frequency();
  // The F0 last, on top.
  for (int c = tracks_->curves() - 1; c >= 0; --c) {
    p.setPen(QPen(c == 0 ? kF0Colour : kFormantColour, 2));
    draw_curve(p, area, [&](int x) {
      const auto point = tracks_->at(c, axis.t_of(x + 0.5) * fs);
      return point ? ColumnPoint{frequency_y(point->hz, size), point->voice + 1} : ColumnPoint{};
    });
  }
}

void ResultPainter::paint_time_axis(QPainter& p, const ResultLayout& layout,
                                    const ResultTimeAxis& axis) const {
  // About one label per 90 pixels, never closer.
  const double step =
      nice_step(axis.span() / std::max(layout.spectrum.width() / 90, 2), StepRounding::Up);
  const int decimals = decimals_for(step);
  const int bottom = layout.spectrum.bottom() + 1;
  const QLocale locale;
  p.setPen(Qt::black);
  for (double t = std::ceil(axis.start / step) * step; t <= axis.end + step * 1e-6; t += step) {
    const int x = static_cast<int>(std::lround(axis.x_of(t)));
    p.drawLine(x, bottom, x, bottom + 4);
    p.drawLine(x, layout.wave.bottom() + 1, x, layout.wave.bottom() + 4);
    const QString label = locale.toString(t, 'f', decimals);
    p.drawText(QRect(x - 40, bottom + 5, 80, 20), Qt::AlignHCenter | Qt::AlignTop, label);
  }
  // Left of the scale, below the frequency labels, where no time label reaches.
  p.drawText(QRect(0, bottom + 5, layout.spectrum.left() - 14, 20), Qt::AlignRight | Qt::AlignTop,
             "s");
}

void ResultPainter::paint_frequency_axis(QPainter& p, const QRect& area) const {
  const double top = top_frequency();
  const double step = nice_step(top / std::max(area.height() / 50, 2), StepRounding::Up);
  const QLocale locale;
  p.setPen(Qt::black);
  for (double hz = 0; hz <= top + step * 1e-6; hz += step) {
    const int y = static_cast<int>(std::lround(area.top() + (1 - hz / top) * area.height()));
    p.drawLine(area.left() - 5, y, area.left() - 1, y);
    p.drawText(QRect(0, y - 10, area.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
               locale.toString(hz, 'f', decimals_for(step)));
  }
  // Above the scale, in the waveform's empty margin.
  p.drawText(QRect(0, area.top() - 30, area.left() - 8, 20), Qt::AlignRight | Qt::AlignBottom,
             "Hz");
}

void ResultPainter::paint_cursor(QPainter& p, const ResultLayout& layout,
                                 const ResultTimeAxis& axis) const {
  const double x = axis.x_of(cursorTime_);
  if (x < layout.spectrum.left() || x > layout.spectrum.right() + 1) return;
  p.setPen(QPen(kCursorColour, 1));
  const int column = static_cast<int>(std::floor(x));
  p.drawLine(column, layout.wave.top(), column, layout.spectrum.bottom());
}

}  // namespace vocanta
