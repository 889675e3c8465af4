#include "gui/main/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/synthesis/build_run.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor_window.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/recent_files_menu.h"
#include "gui/main/statistics_window.h"
#include "gui/main/vocanta_application.h"
#include "gui/platform/settings_store.h"
#include "test_support.h"

namespace vocanta {
namespace {

// A main window shown and started as the program starts it, with scripted questions.
struct Started {
  explicit Started(QStringList arguments = {}) : main(std::move(arguments)) {
    auto scripted = std::make_unique<testing::ScriptedPrompter>();
    prompter = scripted.get();
    main.set_prompter(std::move(scripted));
    main.show();
    QTest::qWait(20);  // the start-up runs once the window is on the screen
  }
  ~Started() { main.hide(); }
  testing::ScriptedPrompter* prompter;
  TForm1 main;
};

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
            QString::fromStdString("Vocanta " + s.main.document().noticeText));
  ASSERT_FALSE(s.main.statistics->lines().isEmpty());
  EXPECT_TRUE(s.main.statistics->lines().first().startsWith("Vocanta start at "));
  EXPECT_EQ(s.main.parameterWindows[param::kF0]->windowTitle(), "F0");
  EXPECT_EQ(s.main.voice().settings.gain, "-20");
  EXPECT_TRUE(s.main.olgray->isVisibleTo(&s.main));
  EXPECT_FALSE(s.main.olgreen->isVisibleTo(&s.main));
  EXPECT_EQ(s.main.breakbutton->text(), "&Build...");
}

TEST(MainWindow, WindowCommandsFollowTheCurvesAndThePointEditor) {
  testing::TempDir dir;
  Started s({QString::fromStdString(voice_document(dir))});
  EXPECT_EQ(s.main.document().documentPath, dir.file("voice.vta"));
  EXPECT_EQ(s.main.windowTitle().toStdString(), "Vocanta " + dir.file("voice.vta"));

  s.main.show_used();
  for (int i = 0; i < kParameterCount; ++i) {
    const bool used = i == param::kF0 || i == param::kFormants || i == param::kFormantFactor;
    EXPECT_EQ(s.main.parameterWindows[static_cast<size_t>(i)]->isVisible(), used) << i;
  }
  EXPECT_TRUE(s.main.pointEditor->isVisible());
  EXPECT_TRUE(s.main.pointEditorAction->isEnabled());
  s.main.refresh_edit_menu();
  EXPECT_TRUE(s.main.editActions[param::kFormantFactor]->isChecked());
  EXPECT_FALSE(s.main.editActions[param::kF0Factor]->isChecked());

  s.main.show_all();
  s.main.hide_unused();
  EXPECT_TRUE(s.main.parameterWindows[param::kF0]->isVisible());
  EXPECT_FALSE(s.main.parameterWindows[param::kNoiseLevel]->isVisible());

  s.main.hide_all();
  EXPECT_FALSE(s.main.parameterWindows[param::kF0]->isVisible());
  EXPECT_FALSE(s.main.pointEditor->isVisible());
  EXPECT_FALSE(s.main.pointEditorAction->isEnabled());

  s.main.new_document();
  s.main.show_used();
  EXPECT_FALSE(s.main.pointEditor->isVisible());
  EXPECT_TRUE(s.main.document().documentPath.empty());
}

TEST(MainWindow, TheBuildButtonBreaksARunningBuild) {
  testing::TempDir dir;
  Started s;
  s.main.voice().settings.duration = "30";
  const QString path = QString::fromStdString(dir.file("long.smp"));
  bool sawBreakCaption = false;
  bool refusedSecond = false;
  QTimer::singleShot(300, [&] {
    sawBreakCaption = s.main.breakbutton->text() == "&Break";
    try {
      s.main.build_voice(QString::fromStdString(dir.file("second.smp")));
    } catch (const std::exception&) {
      refusedSecond = true;
    }
    s.main.breakbutton->click();
  });
  s.main.build_voice(path);
  EXPECT_TRUE(sawBreakCaption);
  EXPECT_TRUE(refusedSecond);
  EXPECT_EQ(s.main.breakbutton->text(), "&Build...");
  EXPECT_EQ(s.main.progresslabel->text(), "Break!");
  EXPECT_TRUE(s.main.olgray->isVisibleTo(&s.main));
  EXPECT_EQ(s.main.statistics->lines().at(s.main.statistics->lines().size() - 2), "Break!");
  const auto size = testing::read_file(path.toStdString()).size();
  EXPECT_GT(size, 1024u);
  EXPECT_LT(size, 1024u + 2 * 16000 * 30);
  EXPECT_EQ((size - 1024) % 2, 0u);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("second.smp"))));
}

TEST(MainWindow, MenuShortcutsWorkFromAParameterWindow) {
  Started s;
  TForm2* f0 = s.main.parameterWindows[param::kF0];
  f0->show();
  f0->activateWindow();
  QApplication::setActiveWindow(f0);
  QTest::keyClick(f0, Qt::Key_F9);  // the build dialog, cancelled
  EXPECT_EQ(s.prompter->shown, std::vector<std::string>{"Build file as"});
  QTest::keyClick(f0, Qt::Key_H, Qt::ControlModifier);  // Hide all
  EXPECT_FALSE(f0->isVisible());
}

TEST(MainWindow, ABuildSwitchRunEndsItselfAlsoWhenTheDocumentFails) {
  testing::TempDir dir;
  const std::string path = dir.file("bad.vta");
  testing::write_file(path, "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nGain=loud\r\n");
  QStringList shown;
  VocantaApplication::set_error_handler([&](const QString& m) { shown << m; });
  const std::string unbuildable = dir.file("abc.vta");
  testing::write_file(unbuildable,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nMaxHarmonincs=abc\r\n");
  for (const std::string& doc : {path, unbuildable}) {
    Started s({QString::fromStdString(doc), "/b"});
    EXPECT_FALSE(s.main.isVisible());
    EXPECT_EQ(s.main.exit_status(), 1);
  }
  VocantaApplication::set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, QStringList({"'loud' is not a valid floating point value",
                                "'abc' is not a valid integer value"}));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("bad.smp"))));
}

TEST(MainWindow, ViewOptionsSurviveARestart) {
  {
    Started s;
    s.main.hintsAction->trigger();
    s.main.syncCursorAction->trigger();
    EXPECT_FALSE(s.main.hintsAction->isChecked());
  }
  {
    Started s;
    EXPECT_FALSE(s.main.hintsAction->isChecked());
    EXPECT_FALSE(s.main.syncCursorAction->isChecked());
    EXPECT_TRUE(s.main.progressCursorAction->isChecked());
    s.main.hintsAction->trigger();
    s.main.syncCursorAction->trigger();
  }
  TIni store;
  EXPECT_TRUE(store.ReadBool("Common", "Hints", false));
  EXPECT_TRUE(store.ReadBool("Common", "ParameterSyncCursor", false));
}

TEST(MainWindowDocuments, OpenedDocumentsFillTheRecentFilesNewestFirst) {
  testing::TempDir dir;
  Started s;
  s.main.recentFiles->askClear = [](const QString&, const QString&) { return true; };
  s.main.recentFiles->clear_list();
  std::vector<std::string> paths;
  for (int i = 0; i < 6; ++i) {
    paths.push_back(dir.file("v" + std::to_string(i) + ".vta"));
    testing::write_file(paths.back(), "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n");
    s.main.load_document(QString::fromStdString(paths.back()));
  }
  EXPECT_EQ(s.main.recentFiles->file_action(0)->text().toStdString(), "&1 " + paths[5]);
  EXPECT_EQ(s.main.recentFiles->file_action(4)->text().toStdString(), "&5 " + paths[1]);
  EXPECT_FALSE(s.main.recentFiles->file_action(5)->isVisible());

  // Choosing an entry while the document has changes asks first; Cancel opens nothing.
  s.main.voice().add_point(param::kF0, "", 1, 0, 100, 100, 0);
  s.prompter->answers = {Answer::Cancel};
  s.main.recentFiles->choose(4);
  EXPECT_EQ(s.main.document().documentPath, paths[5]);
  // The chosen entry moved to the top before the question.
  s.prompter->answers = {Answer::No};
  s.main.recentFiles->choose(0);
  EXPECT_EQ(s.main.document().documentPath, paths[1]);
  EXPECT_EQ(s.main.recentFiles->file_action(0)->text().toStdString(), "&1 " + paths[1]);
  s.main.recentFiles->clear_list();
}

TEST(MainWindowDocuments, PartialOpenWithNothingCheckedOpensNoDialog) {
  Started s;
  EXPECT_EQ(s.main.partialOpenDialog->parameterChecks[param::kF0]->text(), "F0");
  EXPECT_EQ(s.main.partialOpenDialog->parameterChecks[param::kF0]->toolTip(), "Load F0");
  s.main.partialOpenDialog->open_clicked();
  EXPECT_EQ(
      s.prompter->shown,
      std::vector<std::string>{"You must check at least one parameter in the \"open only\" group"});
  EXPECT_FALSE(s.main.document().partialOpen);
}

TEST(MainWindowDocuments, ClosingAChangedDocumentAsks) {
  Started s;
  s.main.voice().add_point(param::kF0, "", 1, 0, 100, 100, 0);
  s.prompter->answers = {Answer::Cancel};
  EXPECT_FALSE(s.main.close());
  EXPECT_TRUE(s.main.isVisible());
  EXPECT_EQ(s.prompter->shown.back(), "(untitled) has changed. Save?");
  s.prompter->answers = {Answer::No};
  EXPECT_TRUE(s.main.close());
}

}  // namespace
}  // namespace vocanta
