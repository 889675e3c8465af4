#include "gui/platform/window_places.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "gui/platform/settings_store.h"

namespace vocanta {
namespace {

constexpr const char* kSection = "Windows";

// The frame around a window: its own once it is on the screen, before that the frame of a
// window that is, since one window manager frames them all alike.
QMargins frame_margins(const QWidget& window) {
  const auto margins_of = [](const QWidget& w) {
    return QMargins(w.geometry().left() - w.frameGeometry().left(),
                    w.geometry().top() - w.frameGeometry().top(),
                    w.frameGeometry().right() - w.geometry().right(),
                    w.frameGeometry().bottom() - w.geometry().bottom());
  };
  if (window.isVisible()) return margins_of(window);
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowType() == Qt::Window && !margins_of(*w).isNull())
      return margins_of(*w);
  return {};
}

// The available area of the screen that holds the most of frame, or of the screen
// nearest to it when none does.
QRect available_area_for(const QRect& frame) {
  const QScreen* best = QGuiApplication::primaryScreen();
  int bestShare = -1;
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect shared = s->availableGeometry().intersected(frame);
    const int share = shared.isEmpty() ? 0 : shared.width() * shared.height();
    if (share > bestShare) best = s, bestShare = share;
  }
  if (bestShare == 0)
    if (const QScreen* s = QGuiApplication::screenAt(frame.center())) best = s;
  return best ? best->availableGeometry() : frame;
}

}  // namespace

QRect clamped_into(QRect frame, const QRect& area, bool fixedSize) {
  if (!fixedSize) frame.setSize(frame.size().boundedTo(area.size()));
  frame.moveLeft(std::clamp(frame.left(), area.left(),
                            std::max(area.left(), area.right() + 1 - frame.width())));
  frame.moveTop(std::clamp(frame.top(), area.top(),
                           std::max(area.top(), area.bottom() + 1 - frame.height())));
  return frame;
}

void save_window_place(SettingsStore& store, const QString& name, const QWidget& window) {
  // The frame's corner and the contents' size, as a restore takes them.
  const QRect r(window.frameGeometry().topLeft(), window.size());
  store.WriteString(kSection, name.toStdString(),
                    QString("%1,%2,%3,%4")
                        .arg(r.left())
                        .arg(r.top())
                        .arg(r.width())
                        .arg(r.height())
                        .toStdString());
}

bool restore_window_place(const SettingsStore& store, const QString& name, QWidget& window) {
  const QStringList fields =
      QString::fromStdString(store.ReadString(kSection, name.toStdString(), "")).split(',');
  if (fields.size() != 4) return false;
  int v[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    v[i] = fields[i].trimmed().toInt(&ok);
    if (!ok) return false;
  }
  const bool fixed = window.minimumSize() == window.maximumSize();
  const QSize size = fixed ? window.size() : QSize(v[2], v[3]).expandedTo(window.minimumSize());
  if (size.isEmpty()) return false;
  // A screen taken away or made smaller since must not leave a title bar out of reach.
  const QMargins margins = frame_margins(window);
  const QRect saved(QPoint(v[0], v[1]), size.grownBy(margins));
  const QRect frame = clamped_into(saved, available_area_for(saved), fixed);
  if (!fixed) window.resize(frame.size().shrunkBy(margins).expandedTo(window.minimumSize()));
  place_frame(window, frame.topLeft());
  return true;
}

void place_frame(QWidget& window, const QPoint& corner) {
  // A window not yet moved takes a move to where it already is for no move at all and
  // leaves its place to the window manager; a step aside first makes it count.
  if (window.pos() == corner) window.move(corner.x() + 1, corner.y());
  window.move(corner);
}

namespace {

// What placing a window beside an anchor works with: the anchor's screen area, the
// anchor's frame and the window's outer size.
struct PlacingSpace {
  QRect area, frame;
  QSize outer;
  // The left edge and top edge that keep the window whole on the screen.
  int left(int x) const {
    return std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
  }
  int top(int y) const {
    return std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
  }
};

std::optional<PlacingSpace> placing_space(QWidget& window, const QWidget& anchor) {
  const QScreen* screen = anchor.screen();
  if (!screen) return std::nullopt;
  // A window never sized takes its natural size only when shown: take it now.
  if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();
  const QRect frame = anchor.frameGeometry();
  // The window's frame is not known before it is shown; the anchor's frame margins stand
  // in for it.
  const QSize outer = window.size() + (frame.size() - anchor.size());
  return PlacingSpace{screen->availableGeometry(), frame, outer};
}

}  // namespace

void place_beside(QWidget& window, const QWidget& anchor) {
  const auto s = placing_space(window, anchor);
  if (!s) return;
  int left = s->frame.right() + 1;
  if (left + s->outer.width() > s->area.right() + 1) left = s->frame.left() - s->outer.width();
  window.move(s->left(left), s->top(s->frame.top()));
}

void place_at_foot(QWidget& window, const QWidget& anchor) {
  auto s = placing_space(window, anchor);
  if (!s) return;
  // Lower rather than over the anchor, while the window stays tall enough to be of use.
  const int room = s->area.bottom() - s->frame.bottom();
  const int margins = s->outer.height() - window.height();
  const int usable = std::max(window.minimumSizeHint().height(), 360);
  if (s->outer.height() > room && room - margins >= usable) {
    window.resize(window.width(), room - margins);
    s->outer.setHeight(room);
  }
  window.move(s->left(s->frame.center().x() - s->outer.width() / 2),
              s->top(s->area.bottom() + 1 - s->outer.height()));
}

}  // namespace vocanta
