#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "core/document/document.h"
#include "core/document/document_lifecycle.h"
#include "core/model/voice.h"
#include "gui/diagram/edit_cursors.h"
#include "gui/diagram/parameter_window_host.h"
#include "gui/main/settings_dialog.h"
#include "gui/platform/gui_prompter.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace vocanta {

class BuildRun;
class GuiBuildHost;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm9;
class TIni;
class TRecentFiles;
class Tform6;

// The small control window from which everything starts. It owns the voice, every
// other window and the document and build state.
class TForm1 : public QMainWindow,
               public ParameterWindowHost,
               public SettingsHost,
               public BackgroundHost,
               public DocumentHost {
  Q_OBJECT

 public:
  // arguments: the command line after the program name.
  explicit TForm1(QStringList arguments, QWidget* parent = nullptr);
  ~TForm1() override;

  // The start-up sequence, run once at the first activation.
  void start_up();
  // The exit status for a "/b" run: 0 when the build was done.
  int exit_status() const { return exitStatus_; }

  // The document: its path, sample path, modified flag and commands.
  DocumentLifecycle& document() { return *document_; }
  void new_document() { document_->new_document(); }
  void load_document(const QString& path) { document_->load_document(path.toStdString()); }

  // Builds.
  void build_voice_command();
  void build_voice(const QString& path);
  void break_or_build();
  BuildRun& build_run() { return *run_; }
  void set_overload_state(int state);

  // Window commands.
  void show_all();
  void show_used();
  void hide_unused();
  void hide_all();
  void sync_editor_visibility();
  void set_hints(bool on);
  void refresh_edit_menu();

  // ParameterWindowHost
  Voice& voice() override { return voice_; }
  Prompter& prompter() override { return *prompter_; }
  bool parameter_sync_cursor() const override;
  void draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) override;
  void parameter_window_shown(TForm2& window) override;
  void parameter_window_activated(TForm2& window) override;
  void parameter_window_closed(TForm2& window) override;
  void search_background(TForm2& window, const QString& path) override;
  QCursor edit_cursor(int number) const override { return cursors_.cursor(number); }

  // SettingsHost
  void tweenies_changed() override;
  void set_voice_duration(double seconds) override { voiceDuration = seconds; }
  void time_ranges_changed() override;

  // BackgroundHost
  void show_parameter(int index) override;
  void save_pasted_background(int index) override;
  void load_background(int index, const std::string& path) override;
  void redraw(int index) override;

  // DocumentHost
  void set_caption(const std::string& caption) override;
  void new_document_started() override;
  void voice_replaced() override;
  void add_recent_file(const std::string& path) override;

  void set_prompter(std::unique_ptr<Prompter> prompter);
  void lay_out_all();

  // The other windows, created in this order after the main window.
  TForm5* pointEditor = nullptr;
  Tform6* diagnostics = nullptr;
  TForm3* batchWindow = nullptr;
  TForm9* statistics = nullptr;
  TForm10* settingsDialog = nullptr;
  TForm4* partialOpenDialog = nullptr;
  TRecentFiles* recentFiles = nullptr;
  std::array<TForm2*, kParameterCount> parameterWindows{};

  QPushButton* breakbutton = nullptr;
  QLabel* progresslabel = nullptr;
  QLabel* olgreen = nullptr;
  QLabel* olred = nullptr;
  QLabel* olgray = nullptr;
  QLabel* ollabel = nullptr;

  QAction* hintsAction = nullptr;
  QAction* syncCursorAction = nullptr;
  QAction* progressCursorAction = nullptr;
  QAction* pointEditorAction = nullptr;
  QAction* buildAction = nullptr;
  QMenu* fileMenu = nullptr;
  std::array<QAction*, kParameterCount> editActions{};

  int activeWindow = 1;
  double voiceDuration = 1;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void create_controls();
  void create_menus();
  void create_file_menu();
  void create_edit_menu();
  void create_view_menu();
  void create_options_menu();
  void create_window_menu();
  void create_recent_files();
  void report_errors(const std::function<void()>& command);
  void read_persisted_options();
  void toggle_option(QAction* action, const char* key);

  Voice voice_;
  std::unique_ptr<Prompter> prompter_;
  std::unique_ptr<TIni> store_;
  std::unique_ptr<DocumentLifecycle> document_;
  std::unique_ptr<GuiBuildHost> buildHost_;
  std::unique_ptr<BuildRun> run_;
  EditCursors cursors_;
  QStringList arguments_;
  bool firstActivation_ = true;
  bool parametersInitialised_ = false;
  bool hints_ = true;
  int exitStatus_ = 0;
};

}  // namespace vocanta
