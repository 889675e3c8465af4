#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "core/document/session.h"
#include "core/soundfile/audio_file.h"
#include "core/support/prompter.h"
#include "gui/batch/batch_window.h"
#include "gui/platform/message_box.h"

namespace vocanta {

BatchBuildChoice BatchWindow::build_choice() const {
  BatchBuildChoice c;
  c.selectedOnly = selectedonlyradio->isChecked();
  c.combinations = combinationsradio->isChecked();
  c.includeWithout = Includewithoutcheck->isChecked();
  for (int i = 0; i < batchlistbox->count(); ++i) {
    const QListWidgetItem* item = batchlistbox->item(i);
    c.entries.push_back(item->text().toStdString());
    c.selected.push_back(item->isSelected());
  }
  return c;
}

void BatchWindow::update_build_count() {
  Session& s = session_;
  const int64_t n = BatchBuild(s.build_run(), s.voice().batches, build_choice()).count();
  ntobuildlabel->setText(QString::number(n) + " to build");
}

void BatchWindow::batchbuildbuttonClick() {
  // Refused at once rather than after the file dialog, as a plain build is.
  session_.build_run().check_idle();
  DocumentLifecycle& document = session_.document();
  const std::string path =
      session_.prompter().save_file_name("Build file as", kBuildFileFilter, document.samplePath);
  if (path.empty()) return;
  document.samplePath = path;
  const BuildRunningScope building;
  session_.build_batches(path, build_choice(), this);
}

void BatchWindow::show_label(const std::string& label) {
  Batchprogresslabel->setText(QString::fromStdString(label));
  Batchprogresslabel->repaint();
}

void BatchWindow::build_running(bool running) {
  // The batches stay open to edits: the build steps a copy of them.
  batchbuildbutton->setEnabled(!running);
  // A build broken off or failed mid-voice leaves no label of a voice in progress.
  if (!running) Batchprogresslabel->clear();
}

}  // namespace vocanta
