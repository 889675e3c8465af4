#include "gui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <iostream>

#include "core/document/session.h"
#include "core/support/unattended_prompter.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/about_box.h"
#include "gui/main/diagnostics_window.h"
#include "gui/main/error_log.h"
#include "gui/main/gui_build_host.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/recent_files_menu.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/dbus_link_transport.h"
#include "gui/platform/error_report.h"
#include "gui/platform/gui_prompter.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/window_places.h"
#include "gui/playback/voice_player.h"
#include "gui/result/result_window.h"

namespace vocanta {

MainWindow::MainWindow(QStringList arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(std::make_unique<GuiPrompter>(this)),
      store_(std::make_unique<SettingsStore>()),
      buildHost_(std::make_unique<GuiBuildHost>(*this)),
      session_(
          std::make_unique<Session>(*prompter_, static_cast<DocumentHost&>(*this), *buildHost_)),
      arguments_(std::move(arguments)) {
  setObjectName("TForm1");
  Voice& voice = session_->voice();
  const char separator = QLocale().decimalPoint().at(0).toLatin1();
  session_->set_decimal_separator(separator == 0 ? '.' : separator);
  create_controls();
  create_player(make_system_audio_output());
  create_windows();
  create_menus();
  create_recent_files();
  aboutBox_ = new AboutBox(this);
  create_link();
  // Minimized but never maximized: a window of one size offers no maximize button. Its
  // height takes the menu bar, so it is settled after the menus.
  setFixedSize(430, sizeHint().height());
  set_overload_state(2);
  refresh_undo_actions();
  voice.events.add(this);
  if (batch_mode()) enter_batch_mode();
  // After the unattended mode's handler, so that a "/b" run's errors are logged too and
  // then go to stderr; no box waits for a person there.
  errorLog_ = std::make_unique<ErrorLog>(aboutBox_);
  errorLog_->SendLogFileRequest = !batch_mode();
  qApp->installEventFilter(this);
  setWindowTitle(QString::fromStdString("Vocanta " + session_->document().noticeText));
}

MainWindow::~MainWindow() {
  stop_link();
  qApp->removeEventFilter(this);
  session_->voice().events.remove(this);
  // These two observe the session and leave it on destruction; QWidget would delete
  // them only after the members, the session among them, are gone.
  delete settingsDialog_;
  delete batchWindow_;
  delete windows_;
}

void MainWindow::create_controls() {
  auto* central = new QWidget(this);
  breakbutton_ = new QPushButton("&Build...", central);
  breakbutton_->setObjectName("breakbutton");
  breakbutton_->setToolTip("Builds without batch");
  connect(breakbutton_, &QPushButton::clicked, this, &MainWindow::break_or_build);
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
  l->setPixmap(QPixmap(QString(":/lamps/%1.png").arg(name)));
  l->setFixedSize(33, 33);
  l->installEventFilter(this);  // a double-click opens the timing log
  return l;
}

void MainWindow::create_windows() {
  windows_ = new ParameterWindows(*session_, this);
  diagnostics_ = new DiagnosticsWindow(this);
  batchWindow_ = new BatchWindow(*session_, this);
  statistics_ = new StatisticsWindow(this);
  settingsDialog_ = new SettingsDialog(*session_, *store_, this);
  partialOpenDialog_ = new PartialOpenDialog(*session_, this);
  create_result_window();
  connect(batchWindow_, &BatchWindow::showParameter, this, [this](int index) {
    windows_->show_parameter(index);
    windows_->window(index).raise();
  });
  connect(windows_, &ParameterWindows::windowClosed, this, [this] {
    show();
    raise();
    activateWindow();
  });
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstActivation_) return;
  firstActivation_ = false;
  // Before the window is mapped, so that the window manager puts its frame, not its
  // contents, where it was.
  const bool restored = !batch_mode() && restore_window_place(*store_, "Main", *this);
  if (const QScreen* s = screen(); s && !restored)
    move(s->availableGeometry().center() - rect().center());
  // After the window is on the screen, as its first activation would run it.
  QTimer::singleShot(0, this, &MainWindow::start_up);
}

void MainWindow::start_up() {
  link_->start();
  if (!parametersInitialised_) {
    parametersInitialised_ = true;
    session_->document().new_document();
  }
  const QString line =
      "Vocanta start at " + QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  std::fputs((line + "\r\n").toLocal8Bit().constData(), stderr);
  statistics_->add_line(line);
  // A document or a build that fails is reported and the start-up goes on, so that a
  // "/b" run still ends by itself.
  if (!arguments_.isEmpty())
    run_reported([&] {
      session_->document().load_document(QFileInfo(arguments_[0]).absoluteFilePath().toStdString());
    });
  read_persisted_options();
  if (batch_mode())
    run_batch_mode();
  else
    restore_window_places();
}

bool MainWindow::batch_mode() const {
  return arguments_.size() >= 2 && arguments_[1] == "/b";
}

void MainWindow::enter_batch_mode() {
  // A "/b" run serves scripts: nothing may wait for a person, so every message and
  // question goes to stderr and the exit status tells the outcome.
  set_prompter(std::make_unique<UnattendedPrompter>(std::cerr, "vocanta", Answer::No));
  set_error_handler([](const QString& message) {
    std::cerr << "vocanta: " << message.toStdString() << std::endl;
  });
}

void MainWindow::run_batch_mode() {
  // A refused document leaves no sample path to build to: nothing is built.
  const bool opened = !session_->document().documentPath.empty();
  bool built = false;
  if (opened)
    run_reported([&] {
      build_voice(QString::fromStdString(session_->document().samplePath));
      built = session_->build_run().logged_outcome() == "Done";
    });
  exitStatus_ = built ? 0 : 1;
  close();
}

void MainWindow::read_persisted_options() {
  settingsDialog_->set_autosave(store_->ReadBool("Common", "AutoSave", true));
  set_hints(store_->ReadBool("Common", "Hints", true));
  syncCursorAction_->setChecked(store_->ReadBool("Common", "ParameterSyncCursor", true));
  windows_->set_sync_cursor(syncCursorAction_->isChecked());
  progressCursorAction_->setChecked(store_->ReadBool("Common", "BuildProgressCursor", true));
  resultWindow_->read_options(*store_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!session_->document().close_query()) {
    event->ignore();
    return;
  }
  if (!batch_mode())
    run_reported([this] {
      save_window_places();
      resultWindow_->write_options(*store_);
    });
}

void MainWindow::set_prompter(std::unique_ptr<Prompter> prompter) {
  prompter_ = std::move(prompter);
  session_->set_prompter(*prompter_);
}

// DocumentHost -------------------------------------------------------------------------

void MainWindow::set_caption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::new_document_started() {
  stop_playback();
  windows_->clear_backgrounds();
  partialOpenDialog_->rebuild_parameter_boxes();
}

void MainWindow::add_recent_file(const std::string& path) {
  recentFiles_->add(QString::fromStdString(path));
}

void MainWindow::load_background(int index, const std::string& path) {
  windows_->load_background(index, QString::fromStdString(path));
}

void MainWindow::show_parameter(int index) {
  windows_->show_parameter(index);
}

void MainWindow::model_changed(const ModelChange& change) {
  if (change.kind == ModelChange::Kind::History) refresh_undo_actions();
  // The renderer follows point edits, but not a voice laid out anew.
  using Kind = ModelChange::Kind;
  if (player_->rendering_voice() &&
      (change.kind == Kind::Everything || change.kind == Kind::TweenieCount ||
       change.kind == Kind::Batches))
    stop_playback();
}

void MainWindow::create_recent_files() {
  recentFiles_ = new RecentFilesMenu(this);
  recentFiles_->set_max_items(5);
  recentFiles_->set_menu_pos(8);
  recentFiles_->OnClick = [this](const QString& path) {
    if (session_->document().ask_save_changes())
      session_->document().load_document(path.toStdString());
  };
  recentFiles_->set_menu(fileMenu_);
}

void MainWindow::set_hints(bool on) {
  hints_ = on;
  hintsAction_->setChecked(on);
  if (on) partialOpenDialog_->apply_hints();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Hints are the tool tips of every window; switched off, none is shown.
  if (event->type() == QEvent::ToolTip && !hints_) return true;
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == olgray_ || watched == olgreen_ || watched == olred_)) {
    diagnostics_->show();
    diagnostics_->raise();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vocanta
