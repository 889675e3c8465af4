#include "gui/main/desktop_session.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "core/document/session.h"
#include "gui/batch/batch_window.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/main/about_box.h"
#include "gui/main/diagnostics_window.h"
#include "gui/main/error_log.h"
#include "gui/main/partial_open_dialog.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/statistics_window.h"
#include "gui/platform/audio_output.h"
#include "gui/platform/dbus_link_transport.h"
#include "gui/platform/error_report.h"
#include "gui/platform/gui_prompter.h"
#include "gui/platform/settings_store.h"
#include "gui/playback/voice_player.h"
#include "gui/result/result_window.h"

namespace vocanta {
namespace {

// The desktop's questions and file dialogs; the dialogs start beside the document.
std::unique_ptr<Prompter> gui_prompter(QWidget& parent, std::function<QString()> documentFolder) {
  auto prompter = std::make_unique<GuiPrompter>(&parent);
  prompter->memory().set_document_folder(std::move(documentFolder));
  return prompter;
}

}  // namespace

DesktopSession::DesktopSession(QWidget& mainWindow)
    : main_(mainWindow),
      prompter_(gui_prompter(mainWindow, [this] { return document_folder(); })),
      store_(std::make_unique<SettingsStore>()),
      session_(std::make_unique<Session>(*prompter_, static_cast<DocumentHost&>(*this),
                                         static_cast<BuildHost&>(*this))) {
  // Numbers in windows follow the user's locale; documents always use '.'.
  const char separator = QLocale().decimalPoint().at(0).toLatin1();
  session_->set_decimal_separator(separator == 0 ? '.' : separator);
  create_player(make_system_audio_output());
  create_windows();
  aboutBox_ = new AboutBox(&main_);
  create_link();
  session_->voice().events.add(this);
}

DesktopSession::~DesktopSession() {
  link_->stop();
  linkTransport_->flush();
  session_->voice().events.remove(this);
  // These observe the session and leave it on destruction; Qt would delete them only
  // with the main window, after the session is gone.
  delete settingsDialog_;
  delete batchWindow_;
  delete windows_;
}

void DesktopSession::create_windows() {
  windows_ = new ParameterWindows(*session_, &main_);
  diagnostics_ = new DiagnosticsWindow(&main_);
  batchWindow_ = new BatchWindow(*session_, &main_);
  statistics_ = new StatisticsWindow(&main_);
  settingsDialog_ = new SettingsDialog(*session_, *store_, &main_);
  partialOpenDialog_ = new PartialOpenDialog(*session_, &main_);
  create_result_window();
  connect(batchWindow_, &BatchWindow::showParameter, this, reported([this](int index) {
            windows_->show_parameter(index);
            windows_->window(index).raise();
          }));
  connect(windows_, &ParameterWindows::windowClosed, this, reported([this] {
            main_.show();
            main_.raise();
            main_.activateWindow();
          }));
}

QString DesktopSession::document_folder() const {
  const std::string& path = session_->document().documentPath;
  return path.empty() ? QString() : QFileInfo(QString::fromStdString(path)).absolutePath();
}

void DesktopSession::set_prompter(std::unique_ptr<Prompter> prompter) {
  prompter_ = std::move(prompter);
  session_->set_prompter(*prompter_);
}

void DesktopSession::start_error_log(bool askForLogFile) {
  errorLog_ = std::make_unique<ErrorLog>(aboutBox_);
  errorLog_->SendLogFileRequest = askForLogFile;
}

void DesktopSession::start_up(const QString& documentPath) {
  link_->start();
  session_->document().new_document();
  const QString line =
      "Vocanta start at " + QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
  std::fputs((line + "\r\n").toLocal8Bit().constData(), stderr);
  statistics_->add_line(line);
  // A document that fails is reported and the start-up goes on, so that a "/b" run
  // still ends by itself.
  if (!documentPath.isEmpty())
    run_reported([&] {
      session_->document().load_document(QFileInfo(documentPath).absoluteFilePath().toStdString());
    });
}

bool DesktopSession::build_unattended() {
  // A refused document leaves no sample path to build to: nothing is built.
  if (session_->document().documentPath.empty()) return false;
  run_reported([&] { build_voice(QString::fromStdString(session_->document().samplePath)); });
  return session_->build_run().outcome() == BuildOutcome::Done;
}

// DocumentHost -------------------------------------------------------------------------

void DesktopSession::set_caption(const std::string& caption) {
  emit captionChanged(QString::fromStdString(caption));
}

void DesktopSession::new_document_started() {
  stop_playback();
  windows_->clear_backgrounds();
  partialOpenDialog_->rebuild_parameter_boxes();
}

void DesktopSession::add_recent_file(const std::string& path) {
  emit recentFileAdded(QString::fromStdString(path));
}

void DesktopSession::load_background(int index, const std::string& path) {
  if (!unattended_) {
    windows_->load_background(index, QString::fromStdString(path));
    return;
  }
  // An autosave after the build would otherwise drop the name, and the next run its
  // backup's too.
  try {
    windows_->load_background(index, QString::fromStdString(path));
  } catch (...) {
    session_->set_background_file(index, path);
    throw;
  }
  if (session_->voice().parameter(index).backgroundFile.empty())
    session_->set_background_file(index, path);
}

void DesktopSession::show_parameter(int index) {
  windows_->show_parameter(index);
}

void DesktopSession::model_changed(const ModelChange& change) {
  using Kind = ModelChange::Kind;
  if (change.kind == Kind::History) emit historyChanged();
  // The sound is rendered from a copy and goes on through edits; another document
  // ends it, since what plays is no longer the one shown.
  if (player_->rendering_voice() && change.kind == Kind::Everything) stop_playback();
}

}  // namespace vocanta
