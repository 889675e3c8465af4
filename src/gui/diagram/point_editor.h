#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vocanta {

class ParameterWindows;
class Session;
class ParameterWindow;
enum class EditMode;
struct PointValues;
struct TCurvePoint;

// The numeric point editor shared by all parameter windows. It edits the selected point
// and the default value of the window it works on (the one activated last), sets the
// mouse mode of every diagram, and holds that window's background and grid switches.
// Every change it makes is an undoable step of the session.
class PointEditor : public QWidget {
  Q_OBJECT

 public:
  PointEditor(Session& session, ParameterWindows& windows, QWidget* parent = nullptr);
  ~PointEditor() override;

  // Fills the point fields from the point (empty without one) and the default field
  // from the window worked on.
  void show_point(const TCurvePoint* point);
  // Takes over the captions, labels, grid switches and selected point of the window
  // that was just activated.
  void set_up(ParameterWindow& window);
  // Whether an Enter is being handled: the steps it applies must not refill the fields
  // it has still to read.
  bool entering() const { return entering_; }

  // The Open button's handler, also run for a missing background's search.
  void open_background(const QString& preset);

  QLabel* xlabel = nullptr;
  QLabel* ylabel = nullptr;
  QLineEdit* xedit = nullptr;
  QLineEdit* yedit = nullptr;
  QLabel* batchvaluelabel = nullptr;
  QLineEdit* batchyedit = nullptr;
  QLabel* ybatchlabel = nullptr;
  QLineEdit* batchrangeedit = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* batchnamecombo = nullptr;
  QLabel* defaultlabel = nullptr;
  QLineEdit* defaultedit = nullptr;
  QPushButton* addbutton = nullptr;
  QPushButton* movebutton = nullptr;
  QPushButton* deletebutton = nullptr;
  QPushButton* markbutton = nullptr;
  QPushButton* newcurvebutton = nullptr;
  QPushButton* openbutton = nullptr;
  QPushButton* savebutton = nullptr;
  QPushButton* pastebutton = nullptr;
  QPushButton* copybutton = nullptr;
  QPushButton* showbutton = nullptr;
  QPushButton* hidebutton = nullptr;
  QPushButton* backmove = nullptr;
  QPushButton* clearbutton = nullptr;
  QCheckBox* majorcheck = nullptr;
  QCheckBox* minorcheck = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window.
  void create_fields(QGridLayout* grid);
  QLineEdit* field(const char* name, const char* hint);
  QLabel* label(const char* name, const char* text);
  QPushButton* button(const char* name, const char* caption, const char* hint);
  QGroupBox* point_group();
  QGroupBox* background_group();
  QGroupBox* grid_group();
  void reserve_label_widths();
  void connect_buttons();

  // Enter in a field.
  void enter_pressed();
  void enter_point(ParameterWindow& w, TCurvePoint& p, uint64_t group);
  void enter_batch(TCurvePoint& p, PointValues& v, uint64_t group);
  int16_t batch_of(const std::string& name, uint64_t group);
  double read_field(QLineEdit* edit, bool rewrite, double shown);
  void store(TCurvePoint& p, const PointValues& v, uint64_t group);
  void fill_batch_names();

  // Buttons.
  void set_mode_everywhere(EditMode mode);
  void backmove_click();
  void newcurve_click();
  void savebutton_click();
  void copybutton_click();

  ParameterWindow& window();
  char separator() const;

  Session& session_;
  ParameterWindows& windows_;
  bool entering_ = false;
  // What the Open dialog proposes next, as it remembers its last file.
  QString openFileName_;
};

}  // namespace vocanta
