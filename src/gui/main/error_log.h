#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>

#include "gui/platform/program_data.h"

namespace vocanta {

class AboutBox;

// The program-wide error handler: every unhandled error is shown and, while logging is
// switched on, recorded in a log file together with each start and end of the program,
// so that a run that never terminated leaves a "Started" entry behind. Nothing in here
// ever raises an error: a log that cannot be written must not hide the error itself.
class ErrorLog {
 public:
  // Takes over the handler (the one in place becomes the standard error box shown after
  // logging), chooses the log file and records the start when logging is on.
  explicit ErrorLog(AboutBox* aboutBox);
  // Records the end and gives the handler back.
  ~ErrorLog();
  ErrorLog(const ErrorLog&) = delete;
  ErrorLog& operator=(const ErrorLog&) = delete;

  // The handler itself; address is where the error was raised, 0 when unknown.
  void handle_exception(const QString& message, std::uint64_t address = 0);

  bool log_errors() const;
  void set_log_errors(bool on);
  // The chosen log file, chosen afresh and stored; empty when no place can be written.
  QString log_file_name();

  bool ShowExceptions = true;
  std::string LogFileName = "QuirraErr.log";  // the file part tried in each folder
  bool SendLogFileRequest = true;
  QString SendLogFileMessage =
      "Please send this file to the Vocanta team with a few words on what you were doing.";
  QString DebugString;
  std::function<void()> OnAddToFile;
  std::function<void()> OnException;
  // Shows the "Logfile created" box (title, text); tests record it instead.
  std::function<void(const QString&, const QString&)> show_box;

 private:
  void add_error_section(const QString& file, const QString& message, std::uint64_t address);
  void set_termination(const char* event);
  void refresh_about_box();

  AboutBox* aboutBox_;
  std::function<void(const QString&)> standardBox_;
  QString fileName_;
};

// Whether an INI entry can be written to the file and erased again; never raises.
bool log_file_writable(const QString& fileName);

// The folders a log without a usable stored name goes to, first choice first: the
// program's own folder unless the program is installed, then $XDG_STATE_HOME/ZarvekData.
QStringList log_file_folders(const ProgramPlaces& places);

// The date and time of log entries: the user's short date and long time.
QString log_time_stamp();

}  // namespace vocanta
