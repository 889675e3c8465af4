#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "core/model/model_observer.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vocanta {

class Session;
class SettingsStore;
struct BuildSettings;

// The settings dialog. Its fields show the session's build settings and every edit goes
// straight into them as a step of the edit history (one step per visit to the dialog),
// so what was typed takes effect in the next build and save however the dialog is
// closed.
class SettingsDialog : public QDialog, private ModelObserver {
  Q_OBJECT

 public:
  SettingsDialog(Session& session, SettingsStore& store, QWidget* parent = nullptr);
  ~SettingsDialog() override;

  // Shows the settings the voice holds now (after New and document reads).
  void sync_from_model();

  // Sets the autosave box and stores the option, as a click on it does.
  void set_autosave(bool on);
  bool autosave() const;

  // The OK button: applies the tweenie count, checks the duration and the sampling
  // frequency, sets the time axes and closes the dialog. Raises the message of a duration
  // that is not a number, or of either that is 0 or less; the dialog then stays open.
  void ok_steps();

  QLineEdit* gainedit = nullptr;
  QLineEdit* tottimeedit = nullptr;
  QLineEdit* sftotedit = nullptr;
  QLineEdit* nharmedit = nullptr;
  QLineEdit* ntweeniesedit = nullptr;
  QCheckBox* autosavebox = nullptr;
  QCheckBox* randomcheck = nullptr;
  QPushButton* okbutton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void model_changed(const ModelChange& change) override;
  void create_controls();
  void connect_controls();
  void edit(const std::function<void(BuildSettings&)>& change);
  void apply_tweenie_count();
  // Raises the message of a duration that is not a number, or of a duration or sampling
  // frequency of 0 or less.
  void refuse_empty_voice();
  void store_autosave();

  Session& session_;
  SettingsStore& store_;
  // The edits of one visit to the dialog are undone together.
  uint64_t group_ = 0;
  bool editing_ = false;
};

}  // namespace vocanta
