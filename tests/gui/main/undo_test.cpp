#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/started_window.h"
#include "gui/platform/error_report.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::action;
using testing::child;
using testing::Started;

// The main window with its settings dialog shown; not modal, unlike the Options menu's,
// so that the test goes on while it is open.
struct Editing : Started {
  Editing()
      : session(main.desktop().session()),
        dialog(child<SettingsDialog>(main, "TForm10")),
        undo(action(main, "undoAction")),
        redo(action(main, "redoAction")) {
    dialog.show();
  }
  ~Editing() { dialog.hide(); }
  void type(const char* field, const QString& text) {
    QLineEdit& edit = child<QLineEdit>(dialog, field);
    edit.selectAll();
    QTest::keyClicks(&edit, text);
  }
  // A key pressed in a parameter window, where the user draws: the Edit menu's keys must
  // reach the main window from there.
  void press_in_diagram(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    ParameterWindow& f0 = main.desktop().parameter_windows().window(param::kF0);
    f0.show();
    QApplication::setActiveWindow(&f0);
    QTest::keyClick(&f0, key, modifiers);
  }
  const std::string& frequency() { return session.voice().settings.samplingFrequency; }
  QString shown_frequency() { return child<QLineEdit>(dialog, "sftotedit").text(); }

  Session& session;
  SettingsDialog& dialog;
  QAction& undo;
  QAction& redo;
};

TEST(Undo, AVisitToTheSettingsIsOneStepThatUndoAndRedoWalk) {
  Editing e;
  EXPECT_FALSE(e.undo.isEnabled());
  EXPECT_FALSE(e.redo.isEnabled());
  e.type("sftotedit", "44100");
  EXPECT_EQ(e.frequency(), "44100");
  EXPECT_EQ(e.session.history().size(), 1u);
  EXPECT_EQ(e.undo.text(), "&Undo Settings");
  EXPECT_TRUE(e.undo.isEnabled());
  EXPECT_EQ(e.redo.text(), "&Redo");
  EXPECT_FALSE(e.redo.isEnabled());
  EXPECT_FALSE(e.session.document().modified());

  e.undo.trigger();
  EXPECT_EQ(e.frequency(), "16000");
  EXPECT_EQ(e.shown_frequency(), "16000");
  // Back at the state the start left; settings never mark the document.
  EXPECT_FALSE(e.session.document().modified());
  EXPECT_FALSE(e.undo.isEnabled());
  EXPECT_EQ(e.redo.text(), "&Redo Settings");
  EXPECT_TRUE(e.redo.isEnabled());

  e.redo.trigger();
  EXPECT_EQ(e.frequency(), "44100");
  EXPECT_EQ(e.shown_frequency(), "44100");
  EXPECT_FALSE(e.session.document().modified());

  e.press_in_diagram(Qt::Key_Z);
  EXPECT_EQ(e.frequency(), "16000");
  EXPECT_EQ(e.shown_frequency(), "16000");
  e.press_in_diagram(Qt::Key_Y);
  EXPECT_EQ(e.frequency(), "44100");
  e.undo.trigger();
  e.press_in_diagram(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(e.frequency(), "44100");
  EXPECT_EQ(e.shown_frequency(), "44100");

  // The next visit is a step of its own.
  e.dialog.close();
  e.dialog.show();
  e.type("gainedit", "-6");
  EXPECT_EQ(e.session.history().size(), 2u);
  e.undo.trigger();
  EXPECT_EQ(e.session.voice().settings.gain, "-20");
  EXPECT_EQ(e.frequency(), "44100");
  e.undo.trigger();
  EXPECT_EQ(e.frequency(), "16000");
}

TEST(Undo, ANewTweenieCountComesBackWithItsCurvesInOneStep) {
  Editing e;
  Voice& voice = e.session.voice();
  const Parameter& spectrum = voice.parameter(param::kTweenieSpectrum);
  ParameterWindow& window = e.main.desktop().parameter_windows().window(param::kTweenieSpectrum);
  window.show();
  voice.add_point(param::kTweenieSpectrum, "", 1, 0.5, -3, -3, 0);
  e.type("ntweeniesedit", "3");
  child<QPushButton>(e.dialog, "okbutton").click();
  EXPECT_EQ(spectrum.state.curves, nullptr);
  EXPECT_EQ(voice.tweeniesInUse, 3);
  EXPECT_DOUBLE_EQ(window.x_grid().minor.step, 0.25);  // the snap step of three rows
  EXPECT_EQ(e.session.history().size(), 1u);

  for (int pass = 0; pass < 2; ++pass) {  // the second after a redo
    e.undo.trigger();
    ASSERT_NE(spectrum.state.curves, nullptr) << pass;
    ASSERT_NE(spectrum.state.curves->points, nullptr) << pass;
    EXPECT_EQ(spectrum.state.curves->points->x, 0.5) << pass;
    EXPECT_EQ(spectrum.state.curves->points->y, -3) << pass;
    EXPECT_EQ(voice.tweeniesInUse, 1) << pass;
    EXPECT_EQ(voice.settings.tweenies, "1") << pass;
    EXPECT_DOUBLE_EQ(spectrum.xGridStep, tweenie_grid_step(1)) << pass;
    EXPECT_DOUBLE_EQ(window.x_grid().minor.step, tweenie_grid_step(1)) << pass;
    e.redo.trigger();
    EXPECT_EQ(spectrum.state.curves, nullptr) << pass;
    EXPECT_EQ(voice.tweeniesInUse, 3) << pass;
    EXPECT_DOUBLE_EQ(window.x_grid().minor.step, 0.25) << pass;
  }
}

TEST(Undo, AVisitToTheSettingsTakesTheTimeAxesAlong) {
  Editing e;
  const Parameter& f0 = e.session.voice().parameter(param::kF0);
  ParameterWindow& window = e.main.desktop().parameter_windows().window(param::kF0);
  window.show();
  const auto spans = [&](const char* min, const char* max) {
    EXPECT_EQ(f0.xMin, min);
    EXPECT_EQ(f0.xMax, max);
    EXPECT_EQ(window.xminedit->text().toStdString(), min);
    EXPECT_EQ(window.xmaxedit->text().toStdString(), max);
  };
  e.type("tottimeedit", "1.5");
  child<QPushButton>(e.dialog, "okbutton").click();
  spans("0", "1.5");
  EXPECT_EQ(e.session.history().size(), 1u);

  for (int pass = 0; pass < 2; ++pass) {  // the second after a redo
    e.undo.trigger();
    EXPECT_EQ(e.session.voice().settings.duration, "1") << pass;
    spans("0", "1");
    e.redo.trigger();
    EXPECT_EQ(e.session.voice().settings.duration, "1.5") << pass;
    spans("0", "1.5");
  }
}

TEST(Undo, AVoiceOfNoLengthIsOneMessageAndNoStep) {
  Editing e;
  e.main.desktop().parameter_windows().show_all();
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  e.type("tottimeedit", "0");
  child<QPushButton>(e.dialog, "okbutton").click();
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, QStringList{"The voice duration must be greater than 0 s, not 0"});
  EXPECT_TRUE(e.prompter->shown.empty());  // no window complains about its axis
  EXPECT_TRUE(e.dialog.isVisible());
  EXPECT_EQ(e.session.voice().parameter(param::kF0).xMax, "1");
}

TEST(Undo, NewAndOpeningADocumentStartTheHistoryAfresh) {
  testing::TempDir dir;
  const std::string path = dir.file("voice.vta");
  testing::write_file(path, "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n");
  Editing e;
  // Something to undo and something to redo.
  const auto two_visits = [&] {
    e.type("gainedit", "-6");
    e.dialog.close();
    e.dialog.show();
    e.type("gainedit", "-7");
    e.undo.trigger();
    ASSERT_TRUE(e.undo.isEnabled());
    ASSERT_TRUE(e.redo.isEnabled());
  };
  const auto expect_nothing_to_walk = [&](const char* after) {
    EXPECT_EQ(e.session.history().size(), 0u) << after;
    EXPECT_FALSE(e.undo.isEnabled()) << after;
    EXPECT_FALSE(e.redo.isEnabled()) << after;
    EXPECT_EQ(e.undo.text(), "&Undo") << after;
    EXPECT_EQ(e.redo.text(), "&Redo") << after;
  };

  two_visits();
  e.prompter->answers = {Answer::No};  // should New ask: not saved
  e.session.document().new_document();
  expect_nothing_to_walk("New");
  EXPECT_EQ(e.session.voice().settings.gain, "-20");

  two_visits();
  e.session.document().load_document(path);
  EXPECT_EQ(e.session.document().documentPath, path);
  expect_nothing_to_walk("open");
}

}  // namespace
}  // namespace vocanta
