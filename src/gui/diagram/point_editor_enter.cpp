// Enter in one of the point editor's fields: the values are read and stored one after
// the other, each as a step of one undo group, so that a field that cannot be read
// stops the handling with the values before it stored and the rest untouched.
#include <QComboBox>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStringList>
#include <algorithm>

#include "core/document/session.h"
#include "core/model/curve_commands.h"
#include "core/model/voice.h"
#include "core/support/note_value.h"
#include "core/support/number_format.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor.h"
#include "gui/platform/qt_text.h"

namespace vocanta {

void PointEditor::enter_pressed() {
  ParameterWindow& w = window();
  CurveState& s = w.parameter().state;
  const uint64_t group = session_.new_group();
  const QScopedValueRollback<bool> guard(entering_, true);
  const double defaultValue = read_field(defaultedit, true, s.defaultValue);
  if (defaultValue != s.defaultValue)
    session_.apply(
        std::make_unique<DefaultValueCommand>(w.parameter().index(), s.defaultValue, defaultValue),
        group);
  if (TCurvePoint* p = s.selectedPoint) {
    enter_point(w, *p, group);
    w.grow_axes_to_show(*p);
  }
  w.lay_out();
}

void PointEditor::enter_point(ParameterWindow& w, TCurvePoint& p, uint64_t group) {
  PointValues v = values_of(p);
  v.x = read_field(xedit, true, v.x);
  store(p, v, group);
  v.y = read_field(yedit, true, v.y);
  store(p, v, group);
  if (!batchrangeedit->text().isEmpty() || !batchyedit->text().isEmpty()) {
    enter_batch(p, v, group);
  } else {
    // Out of its batch; the range stays for when the point goes back into one.
    v.batchY = 0;
    v.batch = 0;
    store(p, v, group);
  }
  fill_batch_names();
  batchnamecombo->setEditText(qt(session_.voice().batches.batch_name(p.batch)));
  // The curve that holds the point, which is the current one unless New curve has made
  // an empty one current since the point was selected.
  TCurve* curve = curve_holding(w.parameter().state, &p);
  if (curve && SortPointsCommand::needed(*curve))
    session_.apply(std::make_unique<SortPointsCommand>(w.parameter().index(), curve), group);
}

void PointEditor::enter_batch(TCurvePoint& p, PointValues& v, uint64_t group) {
  v.batch = batch_of(batchnamecombo->currentText().toStdString(), group);
  store(p, v, group);
  v.batchRange =
      batchrangeedit->text().isEmpty() ? 0 : read_field(batchrangeedit, false, v.batchRange);
  store(p, v, group);
  if (!batchyedit->text().isEmpty()) {
    v.batchY = read_field(batchyedit, false, v.batchY);
    store(p, v, group);
    const char sep = separator();
    batchyedit->setText(qt(format_number(v.batchY, sep)));
    batchrangeedit->setText(qt(format_number(v.batchRange, sep)));
  } else {
    v.batchY = v.y;
    store(p, v, group);
  }
  if (v.batch == 0) {
    v.batch = batch_of("Batch 1", group);
    store(p, v, group);
  }
}

int16_t PointEditor::batch_of(const std::string& name, uint64_t group) {
  // A batch that exists already is no step of its own; the empty name is no batch.
  const BatchList& batches = session_.voice().batches;
  if (const int16_t id = batches.find_batch_id(name); id || normalize_batch_name(name).empty())
    return id;
  auto command = std::make_unique<GetBatchCommand>(name);
  const GetBatchCommand& made = *command;
  session_.apply(std::move(command), group);
  return made.id();
}

double PointEditor::read_field(QLineEdit* edit, bool rewrite, double shown) {
  // A field the user has not touched keeps the number it shows in full: reading back
  // its three decimals would round every point an Enter in another field passes by.
  if (!edit->isModified()) return shown;
  const std::string text = edit->text().toStdString();
  double value = 0;
  if (try_parse_number(text, value, separator())) return value;
  value = note_value(text);
  if (rewrite) edit->setText(qt(format_number(value, separator())));
  return value;
}

void PointEditor::store(TCurvePoint& p, const PointValues& v, uint64_t group) {
  const PointValues before = values_of(p);
  if (before == v) return;
  session_.apply(std::make_unique<PointValuesCommand>(window().parameter().index(), &p, before, v,
                                                      "Edit point"),
                 group);
}

void PointEditor::fill_batch_names() {
  QStringList names;
  for (const tbatchitem* b = session_.voice().batches.head(); b; b = b->next) names << qt(b->name);
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  const QString typed = batchnamecombo->currentText();
  batchnamecombo->clear();
  batchnamecombo->addItems(names);
  batchnamecombo->setEditText(typed);
}

}  // namespace vocanta
