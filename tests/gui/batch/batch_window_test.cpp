#include "gui/batch/batch_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <tuple>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "gui/batch/batches_fixture.h"
#include "gui/batch/rename_batch_dialog.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

using testing::action;
using testing::Batches;
using testing::child;

TEST(BatchWindow, PresentInListsAWindowOncePerConsideredBatchItCarries) {
  Batches b;
  b.session.voice().add_point(param::kF0, "Vowel", 1, 0.02, 120, 120, 10);
  EXPECT_EQ(b.listed(b.form.batchlistbox), (QStringList{"Pitch", "Vowel"}));
  const QString f0 = "F0", formants = "Formants";
  EXPECT_EQ(b.listed(b.form.presentlistbox), (QStringList{f0, f0, formants}));
  b.select({"Vowel"});
  EXPECT_EQ(b.listed(b.form.presentlistbox), (QStringList{f0, formants}));
  EXPECT_EQ(b.form.nstepsedit->text(), "2");
  b.select({"Pitch"});
  EXPECT_EQ(b.listed(b.form.presentlistbox), QStringList{f0});

  ParameterWindow& window = b.main.desktop().parameter_windows().window(param::kF0);
  window.hide();
  b.form.presentlistbox->setCurrentRow(0);
  emit b.form.presentlistbox->itemClicked(b.form.presentlistbox->item(0));
  EXPECT_TRUE(window.isVisible());
}

TEST(BatchWindow, TheStepsFieldCommitsOnEnterAndRefusesANonInteger) {
  testing::TempDir dir;
  const std::string path = dir.file("solo.vta");
  testing::write_file(path,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n[BatchSteps]\r\nSolo=0\r\n"
                      "[F0]\r\n0=100;100;50;Solo\r\n");
  Batches b(path);
  b.select({"Solo"});
  EXPECT_EQ(b.form.ntobuildlabel->text(), "1 to build");
  QTest::keyClicks(b.form.nstepsedit, "4");
  EXPECT_EQ(b.batch("Solo")->nSteps, 0);
  EXPECT_EQ(b.form.ntobuildlabel->text(), "1 to build");
  b.enter("4");
  EXPECT_EQ(b.batch("Solo")->nSteps, 4);
  EXPECT_EQ(b.form.ntobuildlabel->text(), "5 to build");

  // What is refused, out of range or no whole number, is told with the range.
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  for (const char* text : {"2.5", "99999", "-3"}) b.enter(text);
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  const QString range = "The number of batch steps must be a whole number from 0 to 32767, not ";
  EXPECT_EQ(shown, (QStringList{range + "'2.5'", range + "'99999'", range + "'-3'"}));
  EXPECT_EQ(b.batch("Solo")->nSteps, 4);
  b.enter("32767");
  EXPECT_EQ(b.batch("Solo")->nSteps, 32767);
  action(b.main, "undoAction").trigger();

  action(b.main, "undoAction").trigger();
  EXPECT_EQ(b.batch("Solo")->nSteps, 0);
  EXPECT_EQ(b.form.nstepsedit->text(), "0");
  EXPECT_EQ(b.form.ntobuildlabel->text(), "1 to build");
}

TEST(BatchWindow, AClickOnTheSelectedEntryShowsItsStepsAgain) {
  Batches b;
  b.select({"Vowel"});
  QTest::keyClicks(b.form.nstepsedit, "9");
  EXPECT_EQ(b.form.nstepsedit->text(), "29");
  QListWidgetItem* vowel = b.form.batchlistbox->findItems("Vowel", Qt::MatchExactly).front();
  QTest::mouseClick(b.form.batchlistbox->viewport(), Qt::LeftButton, {},
                    b.form.batchlistbox->visualItemRect(vowel).center());
  EXPECT_EQ(b.form.batchlistbox->selectedItems(), QList<QListWidgetItem*>{vowel});
  EXPECT_EQ(b.form.nstepsedit->text(), "2");
  EXPECT_EQ(b.batch("Vowel")->nSteps, 2);
}

TEST(BatchWindow, RenameKeepsTheTextAsTypedUntilTheDocumentIsReadAgain) {
  testing::TempDir dir;
  Batches b;
  b.select({"Pitch"});
  b.rename("");
  EXPECT_EQ(b.session.voice().batches.batch_name(b.batch("Pitch")->id), "Pitch");
  EXPECT_TRUE(b.session.document().modified());

  b.rename("LOUD");
  EXPECT_EQ(b.listed(b.form.batchlistbox), (QStringList{"LOUD", "Vowel"}));
  EXPECT_EQ(b.form.nstepsedit->text(), "1");  // still selected under its new name
  const int16_t id = b.session.voice().parameter(param::kF0).state.curves->points->batch;
  EXPECT_EQ(b.session.voice().batches.batch_name(id), "LOUD");
  b.prompter->fileNames = {dir.file("renamed.vta")};
  b.session.document().save_document_as();
  b.session.document().load_document(dir.file("renamed.vta"));
  EXPECT_EQ(b.listed(b.form.batchlistbox), (QStringList{"Loud", "Vowel"}));
}

TEST(BatchWindow, RemovingTwoBatchesClearsTheirPointsAndOneUndoBringsAllBack) {
  Batches b;
  const TCurvePoint& pitch = *b.session.voice().parameter(param::kF0).state.curves->points;
  const int16_t pitchId = pitch.batch;
  b.select({"Pitch", "Vowel"});
  EXPECT_EQ(b.form.nstepsedit->text(), "");
  b.form.removebutton->click();
  EXPECT_EQ(b.session.voice().batches.batch_count(), 0);
  EXPECT_TRUE(b.listed(b.form.batchlistbox).isEmpty());
  EXPECT_TRUE(b.listed(b.form.presentlistbox).isEmpty());
  EXPECT_EQ(std::tie(pitch.batch, pitch.batchY, pitch.batchRange), std::make_tuple(0, 0.0, 0.0));
  EXPECT_TRUE(b.session.document().modified());

  action(b.main, "undoAction").trigger();
  EXPECT_EQ(b.listed(b.form.batchlistbox), (QStringList{"Pitch", "Vowel"}));
  EXPECT_EQ(std::tie(pitch.batch, pitch.batchY, pitch.batchRange),
            std::make_tuple(pitchId, 100.0, 50.0));
  EXPECT_EQ(b.batch("Vowel")->nSteps, 2);
  const TCurvePoint& vowel = *b.session.voice().parameter(param::kFormants).state.curves->points;
  EXPECT_EQ(vowel.batch, b.batch("Vowel")->id);
  action(b.main, "redoAction").trigger();
  EXPECT_EQ(b.session.voice().batches.batch_count(), 0);
  EXPECT_EQ(vowel.batch, 0);
}

TEST(BatchWindow, TheCountFollowsBothChoicesAndTheCheckBox) {
  Batches b;
  const auto count = [&] { return b.form.ntobuildlabel->text(); };
  EXPECT_EQ(count(), "5 to build");
  b.form.Includewithoutcheck->click();
  EXPECT_EQ(count(), "6 to build");
  b.form.combinationsradio->click();
  EXPECT_EQ(count(), "12 to build");
  b.form.Includewithoutcheck->click();
  EXPECT_EQ(count(), "6 to build");
  b.form.selectedonlyradio->click();
  b.select({"Pitch"});
  EXPECT_EQ(count(), "2 to build");
  b.form.separateradio->click();
  b.select({"Vowel"});
  EXPECT_EQ(count(), "3 to build");
}

TEST(BatchWindow, ABatchBuildWritesWhatTheCommandLineToolWrites) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp");
  Batches b;
  b.form.combinationsradio->click();
  b.form.Includewithoutcheck->click();
  b.form.selectedonlyradio->click();
  b.select({"Vowel"});
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_EQ(b.prompter->shown, std::vector<std::string>{"Build file as"});
  EXPECT_EQ(b.session.build_run().outcome(), BuildOutcome::Done);
  const testing::SeriesFiles fromWindow = testing::built_files(path);
  EXPECT_NE(fromWindow.labels.find(" Vowel 2\r\n"), std::string::npos);
  // The TextGrid only when its box is checked.
  EXPECT_FALSE(std::filesystem::exists(dir.file("series.TextGrid")));

  testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "-o",
                    QString::fromStdString(path), "--combinations", "--include-without", "--only",
                    "Vowel"});
  const testing::SeriesFiles fromTool = testing::built_files(path);
  EXPECT_EQ(fromWindow.labels, fromTool.labels);
  EXPECT_TRUE(fromWindow.samples == fromTool.samples);
  EXPECT_FALSE(fromTool.table.empty());
  EXPECT_EQ(fromWindow.table, fromTool.table);
}

TEST(BatchWindow, ABreakInTheSecondVoiceEndsTheSeries) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp");
  Batches b;
  b.session.voice().settings.duration = "30";
  bool sawFirst = false, editable = false, secondBuildRefused = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QString label = b.form.Batchprogresslabel->text();
    sawFirst = sawFirst || label == "Pitch 0";
    // The batches stay open to edits while a series is built; a second series waits.
    editable = editable || (label != "" && b.form.removebutton->isEnabled());
    secondBuildRefused =
        secondBuildRefused || (label != "" && !b.form.batchbuildbutton->isEnabled());
    if (label == "Pitch 1") child<QPushButton>(b.main, "breakbutton").click();
  });
  poll.start(5);
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_TRUE(sawFirst);
  EXPECT_TRUE(editable);
  EXPECT_TRUE(secondBuildRefused);
  EXPECT_TRUE(b.form.batchbuildbutton->isEnabled());
  EXPECT_EQ(b.form.Batchprogresslabel->text(), "");
  EXPECT_EQ(child<QLabel>(b.main, "progresslabel").text(), "Break!");
  const std::string labels = testing::built_files(path).labels;
  const std::string voice = std::to_string(8000 * 30);
  ASSERT_EQ(labels.rfind(path + "\r\n0," + voice + ",Pitch 0\r\n" + voice + ",", 0), 0u) << labels;
  EXPECT_EQ(labels.find(",Pitch 1\r\n"), labels.size() - 10);
  EXPECT_EQ(std::count(labels.begin(), labels.end(), '\n'), 3);
}

}  // namespace
}  // namespace vocanta
