#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <utility>

#include "core/document/picture_store.h"
#include "core/model/model_observer.h"
#include "core/model/parameter_table.h"
#include "gui/diagram/background_views.h"
#include "gui/diagram/edit_cursors.h"
#include "gui/diagram/parameter_window_host.h"

class QWidget;

namespace vocanta {

class Session;
class ParameterWindow;
class PointEditor;

// The 23 parameter windows and the point editor of a session: which are shown, which
// one the point editor works on, the cursor lines they share, how they follow the
// model's changes, and the session's pictures and background views.
class ParameterWindows : public QObject,
                         public ParameterWindowHost,
                         public BackgroundViews,
                         public PictureStore,
                         private ModelObserver {
  Q_OBJECT

 public:
  // The windows are owned by owner, the main window, below which the point editor sits.
  ParameterWindows(Session& session, QWidget* owner);
  ~ParameterWindows() override;

  ParameterWindow& window(int index) { return *windows_[static_cast<size_t>(index)]; }
  PointEditor& point_editor() { return *pointEditor_; }
  // The paramNumber of the window the point editor works on.
  int active_window() const { return activeWindow_; }

  void show_all();
  void show_used();
  void hide_unused();
  void hide_all();
  bool any_visible() const;
  // The point editor is visible exactly when a parameter window is.
  void sync_editor_visibility();
  // The point editor stays where the user or Arrange put it instead of going below the
  // main window when it reappears.
  void keep_editor_place() { editorPlaceKept_ = true; }
  void lay_out_all();
  void redraw_all();
  void clear_backgrounds();
  // Shows the window and makes it the point editor's target.
  void show_parameter(int index);
  // Makes the window the point editor's target (activeWindow) and sets the editor up.
  void set_active_window(int index);
  void load_background(int index, const QString& path);
  void set_sync_cursor(bool on) { syncCursor_ = on; }
  // Told the time whenever the cursor lines move to a time: the result view follows.
  void set_time_cursor_listener(std::function<void(double)> listener) {
    timeCursorListener_ = std::move(listener);
  }

  // ParameterWindowHost
  bool parameter_sync_cursor() const override { return syncCursor_; }
  void draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) override;
  void parameter_window_shown(ParameterWindow& window) override;
  void parameter_window_activated(ParameterWindow& window) override;
  void parameter_window_closed(ParameterWindow& window) override;
  void search_background(ParameterWindow& window, const QString& path) override;
  BackgroundViews& background_views() override { return *this; }
  void show_point(const TCurvePoint* point) override;
  QCursor edit_cursor(int number) const override { return cursors_.cursor(number); }

  // BackgroundViews
  void apply_background(int index, const BackgroundState& state) override;

  // PictureStore
  Kind picture_kind(int index) const override;
  void save_picture(int index, const std::string& path) const override;

 signals:
  void editorVisibilityChanged(bool visible);
  // A parameter window was closed: the main window comes forward.
  void windowClosed();

 private:
  void model_changed(const ModelChange& change) override;
  void sync_all();
  void refresh_point_editor(const ModelChange& change);
  int index_of(const ParameterWindow& window) const;
  void place_editor();

  Session& session_;
  QWidget* owner_;
  EditCursors cursors_;
  std::array<ParameterWindow*, kParameterCount> windows_{};
  PointEditor* pointEditor_ = nullptr;
  int activeWindow_ = 1;
  bool syncCursor_ = true;
  bool editorPlaceKept_ = false;
  std::function<void(double)> timeCursorListener_;
};

}  // namespace vocanta
