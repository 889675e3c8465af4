#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include "core/build/build_outcome.h"
#include "core/build/build_run.h"
#include "core/document/session.h"
#include "gui/main/about_box.h"
#include "gui/main/desktop_session.h"
#include "gui/main/main_window.h"
#include "gui/main/started_window.h"

namespace vocanta {
namespace {

using testing::child;
using testing::Started;

// What another program of the family would send; there is no bus in these tests.
bool from_other_program(MainWindow& main, uint8_t code) {
  return main.desktop().link().receive(":1.99", link_value(9, code, 0));
}

TEST(MainWindowLink, QuitFromAnotherProgramAsksAsTheUsersCloseDoes) {
  Started s;
  s.main.desktop().session().voice().add_point(param::kF0, "", 1, 0, 100, 100, 0);
  s.prompter->answers = {Answer::Cancel};
  EXPECT_TRUE(from_other_program(s.main, 9));
  EXPECT_TRUE(s.main.isVisible());
  EXPECT_EQ(s.prompter->shown.back(), "(untitled) has changed. Save?");
  s.prompter->answers = {Answer::No};
  from_other_program(s.main, 9);
  EXPECT_FALSE(s.main.isVisible());
}

TEST(MainWindowLink, ShowsTheAboutBoxModallyAndIsUnderHeavyLoadWhileBuilding) {
  Started s;
  auto& about = child<AboutBox>(s.main, "QuirraAboutBox");
  bool modal = false;
  QTimer::singleShot(50, [&] {
    modal = about.isVisible() && about.isModal();
    about.reject();
  });
  from_other_program(s.main, 6);
  EXPECT_TRUE(modal);

  testing::TempDir dir;
  s.main.desktop().session().voice().settings.duration = "3000";  // still running at 300 ms
  bool heavy = false;
  QTimer::singleShot(300, [&] {
    heavy = s.main.desktop().link().HeavyLoad();
    child<QPushButton>(s.main, "breakbutton").click();
  });
  s.prompter->fileNames = {dir.file("long.smp")};
  child<QPushButton>(s.main, "breakbutton").click();
  EXPECT_TRUE(heavy);
  EXPECT_FALSE(s.main.desktop().link().HeavyLoad());
}

TEST(MainWindowLink, ACloseDuringABuildBreaksItFirstAndTheAboutBoxDoesNotHoldIt) {
  Started s;
  testing::TempDir dir;
  s.main.desktop().session().voice().settings.duration =
      "3000";  // long enough to be under way at 600 ms
  s.prompter->fileNames = {dir.file("long.smp")};
  s.prompter->answers = {Answer::No, Answer::No};
  auto& about = child<AboutBox>(s.main, "QuirraAboutBox");
  QTimer nobodyClicks;  // a box that held the build would otherwise hold the test
  nobodyClicks.setSingleShot(true);
  QObject::connect(&nobodyClicks, &QTimer::timeout, &about, &QDialog::reject);
  nobodyClicks.start(3000);
  int progressAfterAbout = -1;
  bool aboutShownBesideTheBuild = false;
  QObject::connect(&s.main.desktop(), &DesktopSession::progressShown, [&] {
    if (progressAfterAbout >= 0) ++progressAfterAbout;
  });
  QTimer::singleShot(200, [&] {
    from_other_program(s.main, 6);  // returns at once: the build goes on beneath
    aboutShownBesideTheBuild = about.isVisible() && !about.isModal();
    progressAfterAbout = 0;
  });
  bool stillShownWhileBreaking = false;
  QTimer::singleShot(600, [&] {
    from_other_program(s.main, 9);
    stillShownWhileBreaking = s.main.isVisible();
  });
  child<QPushButton>(s.main, "breakbutton").click();
  EXPECT_TRUE(aboutShownBesideTheBuild);
  EXPECT_GT(progressAfterAbout, 2);
  EXPECT_TRUE(stillShownWhileBreaking);
  EXPECT_EQ(s.main.desktop().session().build_run().outcome(), BuildOutcome::Break);
  QCoreApplication::processEvents();
  EXPECT_FALSE(s.main.isVisible());  // and then it closed
  about.close();
}

}  // namespace
}  // namespace vocanta
