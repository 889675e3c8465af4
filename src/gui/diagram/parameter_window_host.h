#pragma once

#include <QCursor>
#include <QString>
#include <cstdint>

namespace vocanta {

class BackgroundViews;
class ParameterWindow;
struct TCurvePoint;

// What a parameter window needs of the windows around it: the other diagrams, the
// point editor and the shared cursors.
class ParameterWindowHost {
 public:
  virtual ~ParameterWindowHost() = default;
  // The View menu's "Parameter sync cursor".
  virtual bool parameter_sync_cursor() const = 0;
  // draw_sync_cursor on all 23 parameter windows.
  virtual void draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) = 0;
  // The window was shown: the point editor's visibility follows.
  virtual void parameter_window_shown(ParameterWindow& window) = 0;
  // The window became active: it is the point editor's target (activeWindow).
  virtual void parameter_window_activated(ParameterWindow& window) = 0;
  // The window was closed (hidden): the point editor shows no point, the main window
  // comes forward.
  virtual void parameter_window_closed(ParameterWindow& window) = 0;
  // "Search?" was answered Yes for a missing background: the point editor's Open,
  // preset with path, for this window.
  virtual void search_background(ParameterWindow& window, const QString& path) = 0;
  // What the window's background steps reach the windows through, by parameter index.
  virtual BackgroundViews& background_views() = 0;
  // The point editor shows the point (none: empty fields) of the window it works on.
  virtual void show_point(const TCurvePoint* point) = 0;
  // The registered cursor of an editing mode: 1 DELPOINT, 2 ADDPOINT, 3 MOVPOINT,
  // 4 MOVHOR, 5 MOVVER, 6 MOVBACK.
  virtual QCursor edit_cursor(int number) const = 0;
};

}  // namespace vocanta
