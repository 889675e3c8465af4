#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/document/document_lifecycle.h"
#include "core/link/link.h"
#include "core/model/model_observer.h"
#include "core/model/parameter_table.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace vocanta {

class AudioOutput;
class DBusLinkTransport;
class GuiBuildHost;
class ParameterWindows;
class Prompter;
class Session;
class BatchWindow;
class PartialOpenDialog;
class ErrorLog;
class StatisticsWindow;
class SettingsDialog;
class SettingsStore;
class RecentFilesMenu;
class VoicePlayer;
class DiagnosticsWindow;
class AboutBox;
class ResultWindow;

// The small control window from which everything starts: the menus, the build button
// and the overload lamps. It shows one session and forwards its menus to it; it owns
// every other window.
class MainWindow : public QMainWindow,
                   private DocumentHost,
                   private ModelObserver,
                   private LinkWindows,
                   private LinkAboutBox {
  Q_OBJECT

 public:
  // arguments: the command line after the program name.
  explicit MainWindow(QStringList arguments, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence, run once at the first activation.
  void start_up();
  // The exit status for a "/b" run: 0 when the build was done.
  int exit_status() const { return exitStatus_; }

  Session& session() { return *session_; }
  ParameterWindows& parameter_windows() { return *windows_; }
  // Replaces the prompter of every window (tests script the answers).
  void set_prompter(std::unique_ptr<Prompter> prompter);
  // Opens a copy of the template as a new untitled document, after the save question.
  void open_template(const QString& path);
  // Window ▸ "Arrange": the visible parameter windows beside the main window and the
  // point editor, on the main window's screen.
  void arrange_windows();
  // Replaces the sound card (tests record what would be played).
  void set_audio_output(std::unique_ptr<AudioOutput> output);
  VoicePlayer& player() { return *player_; }
  // Plays samples already made, from sample index from on, as the current voice plays.
  void play_samples(std::vector<int16_t> samples, int samplingFrequency, int64_t from);
  // The link with the other programs of the tool family.
  Link& link() { return *link_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class GuiBuildHost;

  // DocumentHost
  void set_caption(const std::string& caption) override;
  void new_document_started() override;
  void add_recent_file(const std::string& path) override;
  void load_background(int index, const std::string& path) override;
  void show_parameter(int index) override;

  void model_changed(const ModelChange& change) override;

  // LinkWindows, LinkAboutBox
  void close_main_window() override;
  void bring_to_front() override;
  std::string version_text() const override;
  void show_modal() override;
  void create_link();
  void stop_link();

  void create_controls();
  QLabel* create_lamp(QWidget* parent, const char* name);
  void create_windows();
  void create_menus();
  void create_file_menu();
  void create_edit_menu();
  void create_view_menu();
  void create_options_menu();
  void create_window_menu();
  void create_help_menu();
  void create_recent_files();
  void new_from_template();
  // The windows whose place is remembered, under their names in the store.
  std::vector<std::pair<QString, QWidget*>> placed_windows();
  void save_window_places();
  void restore_window_places();
  void show_batch_window();
  void create_result_window();
  void show_result_window();
  // A build has ended: the result view shows the file when the build was done.
  void result_built();
  void refresh_edit_menu();
  void refresh_undo_actions();
  void set_hints(bool on);
  void read_persisted_options();
  void toggle_option(QAction* action, const char* key);
  bool batch_mode() const;
  void enter_batch_mode();
  void run_batch_mode();

  void create_player(std::unique_ptr<AudioOutput> output);
  void create_play_actions();
  void play_voice();
  // After a start of playback: empty, or why it could not start.
  void played(const QString& refused);
  void cannot_play(const QString& why);
  void stop_playback();
  void refresh_play_actions();

  void build_voice_command();
  void build_voice(const QString& path);
  void break_or_build();
  void set_overload_state(int state);

  std::unique_ptr<Prompter> prompter_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<GuiBuildHost> buildHost_;
  std::unique_ptr<Session> session_;

  // The other windows, created in this order after the main window.
  ParameterWindows* windows_ = nullptr;
  DiagnosticsWindow* diagnostics_ = nullptr;
  BatchWindow* batchWindow_ = nullptr;
  // Whether the batch window has a place yet (restored, or given at its first show).
  bool batchWindowPlaced_ = false;
  bool resultWindowPlaced_ = false;
  StatisticsWindow* statistics_ = nullptr;
  SettingsDialog* settingsDialog_ = nullptr;
  PartialOpenDialog* partialOpenDialog_ = nullptr;
  RecentFilesMenu* recentFiles_ = nullptr;
  AboutBox* aboutBox_ = nullptr;
  VoicePlayer* player_ = nullptr;
  // What playback could not do, each said once.
  QStringList toldCannotPlay_;
  bool building_ = false;
  ResultWindow* resultWindow_ = nullptr;
  std::unique_ptr<ErrorLog> errorLog_;
  std::unique_ptr<DBusLinkTransport> linkTransport_;
  std::unique_ptr<Link> link_;

  QPushButton* breakbutton_ = nullptr;
  QLabel* progresslabel_ = nullptr;
  QLabel* olgreen_ = nullptr;
  QLabel* olred_ = nullptr;
  QLabel* olgray_ = nullptr;
  QLabel* ollabel_ = nullptr;

  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* hintsAction_ = nullptr;
  QAction* syncCursorAction_ = nullptr;
  QAction* progressCursorAction_ = nullptr;
  QAction* pointEditorAction_ = nullptr;
  QAction* playAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  std::array<QAction*, kParameterCount> editActions_{};

  QStringList arguments_;
  bool firstActivation_ = true;
  bool parametersInitialised_ = false;
  bool hints_ = true;
  int exitStatus_ = 0;
};

}  // namespace vocanta
