#include "gui/main/error_log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "core/support/ini_file.h"
#include "core/support/vocanta_error.h"
#include "gui/main/about_box.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"
#include "started_window.h"

namespace vocanta {
namespace {

using testing::child;

// Boxes and errors in the order they were shown, with the error log's settings of a
// test of its own; the handler it replaces is the standard error box.
struct Shown {
  Shown() {
    std::filesystem::remove(ToolFamilyStore().file_name());
    set_error_handler([this](const QString& m) { seen << "error: " + m; });
  }
  ~Shown() {
    set_error_handler(
        [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
    std::filesystem::remove(ToolFamilyStore().file_name());
  }
  std::unique_ptr<ErrorLog> log(AboutBox* about) {
    auto made = std::make_unique<ErrorLog>(about);
    made->show_box = [this](const QString& t, const QString& text) { seen << t + ": " + text; };
    return made;
  }
  QStringList seen;
};

void store(bool on, const std::string& fileName) {
  ToolFamilyStore ini;
  ini.WriteBool("ErrorLog", "LogErrors", on);
  ini.WriteString("ErrorLog", "LogFileName", fileName);
}

IniFile log_file(const std::string& path) {
  IniFile ini;
  ini.load(path);
  return ini;
}

std::string termination(const std::string& path) {
  const std::string exe = QCoreApplication::applicationFilePath().toStdString();
  return log_file(path).read("Termination", exe, "");
}

TEST(ErrorLog, RecordsErrorsStartsAndEndsOnlyWhileSwitchedOn) {
  Shown shown;
  testing::TempDir dir;
  const std::string path = dir.file("err.log");
  AboutBox about;
  store(false, path);
  shown.log(&about).reset();
  report_error("nothing logged");
  EXPECT_EQ(shown.seen, QStringList{"error: nothing logged"});
  EXPECT_FALSE(std::filesystem::exists(path));  // the probe left nothing behind

  store(true, path);
  auto log = shown.log(&about);  // a run killed now leaves only its start
  EXPECT_TRUE(termination(path).starts_with("Started at ")) << termination(path);
  shown.seen.clear();
  try {
    throw VocantaError("'abc' is not a valid integer value");
  } catch (const std::exception& e) {
    report_error(e.what());
  }
  ASSERT_EQ(shown.seen.size(), 2);
  EXPECT_TRUE(shown.seen[0].startsWith("Logfile created: " + QString::fromStdString(path) + "\n"));
  EXPECT_EQ(shown.seen[1], "error: 'abc' is not a valid integer value");
  const IniFile ini = log_file(path);
  const std::vector<std::string> sections = ini.sections();
  ASSERT_EQ(sections.size(), 2);
  EXPECT_EQ(sections[1].rfind("Exception at ", 0), 0u);
  EXPECT_EQ(
      ini.keys(sections[1]),
      (std::vector<std::string>{"ExeName", "CurrentUser", "ComputerName", "Application", "Version",
                                "Revision", "Extra", "Message", "Address", "DebugString"}));
  EXPECT_EQ(ini.read(sections[1], "Message", ""), "'abc' is not a valid integer value");
  EXPECT_EQ(ini.read(sections[1], "Version", ""), "3.0");
  EXPECT_NE(ini.read(sections[1], "CurrentUser", ""), "");
  const std::string address = ini.read(sections[1], "Address", "");
  EXPECT_EQ(address.size(), 8u);
  EXPECT_NE(address, "00000000");

  log.reset();
  EXPECT_TRUE(termination(path).starts_with("Terminated at ")) << termination(path);
  shown.seen.clear();
  report_error("after the end");  // the handler was given back
  EXPECT_EQ(shown.seen, QStringList{"error: after the end"});
}

// One test for every fallback to the program's folder: ctest runs tests in parallel
// processes, and they would share the log file there.
TEST(ErrorLog, FallsBackToTheProgramFolderAndWritesOnlyAFileThatIsALogEachMessageOnOneLine) {
  Shown shown;
  testing::TempDir dir;
  const QString fallback = QCoreApplication::applicationDirPath() + "/QuirraErr.log";
  // A stored file in a place nobody can write.
  testing::write_file(dir.file("plain"), "a file, not a folder");
  store(true, dir.file("plain") + "/QuirraErr.log");
  {
    auto log = shown.log(nullptr);
    EXPECT_EQ(log->log_file_name(), fallback);
    EXPECT_EQ(ToolFamilyStore().ReadString("ErrorLog", "LogFileName", ""), fallback.toStdString());
    EXPECT_TRUE(termination(fallback.toStdString()).starts_with("Started at "));
    store(false, fallback.toStdString());
  }
  QFile::remove(fallback);
  // Files that are no log.
  const std::string samples = std::string("VOCANTA\0\x01\x02 samples\n", 20);
  const std::string notes = "[Notes]\nkeep=this\n";
  for (const std::string& bytes : {samples, notes}) {
    const std::string path = dir.file("voice.smp");
    testing::write_file(path, bytes);
    store(true, path);
    {
      auto log = shown.log(nullptr);
      EXPECT_EQ(log->log_file_name(), fallback);
      store(false, fallback.toStdString());
    }
    EXPECT_EQ(testing::read_file(path), bytes);
    ASSERT_EQ(shown.seen.size(), 1);
    EXPECT_TRUE(shown.seen[0].startsWith("error: " + QString::fromStdString(path) +
                                         " is not an error log of Vocanta"))
        << shown.seen[0].toStdString();
    shown.seen.clear();
    QFile::remove(fallback);
  }

  // A log of its own, empty or with entries, is written where the user put it.
  const std::string path = dir.file("mine.log");
  testing::write_file(path, "");
  store(true, path);
  auto log = shown.log(nullptr);
  EXPECT_EQ(log->log_file_name().toStdString(), path);
  shown.seen.clear();
  report_error("first line\nsecond line\r\nthird line");
  EXPECT_EQ(log->log_file_name().toStdString(), path);
  EXPECT_TRUE(shown.seen.contains("error: first line\nsecond line\r\nthird line"));
  const std::string text = testing::read_file(path);
  EXPECT_NE(text.find("\nMessage=first line second line third line\r\n"), std::string::npos)
      << text;
  store(false, path);
}

TEST(AboutBox, ShowsTheProgramAndSwitchesLoggingByTheDoubleClickOnItsPicture) {
  Shown shown;  // before the window, so that its log passes errors on to the recorder
  testing::TempDir dir;
  store(false, dir.file("err.log"));
  testing::Started s;
  EXPECT_EQ(s.main.menuBar()->actions().last()->text(), "&Help");
  auto& about = child<AboutBox>(s.main);
  bool shownModal = false;
  QTimer::singleShot(0, &about, [&] {
    shownModal = about.isModal() && about.isVisible();
    about.accept();
  });
  testing::action(s.main, "aboutAction").trigger();
  EXPECT_TRUE(shownModal);
  EXPECT_EQ(child<QLabel>(about, "titleLabel").text(), "Vocanta");
  EXPECT_EQ(child<QLabel>(about, "versionLabel").text(), "Version 3.0");
  EXPECT_EQ(child<QLabel>(about, "revisionLabel").text(), "Revision 3.0.0.1");
  EXPECT_EQ(child<QLabel>(about, "extraLabel").text(), about.extra());
  QLabel& info = child<QLabel>(about, "infoLabel");
  const QString usual = info.text();
  EXPECT_TRUE(info.toolTip().isEmpty());

  QTest::mouseDClick(&child<QLabel>(about, "picture"), Qt::LeftButton);
  EXPECT_TRUE(ToolFamilyStore().ReadBool("ErrorLog", "LogErrors", false));
  const QString name = QString::fromStdString(dir.file("err.log"));
  EXPECT_EQ(info.text(), name);
  EXPECT_EQ(info.toolTip(), name);
  QTest::mouseDClick(&child<QLabel>(about, "picture"), Qt::LeftButton);
  EXPECT_FALSE(ToolFamilyStore().ReadBool("ErrorLog", "LogErrors", true));
  EXPECT_EQ(info.text(), usual);
  EXPECT_TRUE(info.toolTip().isEmpty());
}

}  // namespace
}  // namespace vocanta
