#include "gui/main/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "core/document/session.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/desktop_session.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/recent_files_menu.h"
#include "gui/main/started_window.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"

namespace vocanta {
namespace {

using testing::action;
using testing::child;
using testing::Started;

std::string voice_document(const testing::TempDir& dir) {
  const std::string path = dir.file("voice.vta");
  testing::write_file(path,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nTotalDuration=0.05\r\n"
                      "[F0]\r\n0=150\r\n[Formant_1]\r\n0=700\r\n[FormantFactor]\r\n0=1.1\r\n");
  return path;
}

TEST(MainWindow, StartsUntitledWithAllWindows) {
  Started s;
  EXPECT_EQ(s.main.windowTitle(),
            QString::fromStdString("Vocanta " + s.main.desktop().session().document().noticeText));
  const QStringList lines = child<StatisticsWindow>(s.main, "TForm9").lines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.first().startsWith("Vocanta start at "));
  EXPECT_EQ(s.main.desktop().parameter_windows().window(param::kF0).windowTitle(), "F0");
  EXPECT_EQ(s.main.desktop().session().voice().settings.gain, "-20");
  EXPECT_TRUE(child<QLabel>(s.main, "olgray").isVisibleTo(&s.main));
  EXPECT_FALSE(child<QLabel>(s.main, "olgreen").isVisibleTo(&s.main));
  EXPECT_EQ(child<QPushButton>(s.main, "breakbutton").text(), "&Build...");
  // No parameter window is shown, so the point editor has nothing to work on; and the
  // window is of one size, so no window manager offers to maximize it.
  EXPECT_FALSE(action(s.main, "pointEditorAction").isEnabled());
  EXPECT_EQ(s.main.minimumSize(), s.main.maximumSize());
}

// The Edit menu's entry of a parameter, as it stands when the menu opens.
bool edit_entry_checked(MainWindow& main, int index) {
  QMenu* edit = nullptr;
  for (QAction* a : main.menuBar()->actions())
    if (a->text() == "&Edit") edit = a->menu();
  if (!edit) throw std::runtime_error("no Edit menu");
  emit edit->aboutToShow();
  const std::string_view caption = kParameterTable[static_cast<size_t>(index)].menuCaption;
  for (QAction* a : edit->actions())
    if (a->text().toStdString() == caption) return a->isChecked();
  throw std::runtime_error("no Edit menu entry " + std::string(caption));
}

TEST(MainWindow, WindowCommandsFollowTheCurvesAndThePointEditor) {
  testing::TempDir dir;
  Started s({QString::fromStdString(voice_document(dir))});
  EXPECT_EQ(s.main.desktop().session().document().documentPath, dir.file("voice.vta"));
  EXPECT_EQ(s.main.windowTitle().toStdString(), "Vocanta " + dir.file("voice.vta"));
  ParameterWindows& windows = s.main.desktop().parameter_windows();
  QAction& pointEditorAction = action(s.main, "pointEditorAction");

  action(s.main, "showUsedAction").trigger();
  for (int i = 0; i < kParameterCount; ++i) {
    const bool used = i == param::kF0 || i == param::kFormants || i == param::kFormantFactor;
    EXPECT_EQ(windows.window(i).isVisible(), used) << i;
  }
  EXPECT_TRUE(windows.point_editor().isVisible());
  EXPECT_TRUE(pointEditorAction.isEnabled());
  EXPECT_TRUE(edit_entry_checked(s.main, param::kFormantFactor));
  EXPECT_FALSE(edit_entry_checked(s.main, param::kF0Factor));

  action(s.main, "showAllAction").trigger();
  action(s.main, "hideUnusedAction").trigger();
  EXPECT_TRUE(windows.window(param::kF0).isVisible());
  EXPECT_FALSE(windows.window(param::kNoiseLevel).isVisible());

  action(s.main, "hideAllAction").trigger();
  EXPECT_FALSE(windows.window(param::kF0).isVisible());
  EXPECT_FALSE(windows.point_editor().isVisible());
  EXPECT_FALSE(pointEditorAction.isEnabled());

  s.main.desktop().session().document().new_document();
  action(s.main, "showUsedAction").trigger();
  EXPECT_FALSE(windows.point_editor().isVisible());
  EXPECT_TRUE(s.main.desktop().session().document().documentPath.empty());
}

TEST(MainWindow, TheBuildButtonBreaksARunningBuild) {
  testing::TempDir dir;
  Started s;
  s.main.desktop().session().voice().settings.duration = "3000";  // still running at 300 ms
  QPushButton& breakbutton = child<QPushButton>(s.main, "breakbutton");
  QAction& buildAction = action(s.main, "buildAction");
  const std::string path = dir.file("long.smp");
  bool sawBreakCaption = false;
  QStringList reported;
  QTimer::singleShot(300, [&] {
    sawBreakCaption = breakbutton.text() == "&Break";
    s.prompter->fileNames = {dir.file("second.smp")};
    // The refusal is reported as a message; nothing may leave the menu command.
    const auto before = current_error_handler();
    set_error_handler([&](const QString& m) { reported << m; });
    buildAction.trigger();
    set_error_handler(before);
    breakbutton.click();
  });
  s.prompter->fileNames = {path};
  buildAction.trigger();
  EXPECT_TRUE(sawBreakCaption);
  EXPECT_EQ(reported, QStringList{"A build is running; break it or wait until it has finished"});
  // Refused before the file dialog, which the first build alone showed.
  EXPECT_EQ(s.prompter->shown, std::vector<std::string>{"Build file as"});
  EXPECT_EQ(breakbutton.text(), "&Build...");
  EXPECT_EQ(child<QLabel>(s.main, "progresslabel").text(), "Break!");
  EXPECT_TRUE(child<QLabel>(s.main, "olgray").isVisibleTo(&s.main));
  const QStringList lines = child<StatisticsWindow>(s.main, "TForm9").lines();
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines.at(lines.size() - 2), "Break!");
  const auto size = testing::read_file(path).size();
  EXPECT_GT(size, 1024u);
  EXPECT_LT(size, 1024u + 2 * 16000 * 3000);  // broken before the end
  EXPECT_EQ((size - 1024) % 2, 0u);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("second.smp"))));
}

TEST(MainWindow, MenuShortcutsWorkFromAParameterWindow) {
  Started s;
  ParameterWindow* f0 = &s.main.desktop().parameter_windows().window(param::kF0);
  f0->show();
  f0->activateWindow();
  QApplication::setActiveWindow(f0);
  QTest::keyClick(f0, Qt::Key_F9);  // the build dialog, cancelled
  EXPECT_EQ(s.prompter->shown, std::vector<std::string>{"Build file as"});
  QTest::keyClick(f0, Qt::Key_H, Qt::ControlModifier);  // Hide all
  EXPECT_FALSE(f0->isVisible());
}

TEST(MainWindow, TheKeysLinuxProgramsUseAreThere) {
  Started s;
  EXPECT_EQ(action(s.main, "exitAction").shortcut(), QKeySequence("Ctrl+Q"));
  EXPECT_EQ(action(s.main, "saveAsAction").shortcut(), QKeySequence("Ctrl+Shift+S"));
  EXPECT_EQ(action(s.main, "aboutAction").shortcut(), QKeySequence("F1"));
  // None takes a key another entry has.
  QList<QKeySequence> keys;
  for (const QAction* a : s.main.menuBar()->findChildren<QAction*>())
    for (const QKeySequence& key : a->shortcuts()) {
      EXPECT_FALSE(keys.contains(key)) << key.toString().toStdString();
      keys << key;
    }
}

TEST(MainWindow, NoProgressCursorStaysAfterABuild) {
  testing::TempDir dir;
  Started s({QString::fromStdString(voice_document(dir))});
  ParameterWindow& f0 = s.main.desktop().parameter_windows().window(param::kF0);
  f0.show();
  s.main.desktop().set_progress_cursor(true);
  QTest::qWait(20);
  ASSERT_EQ(f0.displayed(), f0.diagram());
  // The progress cursor as a build draws it, half-way.
  s.main.desktop().parameter_windows().draw_sync_cursors(0, 0, 0.025, 0.025);
  ASSERT_NE(f0.displayed(), f0.diagram());
  s.prompter->fileNames = {dir.file("voice.smp")};
  action(s.main, "buildAction").trigger();
  EXPECT_EQ(f0.displayed(), f0.diagram());
}

TEST(MainWindow, ABuildSwitchRunEndsItselfAlsoWhenTheDocumentFails) {
  testing::TempDir dir;
  const std::string path = dir.file("bad.vta");
  testing::write_file(path, "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nGain=loud\r\n");
  const std::string unbuildable = dir.file("abc.vta");
  testing::write_file(unbuildable,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nMaxHarmonincs=abc\r\n");
  // Nothing waits for a person: what would be a message box goes to stderr.
  std::ostringstream err;
  std::streambuf* const console = std::cerr.rdbuf(err.rdbuf());
  for (const std::string& doc : {path, unbuildable, dir.file("missing.vta")}) {
    Started s({QString::fromStdString(doc), "/b"}, false);
    EXPECT_FALSE(s.main.isVisible());
    EXPECT_EQ(s.main.exit_status(), 1);
  }
  std::cerr.rdbuf(console);
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  for (const std::string& line :
       std::vector<std::string>{"vocanta: 'loud' is not a valid floating point value\n",
                                "vocanta: 'abc' is not a valid integer value\n",
                                "vocanta: " + dir.file("missing.vta") + " does not exist\n"})
    EXPECT_NE(err.str().find(line), std::string::npos) << line << " in " << err.str();
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("bad.smp"))));
}

TEST(MainWindow, ViewOptionsSurviveARestart) {
  {
    Started s;
    action(s.main, "hintsAction").trigger();
    action(s.main, "syncCursorAction").trigger();
    EXPECT_FALSE(action(s.main, "hintsAction").isChecked());
  }
  {
    Started s;
    EXPECT_FALSE(action(s.main, "hintsAction").isChecked());
    EXPECT_FALSE(action(s.main, "syncCursorAction").isChecked());
    EXPECT_TRUE(action(s.main, "progressCursorAction").isChecked());
    action(s.main, "hintsAction").trigger();
    action(s.main, "syncCursorAction").trigger();
  }
  SettingsStore store;
  EXPECT_TRUE(store.ReadBool("Common", "Hints", false));
  EXPECT_TRUE(store.ReadBool("Common", "ParameterSyncCursor", false));
}

TEST(MainWindowDocuments, OpenedDocumentsFillTheRecentFilesNewestFirst) {
  testing::TempDir dir;
  Started s;
  DocumentLifecycle& document = s.main.desktop().session().document();
  RecentFilesMenu& recentFiles = child<RecentFilesMenu>(s.main);
  recentFiles.askClear = [](const QString&, const QString&) { return true; };
  recentFiles.clear_list();
  std::vector<std::string> paths;
  for (int i = 0; i < 6; ++i) {
    paths.push_back(dir.file("v" + std::to_string(i) + ".vta"));
    testing::write_file(paths.back(), "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n");
    document.load_document(paths.back());
  }
  EXPECT_EQ(recentFiles.file_action(0)->text().toStdString(), "&1 " + paths[5]);
  EXPECT_EQ(recentFiles.file_action(4)->text().toStdString(), "&5 " + paths[1]);
  EXPECT_FALSE(recentFiles.file_action(5)->isVisible());

  // Choosing an entry while the document has changes asks first; Cancel opens nothing.
  s.main.desktop().session().voice().add_point(param::kF0, "", 1, 0, 100, 100, 0);
  s.prompter->answers = {Answer::Cancel};
  recentFiles.choose(4);
  EXPECT_EQ(document.documentPath, paths[5]);
  // The chosen entry moved to the top before the question.
  s.prompter->answers = {Answer::No};
  recentFiles.choose(0);
  EXPECT_EQ(document.documentPath, paths[1]);
  EXPECT_EQ(recentFiles.file_action(0)->text().toStdString(), "&1 " + paths[1]);
  recentFiles.clear_list();
}

TEST(MainWindowDocuments, PartialOpenWithNothingCheckedOpensNoDialog) {
  Started s;
  PartialOpenDialog& partialOpen = child<PartialOpenDialog>(s.main, "TForm4");
  EXPECT_EQ(partialOpen.parameterChecks[param::kF0]->text(), "F0");
  EXPECT_EQ(partialOpen.parameterChecks[param::kF0]->toolTip(), "Load F0");
  partialOpen.open_clicked();
  EXPECT_EQ(
      s.prompter->shown,
      std::vector<std::string>{"You must check at least one parameter in the \"open only\" group"});
  EXPECT_FALSE(s.main.desktop().session().document().partialOpen);
}

TEST(MainWindowDocuments, ThePartialOpenDialogShowsEveryTitleWhole) {
  Started s;
  // A font larger than the classic layout was made for.
  const QFont original = QApplication::font();
  QFont font = original;
  font.setPointSizeF(font.pointSizeF() * 1.5);
  QApplication::setFont(font);
  PartialOpenDialog dialog(s.main.desktop().session());
  QApplication::setFont(original);
  dialog.show();
  const auto whole = [&dialog](const QCheckBox* box) {
    EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
    EXPECT_GE(box->height(), box->sizeHint().height()) << box->text().toStdString();
    EXPECT_TRUE(dialog.checkgroup->rect().contains(box->geometry()));
  };
  whole(dialog.commoncheck);
  for (const QCheckBox* box : dialog.parameterChecks) whole(box);
  EXPECT_EQ(dialog.parameterChecks[14]->text(), "Subharmonic tweenie spectrum");
  EXPECT_TRUE(dialog.rect().contains(dialog.cancelbutton->geometry()));
}

TEST(MainWindowDocuments, ClosingAChangedDocumentAsks) {
  Started s;
  s.main.desktop().session().voice().add_point(param::kF0, "", 1, 0, 100, 100, 0);
  s.prompter->answers = {Answer::Cancel};
  EXPECT_FALSE(s.main.close());
  EXPECT_TRUE(s.main.isVisible());
  EXPECT_EQ(s.prompter->shown.back(), "(untitled) has changed. Save?");
  s.prompter->answers = {Answer::No};
  EXPECT_TRUE(s.main.close());
}

}  // namespace
}  // namespace vocanta
