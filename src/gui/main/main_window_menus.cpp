#include <QAction>
#include <QMenuBar>

#include "core/document/session.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/about_box.h"
#include "gui/main/desktop_session.h"
#include "gui/main/main_window.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"
#include "gui/playback/voice_player.h"

namespace vocanta {
namespace {

// The Edit menu's order, with -1 for a separator line.
constexpr int kEditOrder[] = {0,  1,  2,  3,  -1, 4,  5,  6,  7,  8,  9,  10, -1,
                              11, 12, 13, 14, 15, 16, 17, 18, -1, 19, 20, 21, 22};

QAction* named(QAction* action, const char* name) {
  action->setObjectName(name);
  return action;
}

}  // namespace

void MainWindow::create_menus() {
  create_file_menu();
  create_edit_menu();
  create_view_menu();
  create_options_menu();
  create_window_menu();
  create_help_menu();
  // The parameter windows are windows of their own; F9, Ctrl+S, Ctrl+Z and the rest
  // must work from whichever window the user is drawing in.
  for (QAction* a : menuBar()->findChildren<QAction*>())
    a->setShortcutContext(Qt::ApplicationShortcut);
}

void MainWindow::create_file_menu() {
  fileMenu_ = menuBar()->addMenu("&File");
  DocumentLifecycle& document = desktop_->session().document();
  DesktopSession* d = desktop_.get();
  fileMenu_->addAction("&New", QKeySequence("Ctrl+N"), this,
                       reported([&] { document.new_document(); }));
  named(
      fileMenu_->addAction("New from template...", this, reported([d] { d->new_from_template(); })),
      "newFromTemplateAction");
  fileMenu_->addAction("&Open...", QKeySequence("Ctrl+O"), this,
                       reported([&] { document.open_document(); }));
  fileMenu_->addAction("Partial open...", this, reported([d] { d->partial_open_dialog().exec(); }));
  fileMenu_->addAction("&Save", QKeySequence("Ctrl+S"), this,
                       reported([&] { document.save_document(); }));
  // The keys Linux programs use besides those of the menus' own.
  named(fileMenu_->addAction("Save &as...", QKeySequence("Ctrl+Shift+S"), this,
                             reported([&] { document.save_document_as(); })),
        "saveAsAction");
  fileMenu_->addSeparator();
  named(fileMenu_->addAction("&Build voice...", QKeySequence("F9"), this,
                             reported([d] { d->build_voice_command(); })),
        "buildAction");
  create_play_actions();
  fileMenu_->addSeparator();
  named(fileMenu_->addAction("E&xit", QKeySequence("Ctrl+Q"), this, [this] { close(); }),
        "exitAction");
}

void MainWindow::create_edit_menu() {
  QMenu* edit = menuBar()->addMenu("&Edit");
  Session& session = desktop_->session();
  undoAction_ =
      named(edit->addAction("&Undo", QKeySequence::Undo, this, reported([&] { session.undo(); })),
            "undoAction");
  redoAction_ =
      named(edit->addAction("&Redo", this, reported([&] { session.redo(); })), "redoAction");
  redoAction_->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  edit->addSeparator();
  for (int index : kEditOrder) {
    if (index < 0) {
      edit->addSeparator();
      continue;
    }
    QAction* a = edit->addAction(QString::fromUtf8(kParameterTable[index].menuCaption.data(),
                                                   kParameterTable[index].menuCaption.size()));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, reported([this, index] {
              ParameterWindows& windows = desktop_->parameter_windows();
              windows.window(index).show();
              windows.window(index).raise();
              windows.sync_editor_visibility();
              refresh_edit_menu();
            }));
    editActions_[static_cast<size_t>(index)] = a;
  }
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::refresh_edit_menu);
}

void MainWindow::refresh_edit_menu() {
  for (int i = 0; i < kParameterCount; ++i)
    editActions_[static_cast<size_t>(i)]->setChecked(
        desktop_->parameter_windows().window(i).isVisible());
}

void MainWindow::refresh_undo_actions() {
  const EditHistory& history = desktop_->session().history();
  undoAction_->setEnabled(history.can_undo());
  undoAction_->setText(QString::fromStdString("&Undo " + history.undo_caption()).trimmed());
  redoAction_->setEnabled(history.can_redo());
  redoAction_->setText(QString::fromStdString("&Redo " + history.redo_caption()).trimmed());
}

void MainWindow::create_view_menu() {
  QMenu* view = menuBar()->addMenu("&View");
  hintsAction_ = named(view->addAction("&Hints"), "hintsAction");
  hintsAction_->setCheckable(true);
  connect(hintsAction_, &QAction::triggered, this, reported([this](bool on) {
            set_hints(on);
            desktop_->store().WriteBool("Common", "Hints", on);
          }));
  syncCursorAction_ = named(view->addAction("Parameter sync cursor"), "syncCursorAction");
  progressCursorAction_ = named(view->addAction("Build progress cursor"), "progressCursorAction");
  for (QAction* a : {syncCursorAction_, progressCursorAction_}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(syncCursorAction_, &QAction::triggered, this, reported([this] {
            desktop_->parameter_windows().set_sync_cursor(syncCursorAction_->isChecked());
            toggle_option(syncCursorAction_, "ParameterSyncCursor");
          }));
  connect(progressCursorAction_, &QAction::triggered, this, reported([this] {
            desktop_->set_progress_cursor(progressCursorAction_->isChecked());
            toggle_option(progressCursorAction_, "BuildProgressCursor");
          }));
  view->addSeparator();
  named(view->addAction("&Result", this, reported([this] { desktop_->show_result_window(); })),
        "resultAction");
}

void MainWindow::toggle_option(QAction* action, const char* key) {
  desktop_->store().WriteBool("Common", key, action->isChecked());
  desktop_->parameter_windows().redraw_all();
}

void MainWindow::create_options_menu() {
  QMenu* options = menuBar()->addMenu("&Options");
  ParameterWindows& windows = desktop_->parameter_windows();
  DesktopSession* d = desktop_.get();
  pointEditorAction_ = named(
      options->addAction("&Point editor...", QKeySequence("Ctrl+P"), this, reported([&windows] {
                           windows.sync_editor_visibility();
                           windows.point_editor().show();
                           windows.point_editor().raise();
                         })),
      "pointEditorAction");
  // Nothing to edit until a parameter window is shown.
  pointEditorAction_->setEnabled(windows.any_visible());
  connect(&windows, &ParameterWindows::editorVisibilityChanged, pointEditorAction_,
          &QAction::setEnabled);
  named(options->addAction("&Batch editor...", QKeySequence("Ctrl+B"), this,
                           reported([d] { d->show_batch_window(); })),
        "batchEditorAction");
  options->addAction("B&uild statistics...", this, reported([d] {
                       d->statistics().show();
                       d->statistics().raise();
                     }));
  named(options->addAction("&Settings...", this, reported([d] {
                             d->settings_dialog().sync_from_model();
                             d->settings_dialog().exec();
                           })),
        "settingsAction");
}

void MainWindow::create_window_menu() {
  QMenu* window = menuBar()->addMenu("&Window");
  ParameterWindows& windows = desktop_->parameter_windows();
  named(window->addAction("Show all", QKeySequence("Ctrl+A"), this,
                          reported([&windows] { windows.show_all(); })),
        "showAllAction");
  named(window->addAction("Show &used", QKeySequence("Ctrl+U"), this,
                          reported([&windows] { windows.show_used(); })),
        "showUsedAction");
  named(window->addAction("Hide u&nused", this, reported([&windows] { windows.hide_unused(); })),
        "hideUnusedAction");
  named(window->addAction("&Hide all", QKeySequence("Ctrl+H"), this,
                          reported([&windows] { windows.hide_all(); })),
        "hideAllAction");
  window->addSeparator();
  named(window->addAction("A&rrange", this, reported([this] { desktop_->arrange_windows(); })),
        "arrangeAction");
  connect(window, &QMenu::aboutToShow, this,
          [this, &windows] { pointEditorAction_->setEnabled(windows.any_visible()); });
}

void MainWindow::create_help_menu() {
  QMenu* help = menuBar()->addMenu("&Help");
  named(help->addAction("&About Vocanta...", QKeySequence("F1"), this,
                        reported([this] { desktop_->show_about_box(); })),
        "aboutAction");
}

void MainWindow::create_play_actions() {
  playAction_ = fileMenu_->addAction("&Play voice", QKeySequence("F5"), this,
                                     reported([this] { desktop_->play_voice(); }));
  playAction_->setObjectName("playAction");
  stopAction_ =
      fileMenu_->addAction("St&op", this, reported([this] { desktop_->stop_playback(); }));
  stopAction_->setObjectName("stopAction");
  stopAction_->setShortcuts({QKeySequence("Shift+F5"), QKeySequence(Qt::Key_Escape)});
  refresh_play_actions();
}

void MainWindow::refresh_play_actions() {
  if (!playAction_) return;
  playAction_->setEnabled(!desktop_->building());
  stopAction_->setEnabled(desktop_->player().playing());
}

void MainWindow::set_hints(bool on) {
  hints_ = on;
  hintsAction_->setChecked(on);
  if (on) desktop_->partial_open_dialog().apply_hints();
}

}  // namespace vocanta
