#include <QAction>
#include <QMenuBar>

#include "core/document/session.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/about_box.h"
#include "gui/main/main_window.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"

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
  DocumentLifecycle& document = session_->document();
  fileMenu_->addAction("&New", QKeySequence("Ctrl+N"), this, [&] { document.new_document(); });
  named(fileMenu_->addAction("New from template...", this,
                             [this] { run_reported([this] { new_from_template(); }); }),
        "newFromTemplateAction");
  fileMenu_->addAction("&Open...", QKeySequence("Ctrl+O"), this, [&] { document.open_document(); });
  fileMenu_->addAction("Partial open...", this, [this] { partialOpenDialog_->exec(); });
  fileMenu_->addAction("&Save", QKeySequence("Ctrl+S"), this, [&] { document.save_document(); });
  fileMenu_->addAction("Save &as...", this, [&] { document.save_document_as(); });
  fileMenu_->addSeparator();
  named(fileMenu_->addAction("&Build voice...", QKeySequence("F9"), this,
                             [this] { build_voice_command(); }),
        "buildAction");
  create_play_actions();
  fileMenu_->addSeparator();
  fileMenu_->addAction("E&xit", this, [this] { close(); });
}

void MainWindow::create_edit_menu() {
  QMenu* edit = menuBar()->addMenu("&Edit");
  undoAction_ =
      named(edit->addAction("&Undo", QKeySequence::Undo, this, [this] { session_->undo(); }),
            "undoAction");
  redoAction_ = named(edit->addAction("&Redo", this, [this] { session_->redo(); }), "redoAction");
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
    connect(a, &QAction::triggered, this, [this, index] {
      windows_->window(index).show();
      windows_->window(index).raise();
      windows_->sync_editor_visibility();
      refresh_edit_menu();
    });
    editActions_[static_cast<size_t>(index)] = a;
  }
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::refresh_edit_menu);
}

void MainWindow::refresh_edit_menu() {
  for (int i = 0; i < kParameterCount; ++i)
    editActions_[static_cast<size_t>(i)]->setChecked(windows_->window(i).isVisible());
}

void MainWindow::refresh_undo_actions() {
  const EditHistory& history = session_->history();
  undoAction_->setEnabled(history.can_undo());
  undoAction_->setText(QString::fromStdString("&Undo " + history.undo_caption()).trimmed());
  redoAction_->setEnabled(history.can_redo());
  redoAction_->setText(QString::fromStdString("&Redo " + history.redo_caption()).trimmed());
}

void MainWindow::create_view_menu() {
  QMenu* view = menuBar()->addMenu("&View");
  hintsAction_ = named(view->addAction("&Hints"), "hintsAction");
  hintsAction_->setCheckable(true);
  connect(hintsAction_, &QAction::triggered, this, [this](bool on) {
    set_hints(on);
    store_->WriteBool("Common", "Hints", on);
  });
  syncCursorAction_ = named(view->addAction("Parameter sync cursor"), "syncCursorAction");
  progressCursorAction_ = named(view->addAction("Build progress cursor"), "progressCursorAction");
  for (QAction* a : {syncCursorAction_, progressCursorAction_}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(syncCursorAction_, &QAction::triggered, this, [this] {
    windows_->set_sync_cursor(syncCursorAction_->isChecked());
    toggle_option(syncCursorAction_, "ParameterSyncCursor");
  });
  connect(progressCursorAction_, &QAction::triggered, this,
          [this] { toggle_option(progressCursorAction_, "BuildProgressCursor"); });
  view->addSeparator();
  named(view->addAction("&Result", this, [this] { show_result_window(); }), "resultAction");
}

void MainWindow::toggle_option(QAction* action, const char* key) {
  store_->WriteBool("Common", key, action->isChecked());
  windows_->redraw_all();
}

void MainWindow::create_options_menu() {
  QMenu* options = menuBar()->addMenu("&Options");
  pointEditorAction_ = named(options->addAction("&Point editor...", QKeySequence("Ctrl+P"), this,
                                                [this] {
                                                  windows_->sync_editor_visibility();
                                                  windows_->point_editor().show();
                                                  windows_->point_editor().raise();
                                                }),
                             "pointEditorAction");
  // Nothing to edit until a parameter window is shown.
  pointEditorAction_->setEnabled(windows_->any_visible());
  connect(windows_, &ParameterWindows::editorVisibilityChanged, pointEditorAction_,
          &QAction::setEnabled);
  named(options->addAction("&Batch editor...", QKeySequence("Ctrl+B"), this,
                           [this] { show_batch_window(); }),
        "batchEditorAction");
  options->addAction("B&uild statistics...", this, [this] {
    statistics_->show();
    statistics_->raise();
  });
  named(options->addAction("&Settings...", this,
                           [this] {
                             settingsDialog_->sync_from_model();
                             settingsDialog_->exec();
                           }),
        "settingsAction");
}

void MainWindow::create_window_menu() {
  QMenu* window = menuBar()->addMenu("&Window");
  named(
      window->addAction("Show all", QKeySequence("Ctrl+A"), this, [this] { windows_->show_all(); }),
      "showAllAction");
  named(window->addAction("Show &used", QKeySequence("Ctrl+U"), this,
                          [this] { windows_->show_used(); }),
        "showUsedAction");
  named(window->addAction("Hide u&nused", this, [this] { windows_->hide_unused(); }),
        "hideUnusedAction");
  named(window->addAction("&Hide all", QKeySequence("Ctrl+H"), this,
                          [this] { windows_->hide_all(); }),
        "hideAllAction");
  window->addSeparator();
  named(window->addAction("A&rrange", this, [this] { arrange_windows(); }), "arrangeAction");
  connect(window, &QMenu::aboutToShow, this,
          [this] { pointEditorAction_->setEnabled(windows_->any_visible()); });
}

void MainWindow::create_help_menu() {
  QMenu* help = menuBar()->addMenu("&Help");
  named(help->addAction("&About Vocanta...", this, [this] { aboutBox_->exec(); }), "aboutAction");
}

}  // namespace vocanta
