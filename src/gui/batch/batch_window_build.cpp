#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <optional>
#include <string>

#include "core/build/split_build.h"
#include "core/document/session.h"
#include "core/soundfile/audio_file.h"
#include "core/support/number_format.h"
#include "core/support/prompter.h"
#include "core/support/vocanta_error.h"
#include "gui/batch/batch_window.h"
#include "gui/platform/message_box.h"

namespace vocanta {
namespace {

// The name the files of a series built into a folder begin with, as the stimulus build
// makes it of the document's name without folder and extension; "voices" for none.
std::string series_name(const std::string& documentPath) {
  const std::string name = documentPath.substr(documentPath.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  const std::string fit =
      file_name_part(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot));
  return fit.empty() ? "voices" : fit;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Level matching for the one build from the window: a plain build of the main window,
// or a program of the family asking for one, gets its samples as rendered.
class LevelScope {
 public:
  LevelScope(BuildRun& run, const std::optional<LevelTarget>& level) : run_(run) {
    run_.set_level_target(level);
  }
  LevelScope(const LevelScope&) = delete;
  LevelScope& operator=(const LevelScope&) = delete;
  ~LevelScope() { run_.set_level_target(std::nullopt); }

 private:
  BuildRun& run_;
};

}  // namespace

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
  // A target that is no number is refused before any dialog.
  const std::optional<LevelTarget> level = level_target();
  if (splitcheck->isChecked())
    build_split(level);
  else
    build_one_file(level);
}

std::optional<LevelTarget> BatchWindow::level_target() const {
  if (!levelcheck->isChecked()) return std::nullopt;
  LevelTarget target;
  target.measure =
      levelcombo->currentIndex() == 1 ? LevelTarget::Measure::Rms : LevelTarget::Measure::Peak;
  try {
    target.dB = parse_number(leveledit->text().toStdString(), session_.decimal_separator());
  } catch (const VocantaError& e) {
    leveledit->setFocus();
    leveledit->selectAll();
    throw VocantaError(std::string("Match level [dB]: ") + e.what());
  }
  return target;
}

void BatchWindow::prepare_run() {
  const DocumentLifecycle& document = session_.document();
  session_.build_run().set_document_path(document.lastLoadedPath);
  session_.build_run().set_open_document(document.documentPath);
}

void BatchWindow::build_one_file(const std::optional<LevelTarget>& level) {
  DocumentLifecycle& document = session_.document();
  const std::string path =
      session_.prompter().save_file_name("Build file as", kBuildFileFilter, document.samplePath);
  if (path.empty()) return;
  document.samplePath = path;
  const BuildRunningScope building;
  prepare_run();
  const LevelScope matched(session_.build_run(), level);
  StimulusBuild(session_.build_run(), session_.voice(), build_choice(), this)
      .build_one_file(path, textgridcheck->isChecked());
}

std::optional<AudioFormat> BatchWindow::chosen_format() const {
  switch (formatcombo->currentIndex()) {
    case 0:
      return AudioFormat::Wav;
    case 1:
      return AudioFormat::Flac;
    case 2:
      return AudioFormat::Aiff;
  }
  return std::nullopt;
}

void BatchWindow::build_split(const std::optional<LevelTarget>& level) {
  DocumentLifecycle& document = session_.document();
  const std::string folder =
      chooseFolder_(lastFolder_.empty() ? folder_of(document.documentPath) : lastFolder_);
  if (folder.empty()) return;
  lastFolder_ = folder;
  // The files are named after the document that their headers name: the one loaded
  // last, as the command line names them after the document it builds.
  const std::string named = document.lastLoadedPath;
  const BuildRunningScope building;
  prepare_run();
  // The document goes with its voices into the folder, named as their files and table.
  splitFolder_ = folder;
  splitAutosave_ = folder + "/" + series_name(named) + ".smp";
  // Autosave points the sample file at the folder's NAME.smp, whose series' table would
  // replace the folder's own: the build file dialog proposes what it proposed before.
  struct Forget {
    BatchWindow& w;
    DocumentLifecycle& document;
    const std::string samplePath;
    ~Forget() {
      w.splitFolder_.clear();
      document.samplePath = samplePath;
    }
  } forget{*this, document, document.samplePath};
  const LevelScope matched(session_.build_run(), level);
  StimulusBuild(session_.build_run(), session_.voice(), build_choice(), this)
      .build_split(folder, chosen_format(), named);
}

std::string BatchWindow::autosave_path(const std::string& samplePath) const {
  return !splitFolder_.empty() && samplePath == splitFolder_ ? splitAutosave_ : samplePath;
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
