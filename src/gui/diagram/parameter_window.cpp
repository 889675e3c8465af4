#include "gui/diagram/parameter_window.h"

#include <QCloseEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>
#include <exception>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/prompter.h"
#include "core/support/vocanta_error.h"
#include "gui/diagram/diagram_view.h"
#include "gui/diagram/parameter_window_host.h"
#include "gui/platform/error_report.h"
#include "gui/platform/qt_text.h"

namespace vocanta {

namespace {

bool is_enter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The registered cursor of a mode; 0 is the standard arrow.
int cursor_number(EditMode mode) {
  switch (mode) {
    case EditMode::Add:
      return 2;
    case EditMode::Delete:
      return 1;
    case EditMode::Move:
      return 3;
    case EditMode::MoveBackground:
      return 6;
    default:
      return 0;
  }
}

constexpr int kEditWidth = 64;

}  // namespace

ParameterWindow::ParameterWindow(Session& session, int index, ParameterWindowHost& host,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      param_(session.voice().parameter(index)),
      host_(host) {
  setObjectName("TForm2");
  create_controls();
  diagram_ = QImage(100, 100, QImage::Format_RGB32);
  diagram_.fill(palette().color(QPalette::Base));
  displayed_ = diagram_.copy();
  image_->set_image(&displayed_);
  yMap_.vertical = true;
  apply_edit_cursor();
  resize(420, 300);
  if (!param_.title.empty()) sync_from_model();
}

ParameterWindow::~ParameterWindow() {
  // The state outlives the window; it must not keep the point an unfinished Add made.
  if (pending_ && param_.state.selectedPoint == pending_.get())
    param_.state.selectedPoint = nullptr;
}

void ParameterWindow::create_controls() {
  image_ = new DiagramView(this);
  image_->resize(100, 100);
  connect(image_, &DiagramView::pressed, this, reported(this, &ParameterWindow::diagram_press));
  connect(image_, &DiagramView::moved, this, reported(this, &ParameterWindow::diagram_move));
  connect(image_, &DiagramView::released, this, reported(this, &ParameterWindow::diagram_release));
  xlabel = new QLabel(this);
  xlabel->setObjectName("xlabel");
  ylabel = new QLabel(this);
  ylabel->setObjectName("ylabel");
  ymaxedit = axis_edit("ymaxedit", "Y value at the top of the diagram", "500");
  yminedit = axis_edit("yminedit", "Y value at the bottom of the diagram", "100");
  xminedit = axis_edit("xminedit", "X value at the left of the diagram", "1");
  xmaxedit = axis_edit("xmaxedit", "X value athe right of the diagram", "5");
}

QLineEdit* ParameterWindow::axis_edit(const char* name, const char* hint, const char* text) {
  auto* edit = new QLineEdit(QString::fromLatin1(text), this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setToolTip(QString::fromLatin1(hint));
  edit->resize(kEditWidth, edit->sizeHint().height());
  edit->installEventFilter(this);
  return edit;
}

int16_t ParameterWindow::paramNumber() const {
  return param_.paramNumber;
}

void ParameterWindow::sync_from_model() {
  setWindowTitle(qt(param_.title));
  xlabel->setText(qt(param_.xCaption));
  xlabel->adjustSize();
  ylabel->setText(qt(param_.yCaption));
  ylabel->adjustSize();
  show_axis_limits();
}

void ParameterWindow::show_axis_limits() {
  xminedit->setText(qt(param_.xMin));
  xmaxedit->setText(qt(param_.xMax));
  yminedit->setText(qt(param_.yMin));
  ymaxedit->setText(qt(param_.yMax));
}

void ParameterWindow::axis_limits_changed() {
  if (layingOut_) return;
  show_axis_limits();
  lay_out();
}

void ParameterWindow::lay_out() {
  // All four fields are converted before anything changes, so that a text that is not a
  // number leaves the window as it was.
  const Limits limits = read_axis_fields();
  const QScopedValueRollback<bool> guard(layingOut_, true);
  accept_limits(limits);
  place_controls();
  xMap_.pixels = image_->width();
  yMap_.pixels = image_->height();
  xGrid_ = axis_grid(xMap_.pixels, xMap_.min, xMap_.max, param_.xGridStep);
  yGrid_ = axis_grid(yMap_.pixels, yMap_.min, yMap_.max, param_.yGridStep);
  redraw();
}

ParameterWindow::Limits ParameterWindow::read_axis_fields() {
  const char separator = session_.decimal_separator();
  std::exception_ptr refused;
  const auto number = [separator, &refused](QLineEdit* edit, const std::string& inUse) {
    try {
      return parse_number(edit->text().toStdString(), separator);
    } catch (const VocantaError&) {
      // The drawing keeps the limit in use; the field must not claim another.
      edit->setText(qt(inUse));
      if (!refused) refused = std::current_exception();
      return 0.0;
    }
  };
  const Limits limits{number(xminedit, param_.xMin), number(xmaxedit, param_.xMax),
                      number(yminedit, param_.yMin), number(ymaxedit, param_.yMax)};
  if (refused) std::rethrow_exception(refused);
  return limits;
}

void ParameterWindow::accept_limits(const Limits& limits) {
  // An empty or reversed range has no pixel scale; the last good limits stay.
  if (limits.xMax > limits.xMin) {
    xMap_.min = limits.xMin;
    xMap_.max = limits.xMax;
    session_.set_x_limits(param_.index(),
                          {xminedit->text().toStdString(), xmaxedit->text().toStdString()});
  } else {
    xminedit->setText(qt(param_.xMin));
    xmaxedit->setText(qt(param_.xMax));
    session_.prompter().message(
        "The upper limit of the x axis must be greater than the lower limit");
  }
  if (limits.yMax > limits.yMin) {
    yMap_.min = limits.yMin;
    yMap_.max = limits.yMax;
    session_.set_y_limits(param_.index(),
                          {yminedit->text().toStdString(), ymaxedit->text().toStdString()});
  } else {
    yminedit->setText(qt(param_.yMin));
    ymaxedit->setText(qt(param_.yMax));
    session_.prompter().message(
        "The upper limit of the y axis must be greater than the lower limit");
  }
}

QSize ParameterWindow::smallest_size() const {
  return QSize(ymaxedit->width() + xlabel->width() + xmaxedit->width() + xminedit->width() + 6,
               ymaxedit->height() + yminedit->height() + ylabel->height() + xmaxedit->height() + 6);
}

void ParameterWindow::place_controls() {
  const QSize smallest = smallest_size();
  if (width() < smallest.width() || height() < smallest.height())
    resize(size().expandedTo(smallest));
  const int cw = width();
  const int ch = height();
  ymaxedit->move(2, 2);
  xmaxedit->move(cw - xmaxedit->width() - 4, ch - xmaxedit->height() - 2);
  yminedit->move(ymaxedit->x(), xmaxedit->y() - yminedit->height() - 2);
  xminedit->move(yminedit->x() + yminedit->width() + 2, xmaxedit->y());
  ylabel->move(ymaxedit->x(),
               (ymaxedit->y() + ymaxedit->height() + yminedit->y()) / 2 - ylabel->height() / 2);
  xlabel->move((xminedit->x() + xminedit->width() + xmaxedit->x()) / 2 - xlabel->width() / 2,
               xmaxedit->y());
  image_->setGeometry(xminedit->x(), ymaxedit->y(),
                      xmaxedit->x() + xmaxedit->width() - xminedit->x(),
                      yminedit->y() + yminedit->height() - ymaxedit->y());
  if (!image_fits(diagram_, *image_)) diagram_ = diagram_image_for(*image_);
}

void ParameterWindow::redraw() {
  DiagramScene scene;
  scene.param = &param_;
  scene.batches = param_.state.batches;
  scene.x = x_mapping();
  scene.y = y_mapping();
  scene.xGrid = xGrid_;
  scene.yGrid = yGrid_;
  scene.majorGrid = majorGrid;
  scene.minorGrid = minorGrid;
  scene.background = &background;
  scene.backgroundVisible = backgroundVisible;
  scene.backgroundAt = QPoint(backgroundLeft, backgroundTop);
  scene.window = palette().color(QPalette::Base);
  paint_diagram(diagram_, scene);
  syncErased = true;
  displayed_ = diagram_.copy();
  image_->update();
}

void ParameterWindow::curves_changed() {
  if (!pressed_) redraw();
}

AxisMapping ParameterWindow::x_mapping() const {
  // The snap steps are read when used: the settings dialog changes the tweenie step.
  AxisMapping m = xMap_;
  m.snapStep = param_.xGridStep;
  m.snapOffset = param_.xGridOffset;
  m.vertical = false;
  return m;
}

AxisMapping ParameterWindow::y_mapping() const {
  AxisMapping m = yMap_;
  m.snapStep = param_.yGridStep;
  m.snapOffset = param_.yGridOffset;
  m.vertical = true;
  return m;
}

double ParameterWindow::x_to_value(int X) const {
  return x_mapping().to_value(X);
}

double ParameterWindow::y_to_value(int Y) const {
  return y_mapping().to_value(Y);
}

int ParameterWindow::value_to_x(double v) const {
  return x_mapping().to_pixel(v);
}

int ParameterWindow::value_to_y(double v) const {
  return y_mapping().to_pixel(v);
}

void ParameterWindow::show_cursor_position(int X, int Y) {
  const double x = x_to_value(X);
  const double y = y_to_value(Y);
  const char separator = session_.decimal_separator();
  const std::string caption =
      param_.title + " " + param_.xLabel + "=" + format_fixed3(x, separator) + param_.xUnit + " " +
      param_.yLabel + "=" + format_fixed3(y, separator) + param_.yUnit + " " + cursor_info(x);
  setWindowTitle(qt(caption));
  if (host_.parameter_sync_cursor())
    host_.draw_sync_cursors(param_.xQuantity, param_.yQuantity, x, y);
}

std::string ParameterWindow::cursor_info(double x) {
  const char separator = session_.decimal_separator();
  CurveState& s = param_.state;
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on " " + a temporary.
  std::string info = " ";
  if (s.currentCurve) {
    const int16_t n = s.currentCurve->number;
    info.append(format_fixed3(curve_value(s, n, x), separator)).append(param_.yUnit);
    info.append(" ").append(std::to_string(n));
  } else if (!s.curves && param_.showDefault) {
    info.append(format_fixed3(curve_value(s, 0, x), separator)).append(param_.yUnit);
    info.append(" by default");
  }
  return info;
}

void ParameterWindow::draw_sync_cursor(int16_t sqX, int16_t sqY, double xv, double yv) {
  if (!isVisible()) return;
  int column = -1;
  if (sqY == param_.xQuantity) column = value_to_x(yv);
  if (sqX == param_.xQuantity) column = value_to_x(xv);
  int row = -1;
  if (sqX == param_.yQuantity) row = value_to_y(xv);
  if (sqY == param_.yQuantity) row = value_to_y(yv);
  invert_sync_lines(column, row);
}

void ParameterWindow::invert_sync_lines(int column, int row) {
  // A line off the picture draws nothing; -1 stands for all of them in 16 bits.
  const auto inside = [](int v, int size) { return v >= 0 && v < size ? v : -1; };
  const QSize size = displayed_.deviceIndependentSize().toSize();
  column = inside(column, size.width());
  row = inside(row, size.height());
  QPainter p(&displayed_);
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.setPen(QPen(Qt::black, 0));
  const auto lines = [&](int x, int y) {
    if (x >= 0) p.drawLine(x, 0, x, size.height() - 1);
    if (y >= 0) p.drawLine(0, y, size.width() - 1, y);
  };
  // Inverting again restores what was under the old lines, without a redraw.
  if (!syncErased) lines(syncX, syncY);
  lines(column, row);
  syncX = static_cast<int16_t>(column);
  syncY = static_cast<int16_t>(row);
  syncErased = false;
  image_->update();
}

void ParameterWindow::set_edit_mode(EditMode mode) {
  editMode = mode;
  apply_edit_cursor();
}

void ParameterWindow::apply_edit_cursor() {
  const int number = cursor_number(editMode);
  image_->setCursor(number ? host_.edit_cursor(number) : QCursor(Qt::ArrowCursor));
}

void ParameterWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (param_.xQuantity == quantity::kTime) {
    const AxisTexts range = time_range(session_.voice().settings);
    xminedit->setText(qt(range.min));
    xmaxedit->setText(qt(range.max));
  }
  apply_edit_cursor();
  host_.parameter_window_shown(*this);
  image_->setFocus();
  lay_out();
}

void ParameterWindow::closeEvent(QCloseEvent* event) {
  // Closing only hides: the window and its curves live as long as the program.
  event->accept();
  host_.parameter_window_closed(*this);
}

void ParameterWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    host_.parameter_window_activated(*this);
}

void ParameterWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Before the first show, Show lays the window out itself.
  if (isVisible() && !layingOut_) lay_out();
}

void ParameterWindow::keyPressEvent(QKeyEvent* event) {
  if (is_enter(event)) {
    lay_out();
    event->accept();
  } else {
    QWidget::keyPressEvent(event);
  }
}

bool ParameterWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool axisField =
      watched == xminedit || watched == xmaxedit || watched == yminedit || watched == ymaxedit;
  if (axisField && is_enter(event)) {
    lay_out();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vocanta
