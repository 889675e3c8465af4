#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "core/soundfile/audio_file.h"
#include "gui/platform/gui_prompter.h"
#include "test_support.h"

namespace vocanta {
namespace {

// What a file dialog offered when it came up.
struct Offer {
  QString folder, name, type;
};

// Answers the file dialog that comes up next: notes what it offers, then lets act answer it.
void answer_next_dialog(Offer& offer, std::function<void(QFileDialog&)> act) {
  QTimer::singleShot(0, [&offer, act] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      const auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      offer = {QDir(dialog->directory()).absolutePath(), name ? name->text() : QString(),
               dialog->selectedNameFilter()};
      act(*dialog);
      return;
    }
  });
}

TEST(FileDialogs, TheyStartNearTheDocumentAndKeepTheFileTypeLastChosen) {
  const testing::TempDir dir;
  const QString root = QString::fromStdString(dir.path().string());
  QDir(root).mkpath("docs");
  QDir(root).mkpath("sounds");
  GuiPrompter prompter(nullptr);
  QString document;
  prompter.memory().set_document_folder([&document] { return document; });
  Offer offer;
  const auto cancel = [](QFileDialog& d) { d.reject(); };

  // Untitled and nothing chosen yet: the first type, outside the program's folders.
  answer_next_dialog(offer, [&](QFileDialog& d) {
    // The type is chosen by the extension typed, the list left as it was.
    d.selectFile(root + "/sounds/take.wav");
    static_cast<QDialog&>(d).accept();
  });
  EXPECT_EQ(prompter.save_file_name("Build file as", kBuildFileFilter, "*.smp"),
            (root + "/sounds/take.wav").toStdString());
  EXPECT_EQ(offer.type, "Sample files (*.smp)");
  // The sample path a save gives a document ends in ".smp"; the build offers the type last
  // chosen, in the last folder used.
  answer_next_dialog(offer, cancel);
  EXPECT_EQ(prompter.save_file_name("Build file as", kBuildFileFilter, "*.smp"), "");
  EXPECT_EQ(offer.folder, root + "/sounds");
  EXPECT_EQ(offer.name, "*.wav");
  EXPECT_EQ(offer.type, "WAV files (*.wav)");
  answer_next_dialog(offer, cancel);
  prompter.save_file_name("Build file as", kBuildFileFilter, (root + "/docs/a.smp").toStdString());
  EXPECT_EQ(offer.folder, root + "/docs");
  EXPECT_EQ(offer.name, "a.wav");
  EXPECT_EQ(offer.type, "WAV files (*.wav)");

  // A document open now: dialogs that propose no folder start beside it, an open too.
  document = root + "/docs";
  answer_next_dialog(offer, cancel);
  prompter.save_file_name("Save background...", "Bitmap files (*.bmp)|*.bmp", "");
  EXPECT_EQ(offer.folder, root + "/docs");
  EXPECT_EQ(offer.type, "Bitmap files (*.bmp)");
  answer_next_dialog(offer, cancel);
  prompter.open_file_name("", "Vocanta files (*.vta)|*.vta|Any file (*.*)|*.*", "");
  EXPECT_EQ(offer.folder, root + "/docs");
  // A proposal of a folder that is gone starts at the last folder used.
  document.clear();
  answer_next_dialog(offer, cancel);
  prompter.open_file_name("", "Vocanta files (*.vta)|*.vta", (root + "/gone/b.vta").toStdString());
  EXPECT_EQ(offer.folder, root + "/sounds");
  EXPECT_EQ(offer.name, "b.vta");
}

}  // namespace
}  // namespace vocanta
