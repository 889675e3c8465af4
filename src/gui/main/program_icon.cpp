#include "gui/main/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace vocanta {

QPixmap voice_picture(int size) {
  // Drawn on a 64-unit square and scaled, so that every size shows the same picture as
  // the installed icon files.
  constexpr int kUnits = 64;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / double(kUnits), size / double(kUnits));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 70, 120));
  p.drawRoundedRect(QRectF(1, 1, kUnits - 2, kUnits - 2), 10, 10);
  QPainterPath wave;
  for (int x = 6; x <= kUnits - 6; ++x) {
    const double t = (x - 6) / double(kUnits - 12) * 3 * 2 * std::numbers::pi;
    const double y = std::sin(t) + 0.5 * std::sin(2 * t + 0.7) + 0.25 * std::sin(3 * t + 1.1);
    const QPointF point(x, kUnits / 2.0 - y * 13);
    if (x == 6)
      wave.moveTo(point);
    else
      wave.lineTo(point);
  }
  QPen pen(QColor(250, 210, 90), 2.2);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(wave);
  return pixmap;
}

QIcon program_icon() {
  QIcon drawn;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) drawn.addPixmap(voice_picture(size));
  return QIcon::fromTheme(kDesktopId, drawn);
}

}  // namespace vocanta
