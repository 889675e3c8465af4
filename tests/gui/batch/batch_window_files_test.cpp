#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <map>
#include <set>

#include "core/model/voice.h"
#include "gui/batch/batches_fixture.h"
#include "gui/main/statistics_window.h"
#include "gui/result/result_window.h"

namespace vocanta {
namespace {

using testing::Batches;
using testing::child;
using testing::folder_files;

TEST(BatchWindowFiles, TheTextGridBoxWritesWhatTheCommandLineToolWrites) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp"), grid = dir.file("series.TextGrid");
  Batches b;
  b.form.textgridcheck->click();
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_EQ(b.session.build_run().outcome(), BuildOutcome::Done);
  const std::string fromWindow = testing::read_file(grid);
  std::filesystem::remove(grid);
  const testing::SeriesFiles window = testing::built_files(path);
  EXPECT_NE(fromWindow.find("\"Vowel 2\""), std::string::npos) << fromWindow;

  testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "-o",
                    QString::fromStdString(path), "--textgrid"});
  EXPECT_EQ(testing::read_file(grid), fromWindow);
  EXPECT_EQ(testing::built_files(path).table, window.table);

  // A TextGrid describes one file; the format is only that of the voices' files.
  EXPECT_FALSE(b.form.formatcombo->isEnabled());
  b.form.splitcheck->click();
  EXPECT_FALSE(b.form.textgridcheck->isEnabled());
  EXPECT_TRUE(b.form.formatcombo->isEnabled());
  b.form.splitcheck->click();
  EXPECT_TRUE(b.form.textgridcheck->isEnabled());
}

TEST(BatchWindowFiles, OneFilePerVoiceWritesWhatTheCommandLineToolWritesInEachFormat) {
  testing::TempDir dir;
  Batches b;
  b.form.combinationsradio->click();
  b.form.Includewithoutcheck->click();
  b.form.splitcheck->click();
  testing::action(b.main, "resultAction").trigger();
  const std::string samplePath = b.session.document().samplePath;
  std::string folder;
  std::vector<std::string> offered;
  b.form.set_folder_chooser([&](const std::string& initial) {
    offered.push_back(initial);
    return folder;
  });
  const std::vector<QString> formats = {"wav", "flac", "aiff", "smp"};
  ASSERT_EQ(b.form.formatcombo->count(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(formats[i].toStdString());
    folder = dir.file("window_" + formats[i].toStdString());
    b.form.formatcombo->setCurrentIndex(i);
    b.form.batchbuildbutton->click();
    EXPECT_EQ(child<QLabel>(b.main, "progresslabel").text(), "Done!");
    std::map<std::string, std::string> fromWindow = folder_files(folder);
    // The document goes into the folder under the name the files begin with.
    EXPECT_EQ(b.session.document().documentPath, folder + "/batch_vowels.vta");
    EXPECT_EQ(fromWindow.erase("batch_vowels.vta"), 1u);
    // Not the folder's NAME.smp, whose table would replace the folder's.
    EXPECT_EQ(b.session.document().samplePath, samplePath);

    const std::string cli = dir.file("cli_" + formats[i].toStdString());
    testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "--split",
                      QString::fromStdString(cli), "--format", formats[i], "--combinations",
                      "--include-without"});
    EXPECT_EQ(fromWindow.size(), 13u);  // 12 voices and the table
    EXPECT_TRUE(fromWindow == folder_files(cli));
    EXPECT_TRUE(fromWindow.contains("batch_vowels_12_Pitch_1_Vowel_2." + formats[i].toStdString()));
  }
  // The first folder offered is the document's, then the one chosen last.
  EXPECT_EQ(offered,
            (std::vector<std::string>{VOCANTA_SOURCE_DIR "/tests/data", dir.file("window_wav"),
                                      dir.file("window_flac"), dir.file("window_aiff")}));
  EXPECT_TRUE(b.main.desktop().statistics().lines().contains(
      QString::fromStdString("Build of " + folder + " started")));
  // No one file is the series: the result view shows none of them.
  QTest::qWait(20);
  EXPECT_TRUE(b.main.desktop().result_window().shown_path().isEmpty());

  // A cancelled folder dialog builds nothing.
  folder.clear();
  b.form.batchbuildbutton->click();
  EXPECT_EQ(offered.size(), 5u);
  EXPECT_EQ(b.main.desktop().statistics().lines().filter("started").size(), 4);
}

TEST(BatchWindowFiles, ABreakEndsAFolderOfVoicesAfterTheVoiceInProgress) {
  testing::TempDir dir;
  const std::string folder = dir.file("voices");
  Batches b;
  b.session.voice().settings.duration = "30";
  b.form.splitcheck->click();
  b.form.set_folder_chooser([&](const std::string&) { return folder; });
  bool sawFirst = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QString label = b.form.Batchprogresslabel->text();
    sawFirst = sawFirst || label == "Pitch 0";
    if (label == "Pitch 1") child<QPushButton>(b.main, "breakbutton").click();
  });
  poll.start(5);
  b.form.batchbuildbutton->click();
  EXPECT_TRUE(sawFirst);
  EXPECT_TRUE(b.form.batchbuildbutton->isEnabled());
  EXPECT_EQ(b.form.Batchprogresslabel->text(), "");
  EXPECT_EQ(child<QLabel>(b.main, "progresslabel").text(), "Break!");
  std::set<std::string> names;
  for (const auto& [name, bytes] : folder_files(folder)) names.insert(name);
  EXPECT_EQ(names,
            (std::set<std::string>{"batch_vowels.stimuli.csv", "batch_vowels.vta",
                                   "batch_vowels_1_Pitch_0.wav", "batch_vowels_2_Pitch_1.wav"}));
  const std::string table = testing::read_file(folder + "/batch_vowels.stimuli.csv");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3);  // the header and two voices
}

}  // namespace
}  // namespace vocanta
