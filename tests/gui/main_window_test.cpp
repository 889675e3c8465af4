#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/settings_store.h"
#include "app/statistics_window.h"
#include "curves/parameter_window.h"
#include "curves/point_editor_window.h"
#include "synthesis/build_run.h"
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

}  // namespace
}  // namespace vocanta
