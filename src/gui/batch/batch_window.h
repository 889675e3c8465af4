#pragma once

#include <QWidget>
#include <cstdint>

#include "core/build/batch_build.h"
#include "core/model/model_observer.h"

class QCheckBox;
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
  void connect_controls();
  int16_t current_batch_id() const;
  void show_current_steps();

  void batchlistboxClick();
  void nstepseditKeyPress(const QKeyEvent* event);
  void commit_steps();
  void renamebuttonClick();
  void removebuttonClick();
  void batchbuildbuttonClick();
  void presentlistboxClick();
  BatchBuildChoice build_choice() const;

  Session& session_;
};

}  // namespace vocanta
