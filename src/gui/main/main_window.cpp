#include "gui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "core/document/session.h"
#include "core/support/unattended_prompter.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/desktop_session.h"
#include "gui/main/diagnostics_window.h"
#include "gui/main/recent_files_menu.h"
#include "gui/main/settings_dialog.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/window_places.h"
#include "gui/result/result_window.h"

namespace vocanta {

MainWindow::MainWindow(QStringList arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      arguments_(std::move(arguments)) {
  setObjectName("TForm1");
  desktop_ = std::make_unique<DesktopSession>(*this);
  create_controls();
  listen_to_desktop();
  create_menus();
  create_recent_files();
  // Minimized but never maximized: a window of one size offers no maximize button. Its
  // height takes the menu bar, so it is settled after the menus.
  setFixedSize(430, sizeHint().height());
  show_overload(OverloadState::Unknown);
  refresh_undo_actions();
  if (batch_mode()) enter_batch_mode();
  // After the unattended mode's handler, so that a "/b" run's errors are logged too and
  // then go to stderr; no box waits for a person there.
  desktop_->start_error_log(!batch_mode());
  qApp->installEventFilter(this);
  setWindowTitle(QString::fromStdString("Vocanta " + desktop_->session().document().noticeText));
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
}

void MainWindow::create_controls() {
  auto* central = new QWidget(this);
  breakbutton_ = new QPushButton("&Build...", central);
  breakbutton_->setObjectName("breakbutton");
  breakbutton_->setToolTip("Builds without batch");
  connect(breakbutton_, &QPushButton::clicked, this,
          reported([this] { desktop_->break_or_build(); }));
  progresslabel_ = new QLabel(central);
  progresslabel_->setObjectName("progresslabel");
  progresslabel_->setMinimumWidth(80);
  olgray_ = create_lamp(central, "olgray");
  olgreen_ = create_lamp(central, "olgreen");
  olred_ = create_lamp(central, "olred");
  ollabel_ = new QLabel(central);
  ollabel_->setObjectName("ollabel");
  auto* row = new QHBoxLayout(central);
  row->addWidget(breakbutton_);
  row->addWidget(progresslabel_);
  row->addWidget(olgray_);
  row->addWidget(olgreen_);
  row->addWidget(olred_);
  row->addWidget(ollabel_, 1);
  setCentralWidget(central);
}

QLabel* MainWindow::create_lamp(QWidget* parent, const char* name) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  // The twice-as-dense picture where a pixel of the window is several of the screen's; its
  // name tells the reader its density.
  const QString dense = parent->devicePixelRatioF() > 1 ? "@2x" : "";
  l->setPixmap(QPixmap(QString(":/lamps/%1%2.png").arg(name, dense)));
  l->setFixedSize(33, 33);
  l->installEventFilter(this);  // a double-click opens the timing log
  return l;
}

void MainWindow::listen_to_desktop() {
  DesktopSession* d = desktop_.get();
  connect(d, &DesktopSession::captionChanged, this, &QWidget::setWindowTitle);
  connect(d, &DesktopSession::progressShown, this, &MainWindow::show_progress);
  connect(d, &DesktopSession::overloadChanged, this, &MainWindow::show_overload);
  connect(d, &DesktopSession::historyChanged, this, &MainWindow::refresh_undo_actions);
  connect(d, &DesktopSession::playingChanged, this, &MainWindow::refresh_play_actions);
  connect(d, &DesktopSession::closeRequested, this, &QWidget::close);
  connect(
      d, &DesktopSession::buildRunningChanged, this,
      [this](bool running) {
        if (running || !closeAfterBuild_) return;
        closeAfterBuild_ = false;
        close();
      },
      Qt::QueuedConnection);
  connect(d, &DesktopSession::buildRunningChanged, this, [this](bool running) {
    refresh_play_actions();
    breakbutton_->setText(running ? "&Break" : "&Build...");
  });
}

void MainWindow::show_progress(const QString& text) {
  progresslabel_->setText(text);
  // A build keeps the event loop busy; the label must show each step now.
  progresslabel_->repaint();
}

void MainWindow::show_overload(OverloadState state) {
  olgreen_->setVisible(state == OverloadState::Clear);
  olred_->setVisible(state == OverloadState::Clipped);
  olgray_->setVisible(state == OverloadState::Unknown);
  ollabel_->setText(state == OverloadState::Clipped ? "Overload, reduce gain!" : "");
}

void MainWindow::setVisible(bool visible) {
  // Before the window is made, so that the window manager puts its frame, not its
  // contents, where it was: a window made already would sink by its frame at every run.
  if (visible && firstActivation_ && !placed_) {
    placed_ = true;
    const bool restored = !batch_mode() && restore_window_place(desktop_->store(), "Main", *this);
    if (const QScreen* s = screen(); s && !restored)
      move(s->availableGeometry().center() - rect().center());
  }
  QMainWindow::setVisible(visible);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstActivation_) return;
  firstActivation_ = false;
  // After the window is on the screen, as its first activation would run it.
  QTimer::singleShot(0, this, &MainWindow::start_up);
}

void MainWindow::start_up() {
  // Each step reports its own failure: a settings store that cannot be read or written
  // costs the options it holds, and a "/b" run still builds and ends.
  run_reported([this] { desktop_->start_up(arguments_.isEmpty() ? QString() : arguments_[0]); });
  run_reported([this] { read_persisted_options(); });
  if (batch_mode())
    run_batch_mode();
  else
    run_reported([this] { desktop_->restore_window_places(); });
}

bool MainWindow::batch_mode() const {
  return arguments_.size() >= 2 && arguments_[1] == "/b";
}

void MainWindow::enter_batch_mode() {
  // A "/b" run serves scripts: nothing may wait for a person, so every message and
  // question goes to stderr and the exit status tells the outcome.
  desktop_->set_prompter(std::make_unique<UnattendedPrompter>(std::cerr, "vocanta", Answer::No));
  desktop_->set_unattended(true);
  set_error_handler([](const QString& message) {
    std::cerr << "vocanta: " << message.toStdString() << std::endl;
  });
}

void MainWindow::run_batch_mode() {
  exitStatus_ = desktop_->build_unattended() ? 0 : 1;
  close();
}

void MainWindow::read_persisted_options() {
  SettingsStore& store = desktop_->store();
  desktop_->settings_dialog().set_autosave(store.ReadBool("Common", "AutoSave", true));
  set_hints(store.ReadBool("Common", "Hints", true));
  syncCursorAction_->setChecked(store.ReadBool("Common", "ParameterSyncCursor", true));
  desktop_->parameter_windows().set_sync_cursor(syncCursorAction_->isChecked());
  progressCursorAction_->setChecked(store.ReadBool("Common", "BuildProgressCursor", true));
  desktop_->set_progress_cursor(progressCursorAction_->isChecked());
  desktop_->result_window().read_options(store);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The build runs beneath this event: closing now would hide every window while it
  // goes on, with nothing left to break it. It is broken first, so that its file ends
  // as a break leaves it, and the close is asked again once it has returned.
  if (desktop_->session().build_run().running()) {
    event->ignore();
    if (!closeAfterBuild_) {
      closeAfterBuild_ = true;
      desktop_->session().build_run().request_break();
    }
    return;
  }
  if (!desktop_->session().document().close_query()) {
    event->ignore();
    return;
  }
  if (!batch_mode())
    run_reported([this] {
      desktop_->save_window_places();
      desktop_->result_window().write_options(desktop_->store());
    });
}

void MainWindow::create_recent_files() {
  recentFiles_ = new RecentFilesMenu(this);
  recentFiles_->set_max_items(5);
  recentFiles_->set_menu_pos(8);
  recentFiles_->OnClick = [this](const QString& path) {
    DocumentLifecycle& document = desktop_->session().document();
    if (document.ask_save_changes()) document.load_document(path.toStdString());
  };
  recentFiles_->set_menu(fileMenu_);
  connect(desktop_.get(), &DesktopSession::recentFileAdded, recentFiles_, &RecentFilesMenu::add);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Hints are the tool tips of every window; switched off, none is shown.
  if (event->type() == QEvent::ToolTip && !hints_) return true;
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == olgray_ || watched == olgreen_ || watched == olred_)) {
    desktop_->diagnostics().show();
    desktop_->diagnostics().raise();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vocanta
