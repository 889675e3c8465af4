#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "core/model/diagram_grid.h"
#include "gui/diagram/background_views.h"
#include "gui/platform/background_picture.h"

class QLabel;
class QLineEdit;
class QMouseEvent;

namespace vocanta {

class DiagramView;
class ParameterWindowHost;
class EditCommand;
class Session;
struct Parameter;
struct TCurvePoint;

// Editing modes of the diagram; the point editor's buttons set them. Each shows its own
// mouse cursor over the diagram.
enum class EditMode { Add = 1, Delete = 2, Move = 3, Mark = 4, MoveBackground = 6 };

// The window of one voice parameter: its curves in a diagram between four axis limits,
// with grids, background picture, batch ranges and the synchronised cursor. The
// caption is the status line of the value under the mouse.
class ParameterWindow : public QWidget {
  Q_OBJECT

 public:
  ParameterWindow(Session& session, int index, ParameterWindowHost& host,
                  QWidget* parent = nullptr);
  ~ParameterWindow() override;

  Parameter& parameter() { return param_; }
  Session& session() { return session_; }
  int16_t paramNumber() const;

  // Shows the definition, captions and axis texts that the model holds now (after
  // New, a document read or the settings dialog).
  void sync_from_model();
  // The model's axis limits of this parameter changed: shown and laid out, unless the
  // window set them itself while laying out.
  void axis_limits_changed();

  // Takes the axis fields, places the controls, recomputes the grids and redraws.
  // Limits that are not numbers raise the conversion message and limits with max <= min
  // are refused with a message; either way the fields show the previous limits again.
  void lay_out();
  // The smallest size that still shows the four axis fields and the labels apart.
  QSize smallest_size() const;
  void redraw();
  // The model's curves of this parameter changed (a step, undo, redo): redrawn, except
  // during a drag, which shows its result at the release.
  void curves_changed();
  void show_cursor_position(int X, int Y);
  void draw_sync_cursor(int16_t sqX, int16_t sqY, double xv, double yv);
  void load_background(const QString& fileName);
  void clear_background();

  // The point editor's background buttons. Open, Paste and Clear are undoable steps;
  // Paste says "Unsupported clipboard data format" when the clipboard holds no picture.
  void open_background(const QString& fileName);
  void paste_background();
  void clear_background_step();
  void show_background(bool visible);
  void copy_background() const;
  BackgroundState background_state() const;
  // Takes over a state (undo, redo) and redraws.
  void set_background_state(const BackgroundState& state);

  // Widens the axis fields, as a release past an edge does, so that the point and its
  // batch handles are in view after the next layout.
  void grow_axes_to_show(const TCurvePoint& p);

  // Sets editMode and the cursor shown over the diagram.
  void set_edit_mode(EditMode mode);
  // The point whose handle lies nearest to the pixel, within 40 pixels; makes its curve
  // current and records the handle in the point. None (and no current curve) otherwise.
  TCurvePoint* hit_test(int X, int Y);

  double x_to_value(int X) const;
  double y_to_value(int Y) const;
  int value_to_x(double v) const;
  int value_to_y(double v) const;

  const AxisGrid& x_grid() const { return xGrid_; }
  const AxisGrid& y_grid() const { return yGrid_; }
  // The off-screen picture and the image on display (with the cursor lines).
  const QImage& diagram() const { return diagram_; }
  const QImage& displayed() const { return displayed_; }
  DiagramView* image() const { return image_; }

  EditMode editMode = EditMode::Add;
  int16_t dragX = 0, dragY = 0;
  bool majorGrid = true;
  bool minorGrid = true;
  BackgroundPicture background;
  bool backgroundVisible = false;
  int16_t backgroundLeft = 0, backgroundTop = 0;
  int16_t syncX = -1, syncY = -1;
  bool syncErased = true;

  QLabel* xlabel = nullptr;
  QLabel* ylabel = nullptr;
  QLineEdit* xminedit = nullptr;
  QLineEdit* xmaxedit = nullptr;
  QLineEdit* yminedit = nullptr;
  QLineEdit* ymaxedit = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Limits {
    double xMin, xMax, yMin, yMax;
  };

  void create_controls();
  QLineEdit* axis_edit(const char* name, const char* hint, const char* text);
  void show_axis_limits();
  Limits read_axis_fields();
  void accept_limits(const Limits& limits);
  void place_controls();
  void apply_edit_cursor();
  void diagram_press(QMouseEvent* event);
  void diagram_move(QMouseEvent* event);
  void diagram_release(QMouseEvent* event);
  void press_on_point(int X, int Y);
  void drag_point(int X, int Y, Qt::KeyboardModifiers keys);
  void drag_background(int X, int Y, Qt::KeyboardModifiers keys);
  void link_pending_point();
  void release_delete(int X, int Y);
  void finish_release(int X, int Y);
  void grow_axes(int X, int Y);
  void move_pointer_to(int X, int Y);
  void invert_background_outline();
  void apply_step(std::unique_ptr<EditCommand> step);
  void apply_background_step(const BackgroundState& before, const BackgroundState& after,
                             const char* caption, bool modifiesDocument);
  std::string cursor_info(double x);
  AxisMapping x_mapping() const;
  AxisMapping y_mapping() const;
  void invert_sync_lines(int column, int row);

  Session& session_;
  Parameter& param_;
  ParameterWindowHost& host_;
  DiagramView* image_ = nullptr;
  QImage diagram_;
  QImage displayed_;
  AxisGrid xGrid_, yGrid_;
  AxisMapping xMap_, yMap_;
  bool layingOut_ = false;
  // One press–drag–release on the diagram: the point an Add press made, outside every
  // curve until the release links it in, the undo group of its steps and where a
  // background move began.
  bool pressed_ = false;
  std::unique_ptr<TCurvePoint> pending_;
  uint64_t dragGroup_ = 0;
  BackgroundState moveStart_;
  // Where the press put the pointer: the move that brings it there is not the user's.
  QPoint warped_{-32768, -32768};
};

}  // namespace vocanta
