#include "gui/diagram/diagram_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <vector>

#include "core/model/batch_list.h"
#include "core/model/voice.h"

namespace vocanta {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

// Which value of a point a polyline runs through.
enum class Through { Y, BatchStart, BatchEnd };

class DiagramPainter {
 public:
  // Sizes in the view's pixels: on a dense screen the image holds more of its own.
  DiagramPainter(QImage& target, const DiagramScene& scene)
      : p_(&target),
        s_(scene),
        w_(qRound(target.width() / target.devicePixelRatio())),
        h_(qRound(target.height() / target.devicePixelRatio())) {}

  void paint();

 private:
  void grid(const GridLines& xLines, const GridLines& yLines, const QColor& colour);
  void curve(const TCurve& k);
  void batch_polylines(const TCurve& k, Through through, const QColor& colour);
  void curve_line(const TCurve& k);
  void point_squares(const TCurve& k);
  void polyline(std::vector<QPoint> vertices, const QColor& colour);
  void square(QPoint at, int half, const QColor& colour);
  void pen(const QColor& colour) { p_.setPen(QPen(colour, 0, style_)); }
  QPoint at(const TCurvePoint& pt, double value) const {
    return {s_.x.to_pixel(pt.x), s_.y.to_pixel(value)};
  }

  QPainter p_;
  const DiagramScene& s_;
  int w_, h_;
  Qt::PenStyle style_ = Qt::SolidLine;
};

void DiagramPainter::paint() {
  p_.fillRect(0, 0, w_, h_, s_.window);
  if (s_.backgroundVisible && s_.background) s_.background->draw(p_, s_.backgroundAt);
  if (s_.minorGrid) grid(s_.xGrid.minor, s_.yGrid.minor, kSilver);
  if (s_.majorGrid) grid(s_.xGrid.major, s_.yGrid.major, kGrey);
  const Parameter& param = *s_.param;
  if (!param.state.curves && param.showDefault) {
    pen(kRed);
    const int y = s_.y.to_pixel(param.state.defaultValue);
    p_.drawLine(0, y, w_ - 1, y);
  }
  for (const TCurve* k = param.state.curves; k; k = k->next) curve(*k);
}

void DiagramPainter::grid(const GridLines& xLines, const GridLines& yLines, const QColor& colour) {
  style_ = Qt::SolidLine;
  pen(colour);
  for (int i = 0; i <= xLines.count; ++i) {
    const int x = s_.x.to_pixel(xLines.start + i * xLines.step);
    p_.drawLine(x, 0, x, h_ - 1);
  }
  for (int i = 0; i <= yLines.count; ++i) {
    const int y = s_.y.to_pixel(yLines.start + i * yLines.step);
    p_.drawLine(0, y, w_ - 1, y);
  }
}

void DiagramPainter::curve(const TCurve& k) {
  if (!k.points) return;
  const Parameter& param = *s_.param;
  style_ = param.multiCurve && &k != param.state.currentCurve ? Qt::DotLine : Qt::SolidLine;
  batch_polylines(k, Through::BatchEnd, kBlue);
  batch_polylines(k, Through::BatchStart, kGreen);
  curve_line(k);
  point_squares(k);
}

void DiagramPainter::batch_polylines(const TCurve& k, Through through, const QColor& colour) {
  const int count = s_.batches ? s_.batches->batch_count() : 0;
  for (int i = 1; i <= count; ++i) {
    const int16_t id = s_.batches->nth_batch_id(i);
    std::vector<QPoint> vertices;
    for (const TCurvePoint* pt = k.points; pt; pt = pt->next) {
      double v = pt->y;
      if (pt->batch == id)
        v = through == Through::BatchEnd ? pt->batchY + pt->batchRange : pt->batchY;
      vertices.push_back(at(*pt, v));
    }
    for (const QPoint& v : vertices) square(v, 2, colour);
    polyline(std::move(vertices), colour);
  }
}

void DiagramPainter::polyline(std::vector<QPoint> vertices, const QColor& colour) {
  // The line runs on flat from the first vertex to the left edge and from the last to
  // the right edge, as the curve's value does.
  vertices.insert(vertices.begin(), QPoint(0, vertices.front().y()));
  vertices.push_back(QPoint(w_ - 1, vertices.back().y()));
  pen(colour);
  p_.drawPolyline(vertices.data(), static_cast<int>(vertices.size()));
}

void DiagramPainter::curve_line(const TCurve& k) {
  QPoint from(0, at(*k.points, k.points->y).y());
  const auto segment = [&](QPoint to) {
    if (s_.backgroundVisible) {
      // A white edge above and below keeps the curve readable on any picture.
      pen(kWhite);
      p_.drawLine(from - QPoint(0, 1), to - QPoint(0, 1));
      p_.drawLine(from + QPoint(0, 1), to + QPoint(0, 1));
    }
    pen(kBlack);
    p_.drawLine(from, to);
    from = to;
  };
  const TCurvePoint* last = k.points;
  for (const TCurvePoint* pt = k.points; pt; pt = pt->next) {
    segment(at(*pt, pt->y));
    if (pt->batch != 0) {
      const QPoint start = at(*pt, pt->batchY);
      pen(kBlack);
      p_.drawLine(from, start);
      pen(kBlue);
      p_.drawLine(start, at(*pt, pt->batchY + pt->batchRange));
    }
    last = pt;
  }
  segment(QPoint(w_ - 1, at(*last, last->y).y()));
}

void DiagramPainter::point_squares(const TCurve& k) {
  const Parameter& param = *s_.param;
  const bool other = param.multiCurve && &k != param.state.currentCurve;
  for (const TCurvePoint* pt = k.points; pt; pt = pt->next)
    if (pt == param.state.selectedPoint) square(at(*pt, pt->y), 3, kGreen);
  for (const TCurvePoint* pt = k.points; pt; pt = pt->next) {
    square(at(*pt, pt->y), 2, other ? kGrey : kRed);
    square(at(*pt, pt->y), 1, kWhite);
  }
}

void DiagramPainter::square(QPoint at, int half, const QColor& colour) {
  // From at - half to at + half inclusive, filled with the window colour.
  const int side = 2 * half;
  p_.fillRect(at.x() - half, at.y() - half, side + 1, side + 1, s_.window);
  pen(colour);
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(at.x() - half, at.y() - half, side, side);
}

}  // namespace

void paint_diagram(QImage& target, const DiagramScene& scene) {
  DiagramPainter(target, scene).paint();
}

QImage diagram_image_for(const QWidget& view) {
  const qreal ratio = view.devicePixelRatioF();
  QImage image(view.size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  return image;
}

bool image_fits(const QImage& image, const QWidget& view) {
  return image.devicePixelRatio() == view.devicePixelRatioF() &&
         image.size() == view.size() * view.devicePixelRatioF();
}

DiagramView::DiagramView(QWidget* parent) : QWidget(parent) {
  setObjectName("Image1");
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The caption reports the value under the mouse also when no button is held.
  setMouseTracking(true);
  // Drawing takes the keyboard from the axis fields, whose own text undo would otherwise
  // swallow Ctrl+Z meant for the last edit of the curves.
  setFocusPolicy(Qt::ClickFocus);
}

void DiagramView::set_image(const QImage* image) {
  image_ = image;
  update();
}

void DiagramView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  if (image_) p.drawImage(0, 0, *image_);
}

void DiagramView::mousePressEvent(QMouseEvent* event) {
  emit pressed(event);
}

void DiagramView::mouseMoveEvent(QMouseEvent* event) {
  emit moved(event);
}

void DiagramView::mouseReleaseEvent(QMouseEvent* event) {
  emit released(event);
}

}  // namespace vocanta
