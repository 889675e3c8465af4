#include "gui/diagram/parameter_windows.h"

#include <QWidget>

#include "core/document/session.h"
#include "core/support/prompter.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor_window.h"

namespace vocanta {

ParameterWindows::ParameterWindows(Session& session, QWidget* owner)
    : QObject(owner), session_(session), owner_(owner) {
  pointEditor_ = new TForm5(owner);
  for (int i = 0; i < kParameterCount; ++i)
    windows_[static_cast<size_t>(i)] = new TForm2(session, i, *this, owner);
  session_.voice().events.add(this);
}

ParameterWindows::~ParameterWindows() {
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
    default:
      break;
  }
}

void ParameterWindows::sync_all() {
  for (TForm2* w : windows_) w->sync_from_model();
  lay_out_all();
}

void ParameterWindows::show_all() {
  for (TForm2* w : windows_) w->show();
  sync_editor_visibility();
}

void ParameterWindows::show_used() {
  for (TForm2* w : windows_)
    if (w->parameter().state.curves) w->show();
  sync_editor_visibility();
}

void ParameterWindows::hide_unused() {
  for (TForm2* w : windows_)
    if (!w->parameter().state.curves) w->hide();
  sync_editor_visibility();
}

void ParameterWindows::hide_all() {
  for (TForm2* w : windows_) w->hide();
  sync_editor_visibility();
}

bool ParameterWindows::any_visible() const {
  for (const TForm2* w : windows_)
    if (w->isVisible()) return true;
  return false;
}

void ParameterWindows::sync_editor_visibility() {
  const bool any = any_visible();
  if (any && !pointEditor_->isVisible())
    pointEditor_->move(owner_->frameGeometry().bottomLeft() + QPoint(0, 1));
  pointEditor_->setVisible(any);
  emit editorVisibilityChanged(any);
}

void ParameterWindows::lay_out_all() {
  for (TForm2* w : windows_) w->lay_out();
}

void ParameterWindows::redraw_all() {
  for (TForm2* w : windows_) w->redraw();
}

void ParameterWindows::clear_backgrounds() {
  for (TForm2* w : windows_) w->clear_background();
}

void ParameterWindows::show_parameter(int index) {
  TForm2& w = window(index);
  w.show();
  activeWindow_ = w.paramNumber();
}

void ParameterWindows::load_background(int index, const QString& path) {
  window(index).load_background(path);
}

void ParameterWindows::draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) {
  for (TForm2* w : windows_) w->draw_sync_cursor(xQuantity, yQuantity, x, y);
}

void ParameterWindows::parameter_window_shown(TForm2&) {
  sync_editor_visibility();
}

void ParameterWindows::parameter_window_activated(TForm2& window) {
  activeWindow_ = window.paramNumber();
}

void ParameterWindows::parameter_window_closed(TForm2&) {
  emit windowClosed();
}

void ParameterWindows::search_background(TForm2& window, const QString& path) {
  // The point editor's Open, preset with the missing file's name.
  activeWindow_ = window.paramNumber();
  const std::string chosen = session_.prompter().open_file_name(
      "Open background", "Pictures (*.bmp *.png *.jpg)|*.bmp;*.png;*.jpg|Any file (*.*)|*.*",
      path.toStdString());
  if (!chosen.empty()) window.load_background(QString::fromStdString(chosen));
}

}  // namespace vocanta
