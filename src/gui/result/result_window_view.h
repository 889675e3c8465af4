#pragma once

#include <QWidget>

#include "gui/result/result_painter.h"

namespace vocanta {

// The picture of the result window and what the mouse does on it: the wheel zooms the
// time around the pointer, a drag with the left button scrolls, a click puts the time
// cursor there and a double-click shows the whole sound again.
class ResultView : public QWidget {
  Q_OBJECT

 public:
  ResultView(ResultPainter& painter, QWidget* parent);
  QSize sizeHint() const override { return {900, 560}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  ResultPainter& painter_;
  double lastX_ = 0;
  double pressX_ = 0;
  bool dragging_ = false;
};

}  // namespace vocanta
