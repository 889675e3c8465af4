#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "gui/main/settings_dialog.h"
#include "gui/platform/settings_store.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::TempDir;
using Kind = ModelChange::Kind;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() {
    session.document().new_document();
    voice.add_point(param::kTweenieSpectrum, "", 1, 0.5, -10, 0, 0);
    voice.add_point(param::kF0, "", 1, 0.2, 120, 0, 0);
    dialog.show();
    // Only what the dialog does counts.
    log.changes.clear();
    session.document().set_modified(false);
  }

  void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  // On the box itself: the widget is wider than its label, and clicks beside the
  // label do not toggle it.
  void click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  const CurveState& tweenies() { return voice.parameter(param::kTweenieSpectrum).state; }
  void expect_error(const std::string& message) {
    try {
      dialog.ok_steps();
      FAIL() << "no error";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
  // The windows lay out the tweenie spectrum on TweenieCount and everything (the time
  // axes among it) on Everything.
  int told(Kind kind) const { return log.count(kind); }

  TempDir dir;
  SettingsStore store{dir.file("store.ini")};
  testing::ScriptedPrompter prompter;
  QuietBuildHost builds;
  Voice scratch;  // for the document host's background log, which is not looked at
  testing::RecordingDocumentHost documents{scratch};
  Session session{prompter, documents, builds};
  Voice& voice = session.voice();
  SettingsDialog dialog{session, store};
  testing::ChangeLog log{voice.events};
};

TEST_F(SettingsDialogTest, UntouchedOkKeepsTheTweenieCurves) {
  voice.settings.tweenies = "3";
  voice.tweeniesInUse = 3;
  voice.parameter(param::kF0).xMax = "9";
  dialog.sync_from_model();
  QTest::mouseClick(dialog.okbutton, Qt::LeftButton);
  EXPECT_NE(tweenies().curves, nullptr);
  EXPECT_EQ(told(Kind::TweenieCount), 0);
  EXPECT_EQ(voice.parameter(param::kF0).xMax, "1");
  EXPECT_EQ(told(Kind::Everything), 1);
  // The axis put back is the visit's only step; an OK that changes nothing leaves none.
  EXPECT_EQ(session.history().size(), 1u);
  EXPECT_EQ(session.history().undo_caption(), "Settings");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  dialog.show();
  QTest::mouseClick(dialog.okbutton, Qt::LeftButton);
  EXPECT_EQ(session.history().size(), 1u);
}

TEST_F(SettingsDialogTest, OnlyANewPositiveTweenieCountClearsTheTweenieSpectrum) {
  for (const char* text : {"0", "-2"}) {
    type(dialog.ntweeniesedit, text);
    dialog.ok_steps();
    EXPECT_EQ(voice.tweeniesInUse, 1) << text;
    EXPECT_NE(tweenies().curves, nullptr) << text;
  }
  EXPECT_EQ(told(Kind::TweenieCount), 0);

  type(dialog.ntweeniesedit, "3");
  dialog.ok_steps();
  EXPECT_EQ(voice.tweeniesInUse, 3);
  EXPECT_EQ(tweenies().curves, nullptr);
  EXPECT_DOUBLE_EQ(voice.parameter(param::kTweenieSpectrum).xGridStep, 0.25);
  EXPECT_NE(voice.parameter(param::kF0).state.curves, nullptr);
  EXPECT_EQ(told(Kind::TweenieCount), 1);
}

TEST_F(SettingsDialogTest, BadTweenieCountChangesNothing) {
  type(dialog.ntweeniesedit, "abc");
  type(dialog.tottimeedit, "2.5");
  expect_error("# of subharmonic tweenies: 'abc' is not a valid integer value");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(voice.tweeniesInUse, 1);
  EXPECT_NE(tweenies().curves, nullptr);
  EXPECT_EQ(told(Kind::TweenieCount), 0);
  EXPECT_EQ(told(Kind::Everything), 0);
  EXPECT_EQ(voice.parameter(param::kF0).xMax, "1");
}

TEST_F(SettingsDialogTest, GainAndHarmonicsThatAreNoNumbersAreRefusedByName) {
  type(dialog.ntweeniesedit, "3");
  type(dialog.gainedit, "loud");
  expect_error("Gain [dB]: 'loud' is not a valid floating point value");
  type(dialog.gainedit, "-6");
  type(dialog.nharmedit, "1.5");
  expect_error("Max # of harmonics: '1.5' is not a valid integer value");
  // Refused before anything is applied: the dialog stays open on the tweenies as they were.
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(voice.tweeniesInUse, 1);
  EXPECT_EQ(told(Kind::Everything), 0);
  type(dialog.nharmedit, "200");
  dialog.ok_steps();
  EXPECT_EQ(voice.tweeniesInUse, 3);
  EXPECT_EQ(voice.settings.gain, "-6");
}

TEST_F(SettingsDialogTest, DurationSetsTheTimeAxesAsTyped) {
  session.set_decimal_separator(',');
  type(dialog.tottimeedit, "2,5");
  dialog.ok_steps();
  EXPECT_EQ(told(Kind::Everything), 1);
  for (const Parameter& p : voice.parameters()) {
    if (p.xQuantity == quantity::kTime) {
      EXPECT_EQ(p.xMin, "0") << p.title;
      EXPECT_EQ(p.xMax, "2,5") << p.title;
    } else if (p.xQuantity == quantity::kPartialNumber) {
      EXPECT_EQ(p.xMin, "0") << p.title;
      EXPECT_EQ(p.xMax, p.index() == param::kTweenieSpectrum ? "1" : "20") << p.title;
    }
  }
}

TEST_F(SettingsDialogTest, BadDurationComesAfterTheTweenieChange) {
  type(dialog.ntweeniesedit, "3");
  type(dialog.tottimeedit, "x");
  expect_error("'x' is not a valid floating point value");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(voice.tweeniesInUse, 3);
  EXPECT_EQ(tweenies().curves, nullptr);
  EXPECT_EQ(told(Kind::TweenieCount), 1);
  EXPECT_EQ(told(Kind::Everything), 0);
  EXPECT_EQ(voice.parameter(param::kF0).xMax, "1");
}

TEST_F(SettingsDialogTest, AVoiceOfNoLengthIsRefusedWithOneMessageNamingTheField) {
  const auto refused = [&](const std::string& message) {
    expect_error(message);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(voice.parameter(param::kF0).xMax, "1");
    EXPECT_EQ(told(Kind::AxisLimits), 0);
    EXPECT_EQ(told(Kind::Everything), 0);
  };
  for (const char* text : {"0", "-1,5"}) {
    session.set_decimal_separator(',');
    type(dialog.tottimeedit, text);
    refused(std::string("The voice duration must be greater than 0 s, not ") + text);
  }
  type(dialog.tottimeedit, "2");
  for (const char* text : {"0", "0,4", "-8000", "768001", "2147483647"}) {
    type(dialog.sftotedit, text);
    refused(std::string("The sampling frequency must be from 1 to 768000 Hz, not ") + text);
  }

  type(dialog.sftotedit, "0,6");  // rounds to 1 Hz, a voice that can be built
  dialog.ok_steps();
  EXPECT_EQ(voice.parameter(param::kF0).xMax, "2");
}

TEST_F(SettingsDialogTest, EditsGoStraightIntoTheSettings) {
  type(dialog.gainedit, "-6");
  type(dialog.sftotedit, "44100");
  type(dialog.nharmedit, "50");
  type(dialog.ntweeniesedit, "4");
  type(dialog.tottimeedit, "3");
  EXPECT_EQ(voice.settings.gain, "-6");
  EXPECT_EQ(voice.settings.samplingFrequency, "44100");
  EXPECT_EQ(voice.settings.maxHarmonics, "50");
  EXPECT_EQ(voice.settings.tweenies, "4");
  EXPECT_EQ(voice.settings.duration, "3");
  click(dialog.randomcheck);
  EXPECT_TRUE(voice.settings.randomize);
  EXPECT_FALSE(session.document().modified());

  dialog.close();  // the close box: no OK steps, the typed texts stay
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(told(Kind::Everything), 0);
  EXPECT_EQ(voice.tweeniesInUse, 1);
  EXPECT_EQ(voice.settings.tweenies, "4");
  dialog.show();
  EXPECT_EQ(dialog.gainedit->text(), "-6");
  EXPECT_TRUE(dialog.randomcheck->isChecked());
}

TEST_F(SettingsDialogTest, ShowsWhatTheModelHolds) {
  voice.settings.gain = "-12";
  voice.settings.duration = "0.75";
  voice.settings.randomize = true;
  dialog.sync_from_model();
  EXPECT_EQ(dialog.gainedit->text(), "-12");
  EXPECT_EQ(dialog.tottimeedit->text(), "0.75");
  EXPECT_TRUE(dialog.randomcheck->isChecked());

  dialog.hide();
  voice.settings.reset_texts();  // New while the dialog is hidden
  dialog.show();
  EXPECT_EQ(dialog.gainedit->text(), "-20");
  EXPECT_EQ(dialog.sftotedit->text(), "16000");
}

TEST_F(SettingsDialogTest, AutosaveIsStoredAtOnce) {
  ASSERT_TRUE(dialog.autosave());
  click(dialog.autosavebox);
  EXPECT_FALSE(SettingsStore(store.file_name()).ReadBool("Common", "AutoSave", true));
  click(dialog.autosavebox);
  EXPECT_TRUE(SettingsStore(store.file_name()).ReadBool("Common", "AutoSave", false));
  dialog.set_autosave(false);
  EXPECT_FALSE(dialog.autosave());
  EXPECT_EQ(store.ReadString("Common", "Autosave", "?"), "0");
}

TEST(SettingsStore, BoolsAreOneOrZeroAndOtherTextsGiveTheDefault) {
  TempDir dir;
  SettingsStore ini(dir.file("a.ini"));
  ini.WriteBool("Common", "AutoSave", true);
  ini.WriteBool("COMMON", "Autosave", false);
  ini.WriteBool("Common", "Hints", true);
  EXPECT_EQ(testing::read_file(dir.file("a.ini")), "[Common]\r\nAutoSave=0\r\nHints=1\r\n");
  EXPECT_FALSE(ini.ReadBool("common", "autosave", true));

  testing::write_file(dir.file("a.ini"), "[Common]\nYes=yes\nEmpty=\nHalf=1.5\nMinus=-1\nZero=0\n");
  for (const char* name : {"Yes", "Empty", "Half", "Missing"}) {
    EXPECT_TRUE(ini.ReadBool("Common", name, true)) << name;
    EXPECT_FALSE(ini.ReadBool("Common", name, false)) << name;
  }
  EXPECT_TRUE(ini.ReadBool("Common", "Minus", false));
  EXPECT_FALSE(ini.ReadBool("Common", "Zero", true));
  EXPECT_EQ(ini.ReadInteger("Common", "Minus", 7), -1);
  EXPECT_EQ(ini.ReadInteger("Common", "Half", 7), 7);
}

TEST(SettingsStore, ValuesSurviveARestartAndSectionsCanBeErased) {
  TempDir dir;
  {
    SettingsStore ini(dir.file("sub/a.ini"));  // the missing folder is created
    ini.WriteInteger("Common", "Count", -42);
    ini.WriteString("Common", "Name", "Mühle");
    ini.WriteString("Other", "Kept", "yes");
  }
  SettingsStore ini(dir.file("sub/a.ini"));
  EXPECT_EQ(ini.ReadInteger("Common", "Count", 0), -42);
  EXPECT_EQ(ini.ReadString("Common", "Name", ""), "Mühle");
  ini.EraseSection("COMMON");
  EXPECT_EQ(SettingsStore(dir.file("sub/a.ini")).ReadString("Common", "Name", "gone"), "gone");
  EXPECT_EQ(ini.ReadString("Other", "Kept", ""), "yes");
}

TEST(SettingsStore, AStoreThatCannotBeWrittenRaises) {
  TempDir dir;
  testing::write_file(dir.file("plain"), "x");
  SettingsStore blocked(dir.file("plain/a.ini"));  // its folder is a file
  EXPECT_THROW(blocked.WriteBool("Common", "Hints", true), VocantaError);
  EXPECT_TRUE(blocked.ReadBool("Common", "Hints", true));

  // A store that cannot be read is not overwritten with the one entry of a write.
  std::filesystem::create_directory(dir.file("folder.ini"));
  SettingsStore folder(dir.file("folder.ini"));
  EXPECT_THROW(folder.WriteBool("Common", "Hints", true), VocantaError);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.ini")));
}

// The per-user files may be shared with other tests: only the test's own section
// goes, and the file and folder with it when nothing else is left.
void erase_test_section(const std::string& path, const std::string& section) {
  SettingsStore(path).EraseSection(section);
  std::error_code ec;
  if (testing::read_file(path).empty() && std::filesystem::remove(path, ec))
    std::filesystem::remove(std::filesystem::path(path).parent_path(), ec);  // only if empty
}

std::string config_folder() {
  return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
             .toStdString() +
         "/ZarvekData/";
}

TEST(SettingsStore, PerUserStoreIsNamedAfterTheExecutable) {
  EXPECT_EQ(store_base_name("/opt/tools/vocanta.bin.old"), "vocanta");
  EXPECT_EQ(store_base_name("vocanta"), "vocanta");
  SettingsStore store;
  ASSERT_EQ(store.file_name(), config_folder() + "vocanta_gui_tests.ini");
  const std::string section = "SettingsTest" + std::to_string(QCoreApplication::applicationPid());
  store.WriteBool(section, "Hints", false);
  EXPECT_FALSE(SettingsStore().ReadBool(section, "hints", true));
  erase_test_section(store.file_name(), section);
}

TEST(ToolFamilyStore, KeepsItsOwnFile) {
  ToolFamilyStore quirra;
  ASSERT_EQ(quirra.file_name(), config_folder() + "Quirra.ini");
  const std::string section = "QuirraTest" + std::to_string(QCoreApplication::applicationPid());
  quirra.WriteBool(section, "Enabled", true);
  quirra.WriteString(section, "File", "/tmp/log.txt");
  ToolFamilyStore again;
  EXPECT_TRUE(again.ReadBool(section, "ENABLED", false));
  EXPECT_EQ(again.ReadString(section, "file", ""), "/tmp/log.txt");
  EXPECT_FALSE(SettingsStore().ReadBool(section, "Enabled", false));
  erase_test_section(quirra.file_name(), section);
}

}  // namespace
}  // namespace vocanta
