#include <QAction>
#include <QMenuBar>

#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor_window.h"
#include "gui/main/main_window.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/settings_store.h"

namespace vocanta {
namespace {

// The Edit menu's order, with -1 for a separator line.
constexpr int kEditOrder[] = {0,  1,  2,  3,  -1, 4,  5,  6,  7,  8,  9,  10, -1,
                              11, 12, 13, 14, 15, 16, 17, 18, -1, 19, 20, 21, 22};

}  // namespace

void TForm1::create_menus() {
  create_file_menu();
  create_edit_menu();
  create_view_menu();
  create_options_menu();
  create_window_menu();
  // The parameter windows are windows of their own; F9, Ctrl+S and the rest must work
  // from whichever window the user is drawing in.
  for (QAction* a : menuBar()->findChildren<QAction*>())
    a->setShortcutContext(Qt::ApplicationShortcut);
}

void TForm1::create_file_menu() {
  fileMenu = menuBar()->addMenu("&File");
  fileMenu->addAction("&New", QKeySequence("Ctrl+N"), this, [this] { new_document(); });
  fileMenu->addAction("&Open...", QKeySequence("Ctrl+O"), this,
                      [this] { document_->open_document(); });
  fileMenu->addAction("Partial open...", this, [this] { partialOpenDialog->exec(); });
  fileMenu->addAction("&Save", QKeySequence("Ctrl+S"), this,
                      [this] { document_->save_document(); });
  fileMenu->addAction("Save &as...", this, [this] { document_->save_document_as(); });
  fileMenu->addSeparator();
  buildAction = fileMenu->addAction("&Build voice...", QKeySequence("F9"), this,
                                    [this] { build_voice_command(); });
  fileMenu->addSeparator();
  fileMenu->addAction("E&xit", this, [this] { close(); });
}

void TForm1::create_edit_menu() {
  QMenu* edit = menuBar()->addMenu("&Edit");
  for (int index : kEditOrder) {
    if (index < 0) {
      edit->addSeparator();
      continue;
    }
    QAction* a = edit->addAction(QString::fromUtf8(kParameterTable[index].menuCaption.data(),
                                                   kParameterTable[index].menuCaption.size()));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, index] {
      parameterWindows[static_cast<size_t>(index)]->show();
      parameterWindows[static_cast<size_t>(index)]->raise();
      sync_editor_visibility();
      refresh_edit_menu();
    });
    editActions[static_cast<size_t>(index)] = a;
  }
  connect(edit, &QMenu::aboutToShow, this, &TForm1::refresh_edit_menu);
}

void TForm1::create_view_menu() {
  QMenu* view = menuBar()->addMenu("&View");
  hintsAction = view->addAction("&Hints");
  hintsAction->setCheckable(true);
  connect(hintsAction, &QAction::triggered, this, [this](bool on) {
    set_hints(on);
    store_->WriteBool("Common", "Hints", on);
  });
  syncCursorAction = view->addAction("Parameter sync cursor");
  progressCursorAction = view->addAction("Build progress cursor");
  for (QAction* a : {syncCursorAction, progressCursorAction}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(syncCursorAction, &QAction::triggered, this,
          [this] { toggle_option(syncCursorAction, "ParameterSyncCursor"); });
  connect(progressCursorAction, &QAction::triggered, this,
          [this] { toggle_option(progressCursorAction, "BuildProgressCursor"); });
}

void TForm1::toggle_option(QAction* action, const char* key) {
  store_->WriteBool("Common", key, action->isChecked());
  redraw(-1);
}

void TForm1::create_options_menu() {
  QMenu* options = menuBar()->addMenu("&Options");
  pointEditorAction = options->addAction("&Point editor...", QKeySequence("Ctrl+P"), this, [this] {
    sync_editor_visibility();
    pointEditor->show();
    pointEditor->raise();
  });
  options->addAction("&Batch editor...", QKeySequence("Ctrl+B"), this, [this] {
    batchWindow->show();
    batchWindow->raise();
  });
  options->addAction("B&uild statistics...", this, [this] {
    statistics->show();
    statistics->raise();
  });
  options->addAction("&Settings...", this, [this] {
    settingsDialog->sync_from_model();
    settingsDialog->exec();
  });
}

void TForm1::create_window_menu() {
  QMenu* window = menuBar()->addMenu("&Window");
  window->addAction("Show all", QKeySequence("Ctrl+A"), this, [this] { show_all(); });
  window->addAction("Show &used", QKeySequence("Ctrl+U"), this, [this] { show_used(); });
  window->addAction("Hide u&nused", this, [this] { hide_unused(); });
  window->addAction("&Hide all", QKeySequence("Ctrl+H"), this, [this] { hide_all(); });
  connect(window, &QMenu::aboutToShow, this, [this] {
    bool any = false;
    for (TForm2* w : parameterWindows) any |= w->isVisible();
    pointEditorAction->setEnabled(any);
  });
}

}  // namespace vocanta
