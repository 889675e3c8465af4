#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include "core/model/diagram_grid.h"
#include "gui/platform/background_picture.h"

class QMouseEvent;

namespace vocanta {

class BatchList;
struct Parameter;

// Everything one picture of a parameter's diagram is made of.
struct DiagramScene {
  const Parameter* param = nullptr;
  const BatchList* batches = nullptr;
  AxisMapping x, y;
  AxisGrid xGrid, yGrid;
  bool majorGrid = true;
  bool minorGrid = true;
  const BackgroundPicture* background = nullptr;
  bool backgroundVisible = false;
  QPoint backgroundAt;
  QColor window;  // the system's window background, also the fill of every square
};

// Paints the whole diagram into target: background colour and picture, grids, the
// default line and every curve with its batch ranges and point squares.
void paint_diagram(QImage& target, const DiagramScene& scene);
// An image to paint the view's diagram into, at the density of the view's screen, so that
// lines stay sharp where a pixel of the view is several of the screen; painted in the
// view's pixels all the same.
QImage diagram_image_for(const QWidget& view);
// Whether image is one diagram_image_for(view) would give now.
bool image_fits(const QImage& image, const QWidget& view);

// The diagram control of a parameter window: shows an image at its own size in the
// top-left corner and hands the mouse on to its window.
class DiagramView : public QWidget {
  Q_OBJECT

 public:
  explicit DiagramView(QWidget* parent = nullptr);

  // The image must outlive the view; null shows nothing.
  void set_image(const QImage* image);

 signals:
  void pressed(QMouseEvent* event);
  void moved(QMouseEvent* event);
  void released(QMouseEvent* event);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const QImage* image_ = nullptr;
};

}  // namespace vocanta
