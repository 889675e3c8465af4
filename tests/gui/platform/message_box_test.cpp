#include "gui/platform/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace vocanta {
namespace {

// The build runs on the window thread: a box that waited for its OK would hold it.
TEST(MessageBox, ABoxShownDuringABuildLetsTheBuildGoOn) {
  {
    const BuildRunningScope building;
    show_message(nullptr, QMessageBox::Critical,
                 "A build is running; break it or wait until it has finished");
  }
  EXPECT_FALSE(build_running());
  QMessageBox* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) shown = box;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle(), "Vocanta");
  EXPECT_EQ(shown->text(), "A build is running; break it or wait until it has finished");
  EXPECT_FALSE(shown->isModal());
  shown->close();
}

}  // namespace
}  // namespace vocanta
