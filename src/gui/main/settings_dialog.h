#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vocanta {

class TIni;
class Voice;

// What the settings dialog's OK needs of the main window.
class SettingsHost {
 public:
  virtual ~SettingsHost() = default;
  // The tweenie spectrum's curves were cleared and its snap step changed: its window
  // is resized and redrawn.
  virtual void tweenies_changed() = 0;
  // The voice duration in seconds that the build uses.
  virtual void set_voice_duration(double seconds) = 0;
  // The time axes got new ranges: all parameter windows are laid out and redrawn.
  virtual void time_ranges_changed() = 0;
};

// The settings dialog. Its fields show the voice's build settings and every edit goes
// straight into them, so what was typed takes effect in the next build and save
// however the dialog is closed.
class TForm10 : public QDialog {
  Q_OBJECT

 public:
  TForm10(Voice& voice, SettingsHost& host, TIni& store, QWidget* parent = nullptr);

  // Shows the settings the voice holds now (after New and document reads).
  void sync_from_model();

  // Sets the autosave box and stores the option, as a click on it does.
  void set_autosave(bool on);
  bool autosave() const;

  // The OK button: applies the tweenie count and the duration, sets the time axes and
  // closes the dialog. Raises the conversion message of a field that is not a number;
  // the dialog then stays open.
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
  void create_controls();
  void connect_controls();
  void apply_tweenie_count();
  void store_autosave();

  Voice& voice_;
  SettingsHost& host_;
  TIni& store_;
};

}  // namespace vocanta
