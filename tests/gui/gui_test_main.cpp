// The gui tests run the real windows on Qt's offscreen platform, with the per-user
// settings in Qt's test folders so that no test touches the user's own files.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "gui/main/vocanta_application.h"
#include "gui/platform/error_report.h"

// Under the leak checker: allocations the system libraries below Qt keep for the life
// of the process, and the event objects Qt leaves behind when an error unwinds through
// its dispatch (which the program's error handler is there to catch).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6Core\nleak:libQt6Gui\nleak:libQt6Widgets\n"
         "leak:libglib\nleak:libdbus\n";
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing |= std::strcmp(argv[i], "--gtest_list_tests") == 0;
  std::unique_ptr<vocanta::VocantaApplication> app;
  // Every test process gets a home of its own: ctest runs several at once, and they
  // must neither share the per-user settings files nor touch the user's.
  char home[] = "/tmp/vocanta-gui-test-XXXXXX";
  const bool ownHome = !listing && ::mkdtemp(home) != nullptr;
  if (ownHome) ::setenv("HOME", home, 1);
  if (!listing) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows under test must not announce themselves to the tools on the desktop.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vocanta-test-bus");
    QStandardPaths::setTestModeEnabled(true);
    app = std::make_unique<vocanta::VocantaApplication>(argc, argv);
    // A message box would wait for a person; an error nobody expected fails the test.
    vocanta::set_error_handler(
        [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  }
  const int status = RUN_ALL_TESTS();
  app.reset();
  if (ownHome) std::filesystem::remove_all(home);
  return status;
}
