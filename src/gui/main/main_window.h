#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>

#include "core/build/build_outcome.h"
#include "core/model/parameter_table.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace vocanta {

class DesktopSession;
class RecentFilesMenu;

// The small control window from which everything starts: the menus, the build button,
// the progress label and the overload lamps. The desktop session behind it owns the
// document and the other windows; this window forwards its commands there and shows
// what the session tells it.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // arguments: the command line after the program name.
  explicit MainWindow(QStringList arguments, QWidget* parent = nullptr);
  ~MainWindow() override;

  DesktopSession& desktop() { return *desktop_; }
  // The start-up sequence, run once at the first activation.
  void start_up();
  // The exit status for a "/b" run: 0 when the build was done.
  int exit_status() const { return exitStatus_; }

 protected:
  void setVisible(bool visible) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void create_controls();
  QLabel* create_lamp(QWidget* parent, const char* name);
  void listen_to_desktop();
  void create_menus();
  void create_file_menu();
  void create_play_actions();
  void create_edit_menu();
  void create_view_menu();
  void create_options_menu();
  void create_window_menu();
  void create_help_menu();
  void create_recent_files();
  void refresh_edit_menu();
  void refresh_undo_actions();
  void refresh_play_actions();
  void set_hints(bool on);
  void read_persisted_options();
  void toggle_option(QAction* action, const char* key);
  void show_overload(OverloadState state);
  void show_progress(const QString& text);
  bool batch_mode() const;
  void enter_batch_mode();
  void run_batch_mode();

  std::unique_ptr<DesktopSession> desktop_;
  RecentFilesMenu* recentFiles_ = nullptr;

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
  bool closeAfterBuild_ = false;  // a close came while a build ran
  bool placed_ = false;
  bool hints_ = true;
  int exitStatus_ = 0;
};

}  // namespace vocanta
