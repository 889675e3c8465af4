// Editing a diagram with the mouse: the press, drag and release of each edit mode.
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/document/session.h"
#include "core/model/curve_commands.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "gui/diagram/background_command.h"
#include "gui/diagram/diagram_view.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_window_host.h"

namespace vocanta {

namespace {

// A handle farther than this from the pointer is out of reach.
constexpr double kReach = 40;

QPoint position(const QMouseEvent* event) {
  return event->position().toPoint();
}

}  // namespace

TCurvePoint* ParameterWindow::hit_test(int X, int Y) {
  CurveState& s = param_.state;
  s.currentCurve = nullptr;
  double best = 1e60;
  TCurvePoint* found = nullptr;
  for (TCurve* k = s.curves; k; k = k->next)
    for (TCurvePoint* p = k->points; p; p = p->next) {
      for (const PointHandle h : kPointHandles) {
        const double d = std::hypot(X - value_to_x(p->x), Y - value_to_y(handle_value(*p, h)));
        // Strictly nearer: on a tie the earlier handle, point and curve keep it.
        if (d < best) {
          best = d;
          found = p;
          s.currentCurve = k;
          p->hitHandle = h;
        }
      }
    }
  if (best > kReach) {
    s.currentCurve = nullptr;
    return nullptr;
  }
  return found;
}

void ParameterWindow::diagram_press(QMouseEvent* event) {
  const QPoint at = position(event);
  const int X = at.x(), Y = at.y();
  pressed_ = true;
  warped_ = QPoint(-32768, -32768);
  dragGroup_ = session_.new_group();
  CurveState& s = param_.state;
  switch (editMode) {
    case EditMode::Add:
      pending_ = std::make_unique<TCurvePoint>();
      pending_->x = x_to_value(X);
      pending_->y = pending_->batchY = y_to_value(Y);
      s.selectedPoint = pending_.get();
      break;
    case EditMode::Delete:
    case EditMode::Move:
    case EditMode::Mark:
      press_on_point(X, Y);
      break;
    case EditMode::MoveBackground:
      dragX = static_cast<int16_t>(X);
      dragY = static_cast<int16_t>(Y);
      moveStart_ = background_state();
      invert_background_outline();
      break;
  }
  show_cursor_position(X, Y);
  session_.document().set_modified(true);
}

void ParameterWindow::press_on_point(int X, int Y) {
  CurveState& s = param_.state;
  s.selectedPoint = hit_test(X, Y);
  if (TCurvePoint* p = s.selectedPoint) {
    // Mark always lands on the value itself, whichever handle was near.
    const PointHandle h = editMode == EditMode::Mark ? PointHandle::Value : p->hitHandle;
    move_pointer_to(value_to_x(p->x), value_to_y(handle_value(*p, h)));
  }
  if (s.selectedPoint || editMode == EditMode::Mark) redraw();
}

void ParameterWindow::move_pointer_to(int X, int Y) {
  warped_ = QPoint(X, Y);
  QCursor::setPos(image_->mapToGlobal(warped_));
}

void ParameterWindow::diagram_move(QMouseEvent* event) {
  const QPoint at = position(event);
  const int X = at.x(), Y = at.y();
  show_cursor_position(X, Y);
  if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
  // Putting the pointer onto the handle must not move the point by the rounding of the
  // pixel grid: a click without a drag leaves the numbers as they were.
  if (at == warped_) return;
  warped_ = QPoint(-32768, -32768);
  const Qt::KeyboardModifiers keys = event->modifiers();
  CurveState& s = param_.state;
  switch (editMode) {
    case EditMode::Add:
      if (pending_) {
        pending_->x = x_to_value(X);
        pending_->y = pending_->batchY = y_to_value(Y);
      }
      break;
    case EditMode::Move:
      if (s.selectedPoint) drag_point(X, Y, keys);
      break;
    case EditMode::Mark:
      if (TCurvePoint* p = hit_test(X, Y); p != s.selectedPoint) s.selectedPoint = p;
      break;
    case EditMode::MoveBackground:
      drag_background(X, Y, keys);
      return;
    case EditMode::Delete:
      break;
  }
  session_.document().set_modified(true);
}

void ParameterWindow::drag_point(int X, int Y, Qt::KeyboardModifiers keys) {
  TCurvePoint* p = param_.state.selectedPoint;
  PointValues v = values_of(*p);
  if (!(keys & Qt::ShiftModifier)) v.x = x_to_value(X);
  if (!(keys & Qt::ControlModifier)) {
    const double y = y_to_value(Y);
    if (p->hitHandle == PointHandle::Value) v.y = y;
    if (p->hitHandle == PointHandle::BatchStart) v.batchY = y;
    if (p->hitHandle == PointHandle::BatchEnd) v.batchRange = y - v.batchY;
  }
  if (v != values_of(*p))
    apply_step(
        std::make_unique<PointValuesCommand>(param_.index(), p, values_of(*p), v, "Move point"));
}

void ParameterWindow::drag_background(int X, int Y, Qt::KeyboardModifiers keys) {
  invert_background_outline();
  if (!(keys & Qt::ShiftModifier))
    backgroundLeft = static_cast<int16_t>(backgroundLeft + X - dragX);
  if (!(keys & Qt::ControlModifier))
    backgroundTop = static_cast<int16_t>(backgroundTop + Y - dragY);
  dragX = static_cast<int16_t>(X);
  dragY = static_cast<int16_t>(Y);
  invert_background_outline();
}

void ParameterWindow::invert_background_outline() {
  const QSize size = background.size();
  if (size.isEmpty()) return;
  QPainter p(&displayed_);
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(backgroundLeft, backgroundTop, size.width() - 1, size.height() - 1);
  image_->update();
}

void ParameterWindow::diagram_release(QMouseEvent* event) {
  // A release whose press went to another window (the second click of a double click
  // that closed a dialog) has nothing to finish.
  if (!pressed_) return;
  const QPoint at = position(event);
  const int X = at.x(), Y = at.y();
  const Qt::KeyboardModifiers keys = event->modifiers();
  struct Done {
    ParameterWindow& w;
    ~Done() {
      w.pressed_ = false;
      w.pending_.reset();
    }
  } done{*this};
  switch (editMode) {
    case EditMode::Add:
      if (pending_) link_pending_point();
      break;
    case EditMode::Delete:
      release_delete(X, Y);
      break;
    case EditMode::MoveBackground:
      drag_background(X, Y, keys);
      if (background_state().left != moveStart_.left || background_state().top != moveStart_.top)
        apply_step(std::make_unique<BackgroundCommand>(host_.background_views(), param_.index(),
                                                       moveStart_, background_state(),
                                                       "Move background", false));
      break;
    case EditMode::Move:
    case EditMode::Mark:
      break;
  }
  if (editMode != EditMode::Mark && editMode != EditMode::MoveBackground)
    session_.document().set_modified(true);
  finish_release(X, Y);
}

void ParameterWindow::link_pending_point() {
  // Refused (a build started meanwhile), the step takes the point with it: the
  // selection must not keep pointing at it.
  TCurvePoint* p = pending_.get();
  try {
    apply_step(std::make_unique<AddPointCommand>(param_.index(), std::move(pending_)));
  } catch (...) {
    if (param_.state.selectedPoint == p) param_.state.selectedPoint = nullptr;
    throw;
  }
}

void ParameterWindow::release_delete(int X, int Y) {
  CurveState& s = param_.state;
  TCurvePoint* p = hit_test(X, Y);
  if (!p || p != s.selectedPoint) return;
  if (p->hitHandle == PointHandle::Value) {
    apply_step(std::make_unique<DeletePointCommand>(param_.index(), p));
    return;
  }
  PointValues v = values_of(*p);
  v.batch = 0;
  v.batchY = v.y;
  v.batchRange = 0;
  apply_step(
      std::make_unique<PointValuesCommand>(param_.index(), p, values_of(*p), v, "Delete batch"));
}

void ParameterWindow::finish_release(int X, int Y) {
  CurveState& s = param_.state;
  host_.show_point(s.selectedPoint);
  if (s.currentCurve && SortPointsCommand::needed(*s.currentCurve))
    apply_step(std::make_unique<SortPointsCommand>(param_.index(), s.currentCurve));
  grow_axes(X, Y);
  pressed_ = false;
  lay_out();
}

void ParameterWindow::grow_axes(int X, int Y) {
  const char separator = session_.decimal_separator();
  const auto text = [separator](double v) {
    return QString::fromStdString(format_fixed3(v, separator));
  };
  if (X < 0) xminedit->setText(text(x_to_value(X)));
  if (X > image_->width()) xmaxedit->setText(text(x_to_value(X)));
  if (Y < 0) ymaxedit->setText(text(y_to_value(Y)));
  if (Y > image_->height()) yminedit->setText(text(y_to_value(Y)));
}

void ParameterWindow::grow_axes_to_show(const TCurvePoint& p) {
  const char separator = session_.decimal_separator();
  // Against the limits the next layout takes; a field that is no number is left for it
  // to refuse.
  const auto grow = [separator](QLineEdit* edit, double v, bool upper) {
    double limit = 0;
    if (!try_parse_number(edit->text().toStdString(), limit, separator)) return;
    if (upper ? v > limit : v < limit)
      edit->setText(QString::fromStdString(format_fixed3(v, separator)));
  };
  grow(xminedit, p.x, false);
  grow(xmaxedit, p.x, true);
  // The batch handles are part of the point as the user sees it.
  double low = p.y, high = p.y;
  if (p.batch != 0) {
    for (const double v : {p.batchY, p.batchY + p.batchRange}) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  grow(yminedit, low, false);
  grow(ymaxedit, high, true);
}

void ParameterWindow::apply_step(std::unique_ptr<EditCommand> step) {
  session_.apply(std::move(step), dragGroup_);
}

}  // namespace vocanta
