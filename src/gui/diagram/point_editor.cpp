#include "gui/diagram/point_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/platform/error_report.h"
#include "gui/platform/qt_text.h"

namespace vocanta {

namespace {

// "Time[s]"; a quantity without a unit stands alone.
QString axis_text(std::string_view label, std::string_view unit) {
  return unit.empty() ? qt(label) : qt(label) + "[" + qt(unit) + "]";
}

bool is_enter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

constexpr int kFieldWidth = 90;

}  // namespace

PointEditor::PointEditor(Session& session, ParameterWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      session_(session),
      windows_(windows) {
  setObjectName("TForm5");
  setWindowTitle("Vocanta");
  auto* fields = new QGridLayout;
  create_fields(fields);
  auto* lower = new QHBoxLayout;
  lower->addWidget(background_group());
  lower->addWidget(grid_group());
  auto* all = new QVBoxLayout(this);
  all->addLayout(fields);
  all->addWidget(point_group());
  all->addLayout(lower);
  // A fixed border: the window keeps the size its controls need.
  all->setSizeConstraint(QLayout::SetFixedSize);
  reserve_label_widths();
  connect_buttons();
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  connect(Timer1, &QTimer::timeout, this, reported([this] { windows_.sync_editor_visibility(); }));
  Timer1->start(1000);
}

PointEditor::~PointEditor() = default;

void PointEditor::create_fields(QGridLayout* grid) {
  xlabel = label("xlabel", "x");
  xedit = field("xedit", "X value of the selected point");
  ylabel = label("ylabel", "y");
  yedit = field("yedit", "Y value of the selected point");
  batchvaluelabel = label("batchvaluelabel", "Batch y");
  batchyedit = field("batchyedit", "");
  ybatchlabel = label("ybatchlabel", "Batch range");
  batchrangeedit = field("batchrangeedit", "Y value varies this much within the batch");
  Label2 = label("Label2", "Batch name");
  batchnamecombo = new QComboBox(this);
  batchnamecombo->setObjectName("batchnamecombo");
  batchnamecombo->setToolTip("The name of the batch for this point");
  batchnamecombo->setEditable(true);
  // The list is the voice's batches; a name typed here becomes a batch only on Enter.
  batchnamecombo->setInsertPolicy(QComboBox::NoInsert);
  batchnamecombo->addItem("Batch 1");
  batchnamecombo->setEditText("");
  batchnamecombo->installEventFilter(this);
  batchnamecombo->lineEdit()->installEventFilter(this);
  defaultlabel = label("defaultlabel", "Default value");
  defaultedit = field("defaultedit", "The Y value if no points are set");
  newcurvebutton = button("newcurvebutton", "&New curve", "Adds another curve to the diagram");

  grid->addWidget(xlabel, 0, 0);
  grid->addWidget(xedit, 0, 1);
  grid->addWidget(ylabel, 0, 2);
  grid->addWidget(yedit, 0, 3);
  grid->addWidget(batchvaluelabel, 1, 0);
  grid->addWidget(batchyedit, 1, 1);
  grid->addWidget(ybatchlabel, 1, 2);
  grid->addWidget(batchrangeedit, 1, 3);
  grid->addWidget(Label2, 2, 0);
  grid->addWidget(batchnamecombo, 2, 1, 1, 3);
  // Only the window with numbered curves has New curve, and it has no default value:
  // the two share a row, so the editor keeps its size whichever window it works on.
  grid->addWidget(defaultlabel, 3, 0);
  grid->addWidget(defaultedit, 3, 1);
  grid->addWidget(newcurvebutton, 3, 0, 1, 2);
  for (QWidget* w : {static_cast<QWidget*>(defaultlabel), static_cast<QWidget*>(defaultedit),
                     static_cast<QWidget*>(newcurvebutton)}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
  }
  newcurvebutton->hide();
}

QLineEdit* PointEditor::field(const char* name, const char* hint) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  if (*hint) edit->setToolTip(QString::fromLatin1(hint));
  edit->setMinimumWidth(kFieldWidth);
  edit->installEventFilter(this);
  return edit;
}

QLabel* PointEditor::label(const char* name, const char* text) {
  auto* l = new QLabel(QString::fromLatin1(text), this);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

QPushButton* PointEditor::button(const char* name, const char* caption, const char* hint) {
  auto* b = new QPushButton(QString::fromLatin1(caption), this);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(QString::fromLatin1(hint));
  return b;
}

QGroupBox* PointEditor::point_group() {
  auto* group = new QGroupBox("Point", this);
  auto* row = new QHBoxLayout(group);
  addbutton = button("addbutton", "&Add", "Adds point to the diagram");
  movebutton = button(
      "movebutton", "&Move",
      "Moves a point within the diagram, press ctrl to move only horizontal, shift for vertical");
  deletebutton = button("deletebutton", "&Delete", "Deletes a point on the diagram");
  markbutton = button("markbutton", "Mar&k", "Marks point on the diagram");
  for (QPushButton* b : {addbutton, movebutton, deletebutton, markbutton}) row->addWidget(b);
  return group;
}

QGroupBox* PointEditor::background_group() {
  auto* group = new QGroupBox("Background", this);
  auto* grid = new QGridLayout(group);
  openbutton =
      button("openbutton", "Open", "Opens a .BMP or .WMF file as a background in the diagram");
  savebutton =
      button("savebutton", "Save", "Saves the background in the diagram to a  .BMP or .WMF file");
  pastebutton = button("pastebutton", "Paste", "Pastes a background from clipboard");
  copybutton =
      button("copybutton", "Copy", "Copies the of the background of the diagram to the clipboard");
  showbutton = button("showbutton", "Show", "Shows the background if it is hidden");
  hidebutton = button("hidebutton", "Hide", "Makes the background invisible");
  backmove = button("backmove", "Move",
                    "Move the background, press ctrl to move only horizontal, shift for vertical");
  clearbutton = button("clearbutton", "Clear", "Erases the background picture");
  QPushButton* const order[] = {openbutton, savebutton, pastebutton, copybutton,
                                showbutton, hidebutton, backmove,    clearbutton};
  for (int i = 0; i < 8; ++i) grid->addWidget(order[i], i / 4, i % 4);
  return group;
}

QGroupBox* PointEditor::grid_group() {
  auto* group = new QGroupBox("Gridlines", this);
  auto* column = new QVBoxLayout(group);
  majorcheck = new QCheckBox("Major", this);
  majorcheck->setObjectName("majorcheck");
  majorcheck->setToolTip("Shows widely spaced grid lines");
  minorcheck = new QCheckBox("Minor", this);
  minorcheck->setObjectName("minorcheck");
  minorcheck->setToolTip("Shows narrowly spaced grid lines");
  for (QCheckBox* c : {majorcheck, minorcheck}) {
    c->setChecked(true);
    column->addWidget(c);
  }
  return group;
}

void PointEditor::reserve_label_widths() {
  // Room for the widest caption any parameter gives the labels, so that the editor does
  // not change its size from one window to the next.
  const QFontMetrics metrics(font());
  int left = metrics.horizontalAdvance(Label2->text());
  int right = metrics.horizontalAdvance(ybatchlabel->text());
  for (const ParameterDefinition& d : kParameterTable) {
    left = std::max({left, metrics.horizontalAdvance(axis_text(d.xLabel, d.xUnit)),
                     metrics.horizontalAdvance("Default " + axis_text(d.yLabel, d.yUnit))});
    right = std::max(right, metrics.horizontalAdvance(axis_text(d.yLabel, d.yUnit)));
  }
  xlabel->setMinimumWidth(left);
  ylabel->setMinimumWidth(right);
}

ParameterWindow& PointEditor::window() {
  return windows_.window(windows_.active_window() - 1);
}

char PointEditor::separator() const {
  return session_.decimal_separator();
}

void PointEditor::show_point(const TCurvePoint* p) {
  const char sep = separator();
  const auto fixed = [sep](double v) { return QString::fromStdString(format_fixed3(v, sep)); };
  if (p) {
    xedit->setText(fixed(p->x));
    yedit->setText(fixed(p->y));
    batchnamecombo->setEditText(qt(session_.voice().batches.batch_name(p->batch)));
    batchyedit->setText(p->batch ? fixed(p->batchY) : QString());
    batchrangeedit->setText(p->batch ? fixed(p->batchRange) : QString());
  } else {
    for (QLineEdit* e : {xedit, yedit, batchyedit, batchrangeedit}) e->clear();
    batchnamecombo->setEditText(QString());
  }
  const double defaultValue = window().parameter().state.defaultValue;
  defaultedit->setText(QString::fromStdString(format_number(defaultValue, sep)));
}

void PointEditor::set_up(ParameterWindow& w) {
  const Parameter& p = w.parameter();
  newcurvebutton->setVisible(p.multiCurve);
  defaultlabel->setVisible(!p.multiCurve);
  defaultedit->setVisible(!p.multiCurve);
  minorcheck->setChecked(w.minorGrid);
  majorcheck->setChecked(w.majorGrid);
  setWindowTitle(qt(p.title));
  xlabel->setText(axis_text(p.xLabel, p.xUnit));
  ylabel->setText(axis_text(p.yLabel, p.yUnit));
  defaultlabel->setText("Default " + axis_text(p.yLabel, p.yUnit));
  show_point(p.state.selectedPoint);
}

bool PointEditor::eventFilter(QObject* watched, QEvent* event) {
  // Each Enter is a step of the document's history; Ctrl+Z after it should take that
  // step back rather than the field's own typing.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      event->ignore();
      return true;
    }
  }
  if (!is_enter(event)) return QWidget::eventFilter(watched, event);
  const bool field = watched == xedit || watched == yedit || watched == batchyedit ||
                     watched == batchrangeedit || watched == defaultedit ||
                     watched == batchnamecombo || watched == batchnamecombo->lineEdit();
  if (field) {
    enter_pressed();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vocanta
