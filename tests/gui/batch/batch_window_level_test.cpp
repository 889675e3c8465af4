#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <map>

#include "core/model/voice.h"
#include "gui/batch/batches_fixture.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

using testing::Batches;
using testing::child;
using testing::folder_files;

// Numbers in the windows as a locale with a decimal comma writes them; the document is
// read again, since its settings are held as the windows show them.
void use_decimal_comma(Batches& b) {
  b.session.set_decimal_separator(',');
  b.session.document().load_document(testing::kVowels);
}

QStringList overload_lines(const QStringList& lines) {
  return lines.filter("Overload, reduce gain!");
}

TEST(BatchWindowLevel, AMatchedSeriesInOneFileIsWhatTheCommandLineToolWrites) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp");
  Batches b;
  // Off unless asked, the target waiting for the box; each measure keeps its own target.
  EXPECT_FALSE(b.form.levelcheck->isChecked());
  EXPECT_FALSE(b.form.leveledit->isEnabled());
  EXPECT_EQ(b.form.levelcombo->currentText(), "Peak");
  EXPECT_EQ(b.form.leveledit->text(), "-1");
  b.form.levelcheck->click();
  EXPECT_TRUE(b.form.leveledit->isEnabled());
  b.form.leveledit->setText("-3");
  b.form.levelcombo->setCurrentIndex(1);
  EXPECT_EQ(b.form.leveledit->text(), "-20");
  b.form.levelcombo->setCurrentIndex(0);
  EXPECT_EQ(b.form.leveledit->text(), "-3");
  b.form.levelcombo->setCurrentIndex(1);
  b.form.leveledit->setText("-18.5");

  b.form.combinationsradio->click();
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_EQ(b.session.build_run().outcome(), BuildOutcome::Done);
  // The window's build alone: the main window's next build keeps its rendered samples.
  EXPECT_FALSE(b.session.build_run().level_target().has_value());
  const testing::SeriesFiles fromWindow = testing::built_files(path);
  EXPECT_NE(fromWindow.table.find(",label,gain_dB"), std::string::npos) << fromWindow.table;
  testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "-o",
                    QString::fromStdString(path), "--combinations", "--normalize", "rms=-18.5"});
  const testing::SeriesFiles fromTool = testing::built_files(path);
  EXPECT_EQ(fromWindow.labels, fromTool.labels);
  EXPECT_TRUE(fromWindow.samples == fromTool.samples);
  EXPECT_EQ(fromWindow.table, fromTool.table);

  // Unchecked, the series is the plain one again.
  b.form.levelcheck->click();
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  const testing::SeriesFiles plain = testing::built_files(path);
  EXPECT_EQ(plain.table.find("gain_dB"), std::string::npos);
  testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "-o",
                    QString::fromStdString(path), "--combinations"});
  EXPECT_TRUE(plain.samples == testing::built_files(path).samples);
  EXPECT_FALSE(plain.samples == fromWindow.samples);
}

TEST(BatchWindowLevel, AMatchedFolderOfVoicesIsWhatTheCommandLineToolWrites) {
  testing::TempDir dir;
  const std::string folder = dir.file("window"), cli = dir.file("cli");
  Batches b;
  // The target is typed as the user's locale writes numbers.
  use_decimal_comma(b);
  b.form.levelcheck->click();
  b.form.leveledit->setText("-1,5");
  b.form.Includewithoutcheck->click();
  b.form.splitcheck->click();
  b.form.formatcombo->setCurrentIndex(1);
  b.form.set_folder_chooser([&](const std::string&) { return folder; });
  b.form.batchbuildbutton->click();
  EXPECT_EQ(child<QLabel>(b.main, "progresslabel").text(), "Done!");
  std::map<std::string, std::string> fromWindow = folder_files(folder);
  fromWindow.erase("batch_vowels.vta");
  testing::run_cli({"batch", QString::fromStdString(testing::kVowels), "--split",
                    QString::fromStdString(cli), "--format", "flac", "--include-without",
                    "--normalize", "peak=-1.5"});
  EXPECT_EQ(fromWindow.size(), 7u);  // 6 voices and the table
  EXPECT_TRUE(fromWindow == folder_files(cli));
  EXPECT_NE(fromWindow["batch_vowels.stimuli.csv"].find(",gain_dB"), std::string::npos);
  EXPECT_FALSE(b.session.build_run().level_target().has_value());
}

TEST(BatchWindowLevel, ATargetThatIsNoNumberIsRefusedBeforeAnyDialog) {
  Batches b;
  use_decimal_comma(b);
  b.form.levelcheck->click();
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  for (const char* text : {"-1.5", "", "loud"}) {
    b.form.leveledit->setText(text);
    b.form.batchbuildbutton->click();
  }
  // Unchecked, the field is not read at all.
  b.form.levelcheck->click();
  b.form.splitcheck->click();
  b.form.set_folder_chooser([](const std::string&) { return std::string(); });
  b.form.batchbuildbutton->click();
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, (QStringList{"Match level [dB]: '-1.5' is not a valid floating point value",
                                "Match level [dB]: Cannot convert empty string to number",
                                "Match level [dB]: 'loud' is not a valid floating point value"}));
  EXPECT_TRUE(b.prompter->fileDialogs.empty());
  EXPECT_TRUE(b.main.desktop().statistics().lines().filter("started").isEmpty());
}

TEST(BatchWindowLevel, AVoiceThatClipsAfterItsGainLightsTheLampAndIsNamedInTheLog) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp");
  Batches b;
  use_decimal_comma(b);
  b.form.levelcheck->click();
  b.form.leveledit->setText("6");
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_EQ(b.session.build_run().outcome(), BuildOutcome::Done);
  EXPECT_TRUE(child<QLabel>(b.main, "olred").isVisible());
  EXPECT_EQ(child<QLabel>(b.main, "ollabel").text(), "Overload, reduce gain!");
  const QStringList fromWindow = overload_lines(b.main.desktop().statistics().lines());

  QProcess tool;
  tool.start(VOCANTA_CLI, {"batch", QString::fromStdString(testing::kVowels), "-o",
                           QString::fromStdString(dir.file("cli.smp")), "--normalize", "peak=6"});
  ASSERT_TRUE(tool.waitForFinished(60000));
  QStringList fromTool;
  for (QString line : overload_lines(QString::fromUtf8(tool.readAllStandardError()).split('\n')))
    fromTool << line.remove("vocanta-cli: ").replace('.', ',');
  ASSERT_EQ(fromTool.size(), 5);  // every voice
  ASSERT_EQ(fromWindow, fromTool);
  EXPECT_TRUE(fromWindow.first().startsWith("Overload, reduce gain! The voice 'Pitch 0' clips "))
      << fromWindow.first().toStdString();

  // A build that does not clip puts the lamp out again and says nothing of voices.
  b.form.leveledit->setText("-1");
  b.prompter->fileNames = {path};
  b.form.batchbuildbutton->click();
  EXPECT_FALSE(child<QLabel>(b.main, "olred").isVisible());
  EXPECT_EQ(overload_lines(b.main.desktop().statistics().lines()), fromWindow);
}

}  // namespace
}  // namespace vocanta
