#include "gui/main/error_log.h"

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSysInfo>

#include "core/support/ini_file.h"
#include "gui/main/about_box.h"
#include "gui/platform/error_report.h"
#include "gui/platform/message_box.h"
#include "gui/platform/program_data.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/throw_address.h"

namespace vocanta {
namespace {

constexpr const char* kSection = "ErrorLog";

std::string local(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

// One entry is one line: a message of several lines is joined into one.
std::string utf8(QString text) {
  return text.replace(QLatin1String("\r\n"), " ")
      .replace(u'\n', u' ')
      .replace(u'\r', u' ')
      .toStdString();
}

QString login_name() {
  if (const passwd* user = ::getpwuid(::geteuid())) return QString::fromLocal8Bit(user->pw_name);
  return qEnvironmentVariable("USER");
}

// The last place tried is one the user always owns, so that a program installed in a
// read-only folder and started from one still logs.
QString state_folder() {
  QString folder = qEnvironmentVariable("XDG_STATE_HOME");
  if (folder.isEmpty()) folder = QDir::homePath() + "/.local/state";
  return folder + "/ZarvekData";
}

bool is_log_section(QStringView name) {
  return name == u"Termination" || name == u"Verify" || name.startsWith(u"Exception at ");
}

// A log is written in place, entry by entry: a file that holds anything else (a sample
// file, somebody's notes) must never be taken for one.
bool holds_only_log_entries(const QString& fileName) {
  constexpr qint64 kLargestLog = 64 << 20;
  const QFileInfo info(fileName);
  if (!info.exists()) return !info.isSymLink();
  if (!info.isFile() || info.size() > kLargestLog) return false;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  bool inSection = false;
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty()) continue;
    if (line.startsWith('[') && line.endsWith(']')) {
      if (!is_log_section(QStringView(line).sliced(1, line.size() - 2))) return false;
      inSection = true;
    } else if (!inSection || !line.contains('=') || raw.contains('\0')) {
      return false;
    }
  }
  return true;
}

bool usable_log_file(const QString& fileName) {
  return holds_only_log_entries(fileName) && log_file_writable(fileName);
}

// refused is set when the stored name is a file of somebody else's.
QString choose_log_file(const QString& stored, const QString& filePart, bool& refused) {
  refused = false;
  if (!stored.isEmpty()) {
    const QString full = QFileInfo(stored).absoluteFilePath();
    refused = !holds_only_log_entries(full);
    if (!refused && log_file_writable(full)) return full;
  }
  for (const QString& folder : log_file_folders(running_program_places())) {
    // A new user has no state folder yet; only a program that logs gets here.
    QDir().mkpath(folder);
    const QString candidate = QDir(folder).absoluteFilePath(filePart);
    if (usable_log_file(candidate)) return candidate;
  }
  return {};
}

void show_logfile_box(const QString& title, const QString& text) {
  // While a build runs the box must not hold the build's thread (as the error box).
  auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok,
                              QApplication::activeWindow());
  box->setAttribute(Qt::WA_DeleteOnClose);
  if (build_running()) {
    box->setModal(false);
    box->show();
  } else {
    box->exec();
  }
}

}  // namespace

QStringList log_file_folders(const ProgramPlaces& places) {
  // An installed program's folder is the system's, even for root, and the current folder
  // is wherever the user happened to start it: neither is a place for a log. A program
  // run from its build tree or an unpacked copy keeps its log beside itself.
  if (is_installed(places)) return {state_folder()};
  return {places.programFolder, state_folder()};
}

bool log_file_writable(const QString& fileName) {
  try {
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || (info.exists() && !info.isWritable())) return false;
    const bool existed = info.exists();
    change_ini_file(local(fileName), [](IniFile& ini) { ini.write("Verify", "Ok", "1"); });
    bool ok = false;
    change_ini_file(local(fileName), [&](IniFile& ini) {
      ok = ini.read("Verify", "Ok", "") == "1";
      ini.erase_section("Verify");
    });
    // A probe leaves no empty file behind in every folder it tried.
    if (!existed && QFileInfo(fileName).size() == 0) QFile::remove(fileName);
    return ok;
  } catch (...) {
    return false;
  }
}

QString log_time_stamp() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  return locale.toString(now.date(), QLocale::ShortFormat) + " " +
         locale.toString(now.time(), QLocale::LongFormat);
}

ErrorLog::ErrorLog(AboutBox* aboutBox)
    : show_box(show_logfile_box), aboutBox_(aboutBox), standardBox_(current_error_handler()) {
  set_error_handler([this](const QString& m) { handle_exception(m, last_throw_address()); });
  if (aboutBox_) aboutBox_->onPictureDoubleClicked = [this] { set_log_errors(!log_errors()); };
  // A program that does not log leaves the folders it would try untouched; switching
  // logging on chooses the file then.
  if (log_errors()) {
    log_file_name();
    set_termination("Started");
  }
  refresh_about_box();
}

ErrorLog::~ErrorLog() {
  if (aboutBox_) aboutBox_->onPictureDoubleClicked = nullptr;
  if (log_errors()) set_termination("Terminated");
  set_error_handler(standardBox_);
}

bool ErrorLog::log_errors() const {
  try {
    return ToolFamilyStore().ReadBool(kSection, "LogErrors", false);
  } catch (...) {
    return false;
  }
}

void ErrorLog::set_log_errors(bool on) {
  try {
    ToolFamilyStore().WriteBool(kSection, "LogErrors", on);
    if (on) log_file_name();
  } catch (...) {
  }
  refresh_about_box();
}

QString ErrorLog::log_file_name() {
  try {
    ToolFamilyStore store;
    const QString stored = QFile::decodeName(store.ReadString(kSection, "LogFileName", "").c_str());
    const QString part =
        QString::fromStdString(LogFileName.empty() ? "QuirraErr.log" : LogFileName);
    bool refused = false;
    fileName_ = choose_log_file(stored, QFileInfo(part).fileName(), refused);
    store.WriteString(kSection, "LogFileName", local(fileName_));
    // Said once: the store names the new place from now on.
    if (refused && standardBox_)
      standardBox_(stored + " is not an error log of Vocanta, so it is left as it is; errors are " +
                   "logged to " + (fileName_.isEmpty() ? QString("no file") : fileName_) +
                   " instead.");
  } catch (...) {
  }
  return fileName_;
}

void ErrorLog::handle_exception(const QString& message, std::uint64_t address) {
  try {
    if (log_errors() && !fileName_.isEmpty()) {
      add_error_section(fileName_, message, address);
      if (OnAddToFile) OnAddToFile();
      if (SendLogFileRequest) show_box("Logfile created", fileName_ + "\n" + SendLogFileMessage);
      if (OnException) OnException();
    }
  } catch (...) {
    // The error itself is still shown below.
  }
  if (ShowExceptions && standardBox_) standardBox_(message);
}

void ErrorLog::add_error_section(const QString& file, const QString& message,
                                 std::uint64_t address) {
  const std::string section = "Exception at " + utf8(log_time_stamp());
  change_ini_file(local(file), [&](IniFile& ini) {
    auto put = [&](const char* key, const QString& value) { ini.write(section, key, utf8(value)); };
    put("ExeName", QCoreApplication::applicationFilePath());
    put("CurrentUser", login_name());
    put("ComputerName", QSysInfo::machineHostName());
    if (aboutBox_) {
      put("Application", aboutBox_->title());
      put("Version", aboutBox_->version());
      put("Revision", aboutBox_->revision());
      put("Extra", aboutBox_->extra());
    }
    put("Message", message);
    put("Address", QString("%1").arg(address & 0xFFFFFFFFull, 8, 16, QChar('0')).toUpper());
    put("DebugString", DebugString);
  });
}

void ErrorLog::set_termination(const char* event) {
  try {
    if (fileName_.isEmpty()) return;
    const QString value = QString(event) + " at " + log_time_stamp();
    change_ini_file(local(fileName_), [&](IniFile& ini) {
      ini.write("Termination", utf8(QCoreApplication::applicationFilePath()), utf8(value));
    });
  } catch (...) {
  }
}

void ErrorLog::refresh_about_box() {
  if (aboutBox_) aboutBox_->show_log_file(log_errors() ? fileName_ : QString());
}

}  // namespace vocanta
