#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/build/batch_build.h"
#include "core/build/level_match.h"
#include "core/model/model_observer.h"
#include "core/soundfile/audio_file.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vocanta {

class Session;

// The batch window: the voice's batches with the parameter windows that carry them,
// their steps, renames and removals as steps of the edit history, and the batch build
// with the choices that shape it. The choices last for the run of the program; they
// are not part of the document.
class BatchWindow : public QWidget, private ModelObserver, private BatchProgress {
  Q_OBJECT

 public:
  explicit BatchWindow(Session& session, QWidget* parent = nullptr);
  ~BatchWindow() override;

  void refresh_batch_list();
  void refresh_present_list();
  void update_build_count();
  int selected_batch_count() const;
  // While any build runs, nothing here may change the batches: a series is built from
  // the batches it started with.
  void build_running(bool running);

  QListWidget* batchlistbox = nullptr;
  QLineEdit* nstepsedit = nullptr;
  QListWidget* presentlistbox = nullptr;
  QGroupBox* buildradio = nullptr;
  QRadioButton* selectedonlyradio = nullptr;
  QRadioButton* allbatchesradio = nullptr;
  QGroupBox* combinationradio = nullptr;
  QRadioButton* separateradio = nullptr;
  QRadioButton* combinationsradio = nullptr;
  QCheckBox* Includewithoutcheck = nullptr;
  QPushButton* renamebutton = nullptr;
  QPushButton* removebutton = nullptr;
  QPushButton* batchbuildbutton = nullptr;
  QLabel* Batchprogresslabel = nullptr;
  QLabel* ntobuildlabel = nullptr;
  // How the series is written: one file with, when asked, a TextGrid beside it, or one
  // file per voice in a folder, in the format chosen.
  QCheckBox* textgridcheck = nullptr;
  QCheckBox* splitcheck = nullptr;
  QLabel* formatlabel = nullptr;
  QComboBox* formatcombo = nullptr;
  // Level matching of each voice, off unless checked: Peak or RMS and the target in dB of
  // full scale, with the locale's decimal separator.
  QCheckBox* levelcheck = nullptr;
  QComboBox* levelcombo = nullptr;
  QLineEdit* leveledit = nullptr;
  QLabel* levelunitlabel = nullptr;

  // Asks for the folder of the voices' files, starting at initial; empty when cancelled.
  // The platform's folder dialog unless replaced (tests answer without one).
  using FolderChooser = std::function<std::string(const std::string& initial)>;
  void set_folder_chooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
  // Where autosave puts the document when a build into samplePath starts: while the
  // voices go into a folder, the folder itself, under the name their files begin with.
  std::string autosave_path(const std::string& samplePath) const;
  // A build of one file per voice runs: there is no one file for the result view.
  bool building_split() const { return !splitFolder_.empty(); }

 signals:
  // The present-in list asks for the parameter window of that index to come forward.
  void showParameter(int index);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void model_changed(const ModelChange& change) override;
  void show_label(const std::string& label) override;

  void create_controls();
  QWidget* create_choices();
  QWidget* create_file_choices(QWidget* parent);
  void update_file_choices();
  QWidget* create_level_choices(QWidget* parent);
  void update_level_choices();
  void levelcomboChange(int index);
  void connect_controls();
  int16_t current_batch_id() const;
  void show_current_steps();

  void batchlistboxClick();
  void nstepseditKeyPress(const QKeyEvent* event);
  void commit_steps();
  void renamebuttonClick();
  void removebuttonClick();
  void batchbuildbuttonClick();
  void build_one_file(const std::optional<LevelTarget>& level);
  void build_split(const std::optional<LevelTarget>& level);
  // The target the level choices ask for, none while unchecked; a target that is no
  // number is refused with the field focused.
  std::optional<LevelTarget> level_target() const;
  // The build names the document loaded last, as a plain build's header does.
  void prepare_run();
  std::optional<AudioFormat> chosen_format() const;
  void presentlistboxClick();
  BatchBuildChoice build_choice() const;

  Session& session_;
  FolderChooser chooseFolder_;
  std::string lastFolder_;  // the folder of the last build of one file per voice
  // During such a build: its folder and what autosave gets instead of it.
  std::string splitFolder_;
  std::string splitAutosave_;
  // The target typed for each measure, so that switching between them keeps both.
  QString levelTexts_[2] = {"-1", "-20"};
  int levelMeasure_ = 0;
};

}  // namespace vocanta
