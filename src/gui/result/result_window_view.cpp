#include "gui/result/result_window_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace vocanta {
namespace {

// A press that moves less than this is a click, not a drag.
constexpr double kDragDistance = 3;

}  // namespace

ResultView::ResultView(ResultPainter& painter, QWidget* parent)
    : QWidget(parent), painter_(painter) {
  setObjectName("resultView");
  setMinimumSize(420, 300);
}

void ResultView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  painter_.paint(p, size());
}

void ResultView::wheelEvent(QWheelEvent* event) {
  // One notch of the wheel shows a fifth less, or a quarter more, time.
  const double notches = event->angleDelta().y() / 120.0;
  painter_.zoom(std::pow(0.8, notches), event->position().x(), size());
  update();
  event->accept();
}

void ResultView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressX_ = lastX_ = event->position().x();
  dragging_ = false;
}

void ResultView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const double x = event->position().x();
  dragging_ = dragging_ || std::abs(x - pressX_) >= kDragDistance;
  if (!dragging_) return;
  // The sound follows the pointer, as paper pulled by hand.
  painter_.pan(lastX_ - x, size());
  lastX_ = x;
  update();
}

void ResultView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || dragging_) return;
  const double t = painter_.axis(size()).t_of(event->position().x());
  painter_.set_cursor_time(std::clamp(t, 0.0, painter_.duration()));
  update();
}

void ResultView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  painter_.show_whole();
  update();
}

}  // namespace vocanta
