#include "gui/diagram/point_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/document/session.h"
#include "core/model/curve_state.h"
#include "core/model/voice.h"
#include "gui/diagram/diagram_view.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/started_window.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

using testing::Started;

struct Editor : Started {
  Editor() : windows(main.desktop().parameter_windows()), editor(windows.point_editor()) {
    main.desktop().session().set_decimal_separator('.');
  }
  ParameterWindow& activate(int index) {
    ParameterWindow& w = windows.window(index);
    w.show();
    QApplication::setActiveWindow(&w);
    return w;
  }
  // A point of curve 1 selected as a mouse press would select it.
  TCurvePoint& select(ParameterWindow& w, double x, double y) {
    CurveState& s = w.parameter().state;
    s.selectedPoint = add_point(s, 0, 1, x, y, y, 0);
    windows.show_point(s.selectedPoint);
    return *s.selectedPoint;
  }
  // As typed: only a field the user changed is read back.
  static void type(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setModified(true);
  }
  void enter(QLineEdit* field, const QString& text) {
    type(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  size_t steps() { return main.desktop().session().history().size(); }

  ParameterWindows& windows;
  PointEditor& editor;
};

int multi_curve_parameter(Voice& voice) {
  for (int i = 0; i < kParameterCount; ++i)
    if (voice.parameter(i).multiCurve) return i;
  return -1;
}

TEST(PointEditor, IsSetUpForTheActivatedWindow) {
  Editor e;
  EXPECT_EQ(e.editor.windowTitle(), "Vocanta");
  ParameterWindow& f0 = e.activate(param::kF0);
  e.select(f0, 0.5, 120);
  EXPECT_EQ(e.editor.windowTitle(), "F0");
  EXPECT_EQ(e.editor.xlabel->text(), "Time[s]");
  EXPECT_EQ(e.editor.ylabel->text(), "Freq[Hz]");
  EXPECT_EQ(e.editor.defaultlabel->text(), "Default Freq[Hz]");
  EXPECT_EQ(e.editor.defaultedit->text(), "100");
  EXPECT_EQ(e.editor.xedit->text(), "0.500");
  EXPECT_FALSE(e.editor.defaultedit->isHidden());
  EXPECT_TRUE(e.editor.newcurvebutton->isHidden());

  const int multi = multi_curve_parameter(e.main.desktop().session().voice());
  ParameterWindow& formants = e.windows.window(multi);
  formants.minorGrid = false;
  e.activate(multi);
  EXPECT_TRUE(e.editor.defaultedit->isHidden());
  EXPECT_FALSE(e.editor.newcurvebutton->isHidden());
  EXPECT_FALSE(e.editor.minorcheck->isChecked());
  EXPECT_TRUE(e.editor.xedit->text().isEmpty());
  e.editor.majorcheck->click();
  EXPECT_FALSE(formants.majorGrid);

  // Back on F0, the fields show its point again, and closing a window empties them.
  e.activate(param::kF0);
  EXPECT_EQ(e.editor.yedit->text(), "120.000");
  f0.close();
  EXPECT_TRUE(e.editor.yedit->text().isEmpty());
}

TEST(PointEditor, EnterReadsNumbersAndNotesAsOneUndoableStep) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  TCurvePoint& p = e.select(f0, 0.5, 100);
  const size_t before = e.steps();
  e.main.desktop().session().document().set_modified(false);
  e.enter(e.editor.yedit, "A4");
  EXPECT_EQ(p.y, 440);
  EXPECT_EQ(e.editor.yedit->text(), "440");
  EXPECT_EQ(e.steps(), before + 1);
  EXPECT_TRUE(e.main.desktop().session().document().modified());
  e.main.desktop().session().undo();
  EXPECT_EQ(p.y, 100);
  EXPECT_EQ(e.editor.yedit->text(), "100.000");
  e.main.desktop().session().redo();
  EXPECT_EQ(p.y, 440);

  e.enter(e.editor.yedit, "1,5");  // not a number here; as a note it reads 0
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(e.editor.yedit->text(), "0");
  for (const auto& [note, hz] : {std::pair{"C4", 261.63}, {"a#3", 233.08}, {"Bb2", 116.54}}) {
    e.enter(e.editor.yedit, note);
    EXPECT_NEAR(p.y, hz, 0.005) << note;
  }
  e.enter(e.editor.yedit, "300");
  const size_t steps = e.steps();
  QTest::keyClick(e.editor.xedit, Qt::Key_Enter);
  EXPECT_EQ(e.steps(), steps);
  // A field left as shown keeps its number in full, not as its three decimals.
  p.x = 0.5001234;
  e.windows.show_point(&p);
  e.enter(e.editor.yedit, "310");
  EXPECT_EQ(p.x, 0.5001234);

  // A point moved past its neighbour is sorted into place with the same step.
  TCurvePoint& second = e.select(f0, 0.7, 100);
  e.enter(e.editor.xedit, "0.2");
  EXPECT_EQ(f0.parameter().state.curves->points, &second);
  e.main.desktop().session().undo();
  EXPECT_EQ(f0.parameter().state.curves->points, &p);
  EXPECT_EQ(second.x, 0.7);
}

TEST(PointEditor, EnterPutsThePointIntoABatchAndTakesItOut) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  TCurvePoint& p = e.select(f0, 0.5, 150);
  e.enter(e.editor.batchrangeedit, "10");
  const BatchList& batches = e.main.desktop().session().voice().batches;
  ASSERT_NE(batches.find_batch_id("Batch 1"), 0);
  EXPECT_EQ(p.batch, batches.find_batch_id("Batch 1"));
  EXPECT_EQ(p.batchY, 150);
  EXPECT_EQ(p.batchRange, 10);
  EXPECT_EQ(e.editor.batchnamecombo->currentText(), "Batch 1");

  e.editor.batchnamecombo->setEditText("Loud");
  e.type(e.editor.batchyedit, "160.5");
  e.enter(e.editor.batchrangeedit, "20");
  EXPECT_EQ(batches.batch_name(p.batch), "Loud");
  EXPECT_EQ(p.batchY, 160.5);
  EXPECT_EQ(e.editor.batchrangeedit->text(), "20");
  e.main.desktop().session().undo();
  EXPECT_EQ(batches.find_batch_id("Loud"), 0);
  EXPECT_EQ(p.batchRange, 10);

  e.type(e.editor.batchyedit, "");
  e.enter(e.editor.batchrangeedit, "");
  EXPECT_EQ(p.batch, 0);
  EXPECT_EQ(p.batchY, 0);
  EXPECT_EQ(p.batchRange, 10);
}

TEST(PointEditor, OneEnterThatMovesSortsAndMakesABatchIsUndoneWhole) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  TCurvePoint& first = e.select(f0, 0.2, 100);
  TCurvePoint& p = e.select(f0, 0.5, 150);
  const BatchList& batches = e.main.desktop().session().voice().batches;
  const size_t before = e.steps();
  e.type(e.editor.xedit, "0.1");
  e.type(e.editor.yedit, "180");
  e.editor.batchnamecombo->setEditText("Fresh");
  e.enter(e.editor.batchrangeedit, "30");
  ASSERT_EQ(e.steps(), before + 1);
  const int16_t fresh = batches.find_batch_id("Fresh");
  ASSERT_NE(fresh, 0);
  EXPECT_EQ(f0.parameter().state.curves->points, &p);
  EXPECT_EQ(p.batch, fresh);

  for (int round = 0; round < 2; ++round) {
    e.main.desktop().session().undo();
    EXPECT_EQ(p.x, 0.5);
    EXPECT_EQ(p.y, 150);
    EXPECT_EQ(p.batch, 0);
    EXPECT_EQ(p.batchRange, 0);
    EXPECT_EQ(batches.find_batch_id("Fresh"), 0);
    EXPECT_EQ(batches.batch_count(), 0);
    EXPECT_EQ(f0.parameter().state.curves->points, &first);
    EXPECT_EQ(first.next, &p);
    EXPECT_EQ(p.prev, &first);
    e.main.desktop().session().redo();
    EXPECT_EQ(p.x, 0.1);
    EXPECT_EQ(p.y, 180);
    EXPECT_EQ(batches.batch_name(p.batch), "Fresh");
    EXPECT_EQ(p.batchRange, 30);
    EXPECT_EQ(p.next, &first);
    EXPECT_EQ(first.prev, &p);
  }
}

TEST(PointEditor, AFieldThatCannotBeReadStopsTheEnter) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  TCurvePoint& p = e.select(f0, 0.5, 100);
  e.type(e.editor.defaultedit, "50");
  e.type(e.editor.xedit, "0.25");
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  e.enter(e.editor.yedit, "A");
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, QStringList{"'A' is neither a number nor a note with its octave, such as A4"});
  EXPECT_EQ(f0.parameter().state.defaultValue, 50);
  EXPECT_EQ(p.x, 0.25);
  EXPECT_EQ(p.y, 100);

  // Without a selected point only the default value is taken.
  f0.parameter().state.selectedPoint = nullptr;
  e.windows.show_point(nullptr);
  e.enter(e.editor.defaultedit, "G3");
  EXPECT_NEAR(f0.parameter().state.defaultValue, 196, 0.01);
  EXPECT_EQ(p.x, 0.25);
}

TEST(PointEditor, EnterWidensTheAxesToShowThePoint) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  TCurvePoint& p = e.select(f0, 0.5, 100);
  e.enter(e.editor.yedit, "A4");  // above the 0..200 Hz of the window
  EXPECT_EQ(f0.ymaxedit->text(), "440.000");
  EXPECT_EQ(f0.parameter().yMax, "440.000");
  EXPECT_EQ(f0.value_to_y(p.y), 0);

  // Past the left edge, and a batch range reaching below the bottom.
  e.type(e.editor.xedit, "-0.25");
  e.type(e.editor.batchyedit, "300");
  e.enter(e.editor.batchrangeedit, "-320");
  EXPECT_EQ(f0.xminedit->text(), "-0.250");
  EXPECT_EQ(f0.yminedit->text(), "-20.000");
  EXPECT_EQ(f0.ymaxedit->text(), "440.000");
  EXPECT_EQ(f0.xmaxedit->text(), "1");
  EXPECT_EQ(f0.value_to_x(p.x), 0);
  EXPECT_EQ(f0.value_to_y(p.batchY + p.batchRange), f0.image()->height() - 1);
}

TEST(PointEditor, ButtonsSetTheModesAndMakeCurves) {
  Editor e;
  e.windows.window(param::kF0).backgroundVisible = true;
  e.editor.movebutton->click();
  e.editor.backmove->click();
  EXPECT_EQ(e.windows.window(param::kF0).editMode, EditMode::MoveBackground);
  EXPECT_EQ(e.windows.window(param::kNoiseLevel).editMode, EditMode::Move);

  ParameterWindow& formants = e.activate(multi_curve_parameter(e.main.desktop().session().voice()));
  CurveState& s = formants.parameter().state;
  e.editor.newcurvebutton->click();
  e.editor.newcurvebutton->click();
  EXPECT_EQ(curve_count(s), 2);
  EXPECT_EQ(s.currentCurve, s.curves->next);
  EXPECT_EQ(e.windows.window(param::kF0).editMode, EditMode::Add);
  e.main.desktop().session().undo();
  EXPECT_EQ(curve_count(s), 1);

  e.editor.showbutton->click();
  EXPECT_TRUE(formants.backgroundVisible);
  e.editor.hidebutton->click();
  EXPECT_FALSE(formants.backgroundVisible);
}

TEST(PointEditor, AButtonWhoseHandlerFailsReportsTheError) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  testing::TempDir dir;
  const std::string odd = dir.file("picture.xyz");
  testing::write_file(odd, "not a picture");
  e.prompter->fileNames = {odd};
  const size_t steps = e.steps();
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  // click() runs the handler straight away, outside any event the application guards.
  e.editor.openbutton->click();
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, QStringList{"Unknown picture file extension (.xyz)"});
  EXPECT_TRUE(f0.background.isNull());
  EXPECT_EQ(e.steps(), steps);
}

TEST(PointEditor, FollowsTheParameterWindowsOnTheScreen) {
  Editor e;
  EXPECT_FALSE(e.editor.isVisible());
  ParameterWindow& f0 = e.activate(param::kF0);
  EXPECT_TRUE(e.editor.isVisible());
  const QRect main = e.main.frameGeometry();
  EXPECT_EQ(e.editor.pos(), QPoint(main.left(), main.top() + main.height()));
  f0.close();
  EXPECT_TRUE(e.editor.isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !e.editor.isVisible(); }, 1500));
}

TEST(PointEditor, OpensAMissingBackgroundAndSavesAPastedOne) {
  Editor e;
  testing::TempDir dir;
  const QString picture = QString::fromStdString(dir.file("found.bmp"));
  QImage(8, 8, QImage::Format_RGB32).save(picture);
  ParameterWindow& f0 = e.windows.window(param::kF0);
  e.prompter->fileNames = {picture.toStdString()};
  f0.load_background(QString::fromStdString(dir.file("gone.bmp")));
  EXPECT_EQ(e.prompter->shown.back(), "Open background...");
  EXPECT_EQ(f0.parameter().backgroundFile, picture.toStdString());

  f0.parameter().backgroundFile = "*.bmp";
  e.main.desktop().session().document().documentPath = dir.file("voice.vta");
  e.main.desktop().session().document().save_document();
  const std::vector<std::string> asked(e.prompter->shown.end() - 2, e.prompter->shown.end());
  EXPECT_EQ(asked,
            (std::vector<std::string>{"F0 background is not saved, save?", "Save background..."}));
  EXPECT_EQ(e.windows.active_window(), f0.paramNumber());

  // Save writes the window's picture where the user says and makes that its name.
  const std::string saved = dir.file("saved.bmp");
  e.prompter->fileNames = {saved};
  e.editor.savebutton->click();
  EXPECT_EQ(e.prompter->shown.back(), "Save background...");
  EXPECT_EQ(f0.parameter().backgroundFile, saved);
  EXPECT_EQ(QImage(QString::fromStdString(saved)).size(), QSize(8, 8));
}

TEST(ParameterWindows, ShowAxisLimitsSetThroughTheSession) {
  Editor e;
  ParameterWindow& f0 = e.activate(param::kF0);
  const int right = f0.image()->width() - 1;
  e.main.desktop().session().set_x_limits(param::kF0, {"0", "4"});
  EXPECT_EQ(f0.xmaxedit->text(), "4");
  EXPECT_DOUBLE_EQ(f0.x_to_value(right), 4);
  // The window's own limits, typed and entered, go the same way.
  f0.xmaxedit->setText("3");
  QTest::keyClick(f0.xmaxedit, Qt::Key_Return);
  EXPECT_EQ(f0.parameter().xMax, "3");
  EXPECT_DOUBLE_EQ(f0.x_to_value(right), 3);
  EXPECT_FALSE(e.main.desktop().session().document().modified());
}

}  // namespace
}  // namespace vocanta
