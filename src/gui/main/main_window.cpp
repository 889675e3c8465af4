#include "gui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "core/synthesis/build_run.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/point_editor_window.h"
#include "gui/main/diagnostics_window.h"
#include "gui/main/gui_build_host.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/recent_files_menu.h"
#include "gui/main/statistics_window.h"
#include "gui/main/vocanta_application.h"
#include "gui/platform/settings_store.h"

namespace vocanta {

TForm1::TForm1(QStringList arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(std::make_unique<GuiPrompter>(this)),
      store_(std::make_unique<TIni>()),
      document_(std::make_unique<DocumentLifecycle>(voice_, *prompter_, *this, *this)),
      arguments_(std::move(arguments)) {
  setObjectName("TForm1");
  voice_.decimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
  if (voice_.decimalSeparator == 0) voice_.decimalSeparator = '.';
  buildHost_ = std::make_unique<GuiBuildHost>(*this);
  run_ = std::make_unique<BuildRun>(voice_, *buildHost_);
  create_controls();
  create_menus();
  set_overload_state(2);

  pointEditor = new TForm5(this);
  diagnostics = new Tform6(this);
  batchWindow = new TForm3(this);
  statistics = new TForm9(this);
  settingsDialog = new TForm10(voice_, *this, *store_, this);
  for (int i = 0; i < kParameterCount; ++i)
    parameterWindows[static_cast<size_t>(i)] = new TForm2(voice_.parameter(i), *this, this);
  partialOpenDialog = new TForm4(voice_, *document_, *prompter_, this);
  create_recent_files();
  qApp->installEventFilter(this);
  setWindowTitle(QString::fromStdString("Vocanta " + document_->noticeText));
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
}

void TForm1::create_controls() {
  auto* central = new QWidget(this);
  breakbutton = new QPushButton("&Build...", central);
  breakbutton->setObjectName("breakbutton");
  breakbutton->setToolTip("Builds without batch");
  connect(breakbutton, &QPushButton::clicked, this, &TForm1::break_or_build);
  progresslabel = new QLabel(central);
  progresslabel->setObjectName("progresslabel");
  progresslabel->setMinimumWidth(80);
  auto lamp = [&](const char* name) {
    auto* l = new QLabel(central);
    l->setObjectName(name);
    l->setPixmap(QPixmap(QString(":/lamps/%1.png").arg(name)));
    l->setFixedSize(33, 33);
    l->installEventFilter(this);  // a double-click opens the timing log
    return l;
  };
  olgray = lamp("olgray");
  olgreen = lamp("olgreen");
  olred = lamp("olred");
  ollabel = new QLabel(central);
  ollabel->setObjectName("ollabel");
  auto* row = new QHBoxLayout(central);
  row->addWidget(breakbutton);
  row->addWidget(progresslabel);
  row->addWidget(olgray);
  row->addWidget(olgreen);
  row->addWidget(olred);
  row->addWidget(ollabel, 1);
  setCentralWidget(central);
  resize(430, sizeHint().height());
  setMaximumHeight(sizeHint().height() + 40);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstActivation_) return;
  firstActivation_ = false;
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  // After the window is on the screen, as its first activation would run it.
  QTimer::singleShot(0, this, &TForm1::start_up);
}

void TForm1::start_up() {
  if (!parametersInitialised_) {
    parametersInitialised_ = true;
    new_document();
  }
  const QString line =
      "Vocanta start at " + QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  std::fputs((line + "\r\n").toLocal8Bit().constData(), stderr);
  statistics->add_line(line);
  // A document or a build that fails is reported and the start-up goes on, so that a
  // "/b" run still ends by itself.
  if (!arguments_.isEmpty())
    report_errors([&] { load_document(QFileInfo(arguments_[0]).absoluteFilePath()); });
  read_persisted_options();
  if (arguments_.size() >= 2 && arguments_[1] == "/b") {
    // A refused document leaves no sample path to build to: nothing is built.
    const bool opened = !document_->documentPath.empty();
    bool built = false;
    if (opened)
      report_errors([&] {
        build_voice(QString::fromStdString(document_->samplePath));
        built = run_->logged_outcome() == "Done";
      });
    exitStatus_ = built ? 0 : 1;
    close();
  }
}

void TForm1::report_errors(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    VocantaApplication::handle_error(QString::fromStdString(e.what()));
  }
}

void TForm1::read_persisted_options() {
  settingsDialog->set_autosave(store_->ReadBool("Common", "AutoSave", true));
  set_hints(store_->ReadBool("Common", "Hints", true));
  syncCursorAction->setChecked(store_->ReadBool("Common", "ParameterSyncCursor", true));
  progressCursorAction->setChecked(store_->ReadBool("Common", "BuildProgressCursor", true));
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!document_->close_query()) event->ignore();
}

void TForm1::set_prompter(std::unique_ptr<Prompter> prompter) {
  prompter_ = std::move(prompter);
  document_->set_prompter(*prompter_);
  partialOpenDialog->set_prompter(*prompter_);
}

// DocumentHost -------------------------------------------------------------------------

void TForm1::set_caption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void TForm1::new_document_started() {
  for (TForm2* w : parameterWindows) w->clear_background();
  partialOpenDialog->rebuild_parameter_boxes();
}

void TForm1::voice_replaced() {
  settingsDialog->sync_from_model();
  for (TForm2* w : parameterWindows) w->sync_from_model();
  lay_out_all();
}

void TForm1::create_recent_files() {
  recentFiles = new TRecentFiles(this);
  recentFiles->set_max_items(5);
  recentFiles->set_menu_pos(7);
  recentFiles->OnClick = [this](const QString& path) {
    if (document_->ask_save_changes()) load_document(path);
  };
  recentFiles->set_menu(fileMenu);
}

void TForm1::add_recent_file(const std::string& path) {
  recentFiles->add(QString::fromStdString(path));
}

void TForm1::lay_out_all() {
  for (TForm2* w : parameterWindows) w->lay_out();
}

// Window commands ------------------------------------------------------------------

void TForm1::show_all() {
  for (TForm2* w : parameterWindows) w->show();
  sync_editor_visibility();
}

void TForm1::show_used() {
  for (TForm2* w : parameterWindows)
    if (w->parameter().state.curves) w->show();
  sync_editor_visibility();
}

void TForm1::hide_unused() {
  for (TForm2* w : parameterWindows)
    if (!w->parameter().state.curves) w->hide();
  sync_editor_visibility();
}

void TForm1::hide_all() {
  for (TForm2* w : parameterWindows) w->hide();
  sync_editor_visibility();
}

void TForm1::sync_editor_visibility() {
  bool any = false;
  for (TForm2* w : parameterWindows) any |= w->isVisible();
  if (any && !pointEditor->isVisible())
    pointEditor->move(frameGeometry().bottomLeft() + QPoint(0, 1));
  pointEditor->setVisible(any);
  pointEditorAction->setEnabled(any);
}

void TForm1::refresh_edit_menu() {
  for (int i = 0; i < kParameterCount; ++i)
    editActions[static_cast<size_t>(i)]->setChecked(
        parameterWindows[static_cast<size_t>(i)]->isVisible());
}

void TForm1::set_hints(bool on) {
  hints_ = on;
  hintsAction->setChecked(on);
  if (on) partialOpenDialog->apply_hints();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // Hints are the tool tips of every window; switched off, none is shown.
  if (event->type() == QEvent::ToolTip && !hints_) return true;
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == olgray || watched == olgreen || watched == olred)) {
    diagnostics->show();
    diagnostics->raise();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

// ParameterWindowHost ----------------------------------------------------------------

bool TForm1::parameter_sync_cursor() const {
  return syncCursorAction->isChecked();
}

void TForm1::draw_sync_cursors(int16_t xQuantity, int16_t yQuantity, double x, double y) {
  for (TForm2* w : parameterWindows) w->draw_sync_cursor(xQuantity, yQuantity, x, y);
}

void TForm1::parameter_window_shown(TForm2&) {
  sync_editor_visibility();
}

void TForm1::parameter_window_activated(TForm2& window) {
  activeWindow = window.paramNumber();
}

void TForm1::parameter_window_closed(TForm2&) {
  show();
  raise();
  activateWindow();
}

void TForm1::search_background(TForm2& window, const QString& path) {
  // The point editor's Open, preset with the missing file's name.
  activeWindow = window.paramNumber();
  const std::string chosen = prompter_->open_file_name(
      "Open background", "Pictures (*.bmp *.png *.jpg)|*.bmp;*.png;*.jpg|Any file (*.*)|*.*",
      path.toStdString());
  if (!chosen.empty()) window.load_background(QString::fromStdString(chosen));
}

// SettingsHost -------------------------------------------------------------------------

void TForm1::tweenies_changed() {
  TForm2* w = parameterWindows[param::kTweenieSpectrum];
  w->lay_out();
}

void TForm1::time_ranges_changed() {
  for (TForm2* w : parameterWindows) w->sync_from_model();
  lay_out_all();
}

// BackgroundHost -------------------------------------------------------------------------

void TForm1::show_parameter(int index) {
  TForm2* w = parameterWindows[static_cast<size_t>(index)];
  w->show();
  activeWindow = w->paramNumber();
}

void TForm1::save_pasted_background(int) {
  // Pasted pictures arrive with the point editor; until then none can be pending.
}

void TForm1::load_background(int index, const std::string& path) {
  parameterWindows[static_cast<size_t>(index)]->load_background(QString::fromStdString(path));
}

void TForm1::redraw(int index) {
  if (index < 0) {
    for (TForm2* w : parameterWindows) w->redraw();
  } else {
    parameterWindows[static_cast<size_t>(index)]->redraw();
  }
}

}  // namespace vocanta
