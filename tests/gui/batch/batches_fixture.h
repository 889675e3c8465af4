#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>

#include "core/document/session.h"
#include "gui/batch/batch_window.h"
#include "gui/batch/rename_batch_dialog.h"
#include "gui/main/started_window.h"
#include "test_support.h"

namespace vocanta::testing {

inline const std::string kVowels = std::string(VOCANTA_SOURCE_DIR) + "/tests/data/batch_vowels.vta";

// The main window with a document of batches open and the batch window shown: Pitch
// (N = 1) on F0 and Vowel (N = 2) on the first formant.
struct Batches : Started {
  explicit Batches(const std::string& document = kVowels)
      : session(main.desktop().session()), form(child<BatchWindow>(main, "TForm3")) {
    session.document().load_document(document);
    action(main, "batchEditorAction").trigger();
  }
  ~Batches() { form.hide(); }
  tbatchitem* batch(const char* name) {
    return session.voice().batches.find_batch(session.voice().batches.find_batch_id(name));
  }
  // Selects exactly the entries of these names, as clicks in the list would.
  void select(const QStringList& names) {
    form.batchlistbox->clearSelection();
    for (int i = 0; i < form.batchlistbox->count(); ++i) {
      QListWidgetItem* item = form.batchlistbox->item(i);
      if (!names.contains(item->text())) continue;
      form.batchlistbox->setCurrentItem(item, QItemSelectionModel::NoUpdate);
      item->setSelected(true);
    }
  }
  static QStringList listed(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }
  // Runs the rename dialog and confirms this text.
  void rename(const QString& text) {
    QTimer::singleShot(0, [&] {
      RenameBatchDialog& dialog = child<RenameBatchDialog>(form, "TForm8");
      dialog.nameedit->setText(text);
      dialog.okbutton->click();
    });
    form.renamebutton->click();
  }
  void enter(const QString& text) {
    form.nstepsedit->setText(text);
    QTest::keyClick(form.nstepsedit, Qt::Key_Return);
  }

  Session& session;
  BatchWindow& form;
};

// The files of a one-file series, read and then removed, so that the next build of the
// same name starts afresh; a file that is missing reads as empty.
struct SeriesFiles {
  std::string samples, labels, table;
};
inline SeriesFiles built_files(const std::string& samples) {
  const auto beside = [&](const char* extension) {
    return std::filesystem::path(samples).replace_extension(extension).string();
  };
  SeriesFiles files{read_file(samples), read_file(beside(".CSV")),
                    read_file(beside(".stimuli.csv"))};
  for (const std::string& path : {samples, beside(".CSV"), beside(".stimuli.csv")})
    std::filesystem::remove(path);
  return files;
}

// Runs vocanta-cli with these arguments and expects it to succeed.
inline void run_cli(const QStringList& arguments) {
  QProcess cli;
  cli.start(VOCANTA_CLI, arguments);
  ASSERT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}

}  // namespace vocanta::testing
