#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/build/build_host.h"
#include "core/document/document_lifecycle.h"
#include "core/link/link.h"
#include "core/model/model_observer.h"

class QWidget;

namespace vocanta {

class AboutBox;
class AudioOutput;
class BatchWindow;
class DBusLinkTransport;
class DiagnosticsWindow;
class ErrorLog;
class ParameterWindows;
class PartialOpenDialog;
class Prompter;
class ResultWindow;
class Session;
class SettingsDialog;
class SettingsStore;
class StatisticsWindow;
class VoicePlayer;

// The open document on the desktop and every window that shows it: it owns the session,
// the windows, the player and the link, answers the document's, the build's and the
// link's questions, and tells the main window what to show through signals. The
// windows are Qt children of the main window, so that they stay with it on the screen.
class DesktopSession : public QObject,
                       private DocumentHost,
                       private BuildHost,
                       private ModelObserver,
                       private LinkWindows,
                       private LinkAboutBox {
  Q_OBJECT

 public:
  explicit DesktopSession(QWidget& mainWindow);
  ~DesktopSession() override;

  Session& session() { return *session_; }
  SettingsStore& store() { return *store_; }
  Prompter& prompter() { return *prompter_; }
  ParameterWindows& parameter_windows() { return *windows_; }
  BatchWindow& batch_window() { return *batchWindow_; }
  ResultWindow& result_window() { return *resultWindow_; }
  StatisticsWindow& statistics() { return *statistics_; }
  DiagnosticsWindow& diagnostics() { return *diagnostics_; }
  SettingsDialog& settings_dialog() { return *settingsDialog_; }
  PartialOpenDialog& partial_open_dialog() { return *partialOpenDialog_; }
  AboutBox& about_box() { return *aboutBox_; }
  // Help ▸ About and the link's request: modal, except while a build runs beneath.
  void show_about_box();
  VoicePlayer& player() { return *player_; }
  Link& link() { return *link_; }

  // Replaces the prompter of every window (tests script the answers; "/b" answers
  // without a person).
  void set_prompter(std::unique_ptr<Prompter> prompter);
  // Without a person nobody can look for a missing picture or decide to drop it: the
  // document then keeps the names of the pictures that could not be loaded.
  void set_unattended(bool on) { unattended_ = on; }
  // Replaces the sound card (tests record what would be played).
  void set_audio_output(std::unique_ptr<AudioOutput> output);
  // The error log, once the error handler that it passes messages on to is in place.
  void start_error_log(bool askForLogFile);
  // Whether the progress cursor of the View menu follows builds and playback.
  void set_progress_cursor(bool on) { progressCursor_ = on; }

  // The start-up: the link, a new document, the one named on the command line.
  void start_up(const QString& documentPath);
  // "/b": builds the loaded document's sample file; true when the build was done.
  bool build_unattended();

  // File ▸ "Build voice...": asks for the file, then builds.
  void build_voice_command();
  // The Build button: breaks a running build, otherwise as the menu.
  void break_or_build();
  void new_from_template();
  // Opens a copy of the template as a new untitled document, after the save question.
  void open_template(const QString& path);
  void play_voice();
  // Plays samples already made, from sample index from on, as the current voice plays.
  void play_samples(std::vector<int16_t> samples, int samplingFrequency, int64_t from);
  void stop_playback();
  bool building() const { return building_; }

  // Window ▸ "Arrange": the visible parameter windows beside the main window and the
  // point editor, on the main window's screen.
  void arrange_windows();
  void show_batch_window();
  void show_result_window();
  void restore_window_places();
  void save_window_places();

 signals:
  void captionChanged(const QString& caption);
  void recentFileAdded(const QString& path);
  // The progress label: a percentage, an outcome, "Playing", "Cannot play" or nothing.
  void progressShown(const QString& text);
  void overloadChanged(OverloadState state);
  void buildRunningChanged(bool running);
  void playingChanged();
  void historyChanged();
  // Another program of the family asked the program to close.
  void closeRequested();

 private:
  // DocumentHost
  void set_caption(const std::string& caption) override;
  void new_document_started() override;
  void add_recent_file(const std::string& path) override;
  void load_background(int index, const std::string& path) override;
  void show_parameter(int index) override;

  // BuildHost
  uint32_t tick_count() override;
  uint32_t clock_seed() override;
  void add_statistics_line(const std::string& line) override;
  void build_running(bool running) override;
  void autosave(const std::string& samplePath) override;
  void refresh_progress(double t, const std::string& percent) override;
  void process_events() override;
  void overload_state(OverloadState state) override;
  void voice_overload(const std::string& label, int64_t count, double gainDb) override;
  void outcome(BuildOutcome outcome) override;
  void beep() override;
  void build_finished() override;

  void model_changed(const ModelChange& change) override;

  // LinkWindows, LinkAboutBox
  void close_main_window() override;
  void bring_to_front() override;
  std::string version_text() const override;
  void show_modal() override;

  // The folder of the open document; empty while it has none.
  QString document_folder() const;
  void create_windows();
  void create_result_window();
  void create_player(std::unique_ptr<AudioOutput> output);
  void create_link();
  void build_voice(const QString& path);
  // A build has ended: the result view shows the file when the build was done.
  void result_built();
  // After a start of playback: empty, or why it could not start.
  void played(const QString& refused);
  void cannot_play(const QString& why);
  // The windows whose place is remembered, under their names in the store.
  std::vector<std::pair<QString, QWidget*>> placed_windows();

  QWidget& main_;
  std::unique_ptr<Prompter> prompter_;
  std::unique_ptr<SettingsStore> store_;
  QuietBuildHost clocks_;
  std::unique_ptr<Session> session_;

  // The other windows, created in this order after the main window.
  ParameterWindows* windows_ = nullptr;
  DiagnosticsWindow* diagnostics_ = nullptr;
  BatchWindow* batchWindow_ = nullptr;
  StatisticsWindow* statistics_ = nullptr;
  SettingsDialog* settingsDialog_ = nullptr;
  PartialOpenDialog* partialOpenDialog_ = nullptr;
  ResultWindow* resultWindow_ = nullptr;
  AboutBox* aboutBox_ = nullptr;
  // Whether the batch and result windows have a place yet (restored, or given at their
  // first show).
  bool batchWindowPlaced_ = false;
  bool resultWindowPlaced_ = false;

  VoicePlayer* player_ = nullptr;
  // What playback could not do, each said once.
  QStringList toldCannotPlay_;
  // Set while the run tells the windows that it has stopped, when BuildRun::running()
  // still says it runs.
  bool building_ = false;
  bool progressCursor_ = true;
  bool unattended_ = false;

  std::unique_ptr<ErrorLog> errorLog_;
  std::unique_ptr<DBusLinkTransport> linkTransport_;
  std::unique_ptr<Link> link_;
};

}  // namespace vocanta
