#include "gui/diagram/parameter_windows.h"

#include <QWidget>
#include <algorithm>

#include "core/document/session.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor.h"

namespace vocanta {

ParameterWindows::ParameterWindows(Session& session, QWidget* owner)
    : QObject(owner), session_(session), owner_(owner) {
  pointEditor_ = new PointEditor(session, *this, owner);
  for (int i = 0; i < kParameterCount; ++i)
    windows_[static_cast<size_t>(i)] = new ParameterWindow(session, i, *this, owner);
  session_.voice().events.add(this);
  session_.set_picture_store(this);
}

ParameterWindows::~ParameterWindows() {
  session_.set_picture_store(nullptr);
  session_.voice().events.remove(this);
}

void ParameterWindows::model_changed(const ModelChange& change) {
  using Kind = ModelChange::Kind;
  switch (change.kind) {
    case Kind::Everything:
      sync_all();
      break;
    case Kind::TweenieCount:
      window(param::kTweenieSpectrum).lay_out();
      break;
    case Kind::Curves:
      if (change.index >= 0) window(change.index).curves_changed();
      break;
    case Kind::AxisLimits:
      window(change.index).axis_limits_changed();
      break;
    default:
      break;
  }
  refresh_point_editor(change);
}

void ParameterWindows::refresh_point_editor(const ModelChange& change) {
  // An undone or redone step may have moved, freed or deselected the point on show; the
  // steps of an Enter wait until it has read all its fields.
  using Kind = ModelChange::Kind;
  const bool shown =
      change.kind == Kind::Everything || change.kind == Kind::Batches ||
      (change.kind == Kind::Curves && (change.index < 0 || change.index == activeWindow_ - 1));
  if (shown && !pointEditor_->entering())
    pointEditor_->show_point(window(activeWindow_ - 1).parameter().state.selectedPoint);
}

void ParameterWindows::sync_all() {
  for (ParameterWindow* w : windows_) w->sync_from_model();
  lay_out_all();
}

void ParameterWindows::show_all() {
  for (ParameterWindow* w : windows_) w->show();
  sync_editor_visibility();
}

void ParameterWindows::show_used() {
  for (ParameterWindow* w : windows_)
    if (w->parameter().state.curves) w->show();
  sync_editor_visibility();
}

void ParameterWindows::hide_unused() {
  for (ParameterWindow* w : windows_)
    if (!w->parameter().state.curves) w->hide();
  sync_editor_visibility();
}

void ParameterWindows::hide_all() {
  for (ParameterWindow* w : windows_) w->hide();
  sync_editor_visibility();
}

bool ParameterWindows::any_visible() const {
  for (const ParameterWindow* w : windows_)
    if (w->isVisible()) return true;
  return false;
}

void ParameterWindows::sync_editor_visibility() {
  const bool any = any_visible();
  if (any && !pointEditor_->isVisible() && !editorPlaceKept_) place_editor();
  pointEditor_->setVisible(any);
  emit editorVisibilityChanged(any);
}

void ParameterWindows::place_editor() {
  // The editor's frame goes just below the main window's frame. Its frame is known once
  // its window exists, except where the window manager frames it only when it is first
  // mapped: a move then places the client area, and the main window's frame stands in
  // for the one the editor will get.
  pointEditor_->winId();
  const QRect main = owner_->frameGeometry();
  QPoint at(main.left(), main.top() + main.height());
  if (pointEditor_->frameGeometry() == pointEditor_->geometry())
    at += owner_->geometry().topLeft() - main.topLeft();
  pointEditor_->move(at);
}

void ParameterWindows::lay_out_all() {
  for (ParameterWindow* w : windows_) w->lay_out();
}

void ParameterWindows::redraw_all() {
  for (ParameterWindow* w : windows_) w->redraw();
}

void ParameterWindows::clear_backgrounds() {
  for (ParameterWindow* w : windows_) w->clear_background();
}

void ParameterWindows::show_parameter(int index) {
  window(index).show();
  set_active_window(index);
}

void ParameterWindows::set_active_window(int index) {
  ParameterWindow& w = window(index);
  activeWindow_ = w.paramNumber();
  pointEditor_->set_up(w);
}

int ParameterWindows::index_of(const ParameterWindow& w) const {
  // By place rather than by paramNumber, which is 0 until the definitions are installed.
  return static_cast<int>(std::find(windows_.begin(), windows_.end(), &w) - windows_.begin());
}

void ParameterWindows::show_point(const TCurvePoint* point) {
  pointEditor_->show_point(point);
}

void ParameterWindows::load_background(int index, const QString& path) {
  window(index).load_background(path);
}

void ParameterWindows::apply_background(int index, const BackgroundState& state) {
  window(index).set_background_state(state);
}

PictureStore::Kind ParameterWindows::picture_kind(int index) const {
  switch (windows_[static_cast<size_t>(index)]->background.kind()) {
    case BackgroundPicture::Kind::Bitmap:
      return Kind::Bitmap;
    case BackgroundPicture::Kind::Metafile:
      return Kind::Metafile;
    default:
      return Kind::None;
  }
}

void ParameterWindows::save_picture(int index, const std::string& path) const {
  windows_[static_cast<size_t>(index)]->background.save(QString::fromStdString(path));
}

void ParameterWindows::draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) {
  for (ParameterWindow* w : windows_) w->draw_sync_cursor(xQuantity, yQuantity, x, y);
  if (!timeCursorListener_) return;
  if (xQuantity == quantity::kTime)
    timeCursorListener_(x);
  else if (yQuantity == quantity::kTime)
    timeCursorListener_(y);
}

void ParameterWindows::parameter_window_shown(ParameterWindow&) {
  sync_editor_visibility();
}

void ParameterWindows::parameter_window_activated(ParameterWindow& window) {
  set_active_window(index_of(window));
}

void ParameterWindows::parameter_window_closed(ParameterWindow&) {
  pointEditor_->show_point(nullptr);
  emit windowClosed();
}

void ParameterWindows::search_background(ParameterWindow& window, const QString& path) {
  set_active_window(index_of(window));
  pointEditor_->open_background(path);
}

}  // namespace vocanta
