#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vocanta {

// Shows a message in a box titled "Vocanta". While a build runs, the box does not wait
// for its OK: the build runs on this thread, and a box that waited would hold it until
// someone closed the box.
void show_message(QWidget* parent, QMessageBox::Icon icon, const QString& text);

// Whether a build is running now; the main window says so around each build.
void set_build_running(bool running);
bool build_running();

// Says a build is running for as long as it lives.
class BuildRunningScope {
 public:
  BuildRunningScope() : was_(build_running()) { set_build_running(true); }
  ~BuildRunningScope() { set_build_running(was_); }
  BuildRunningScope(const BuildRunningScope&) = delete;
  BuildRunningScope& operator=(const BuildRunningScope&) = delete;

 private:
  bool was_;
};

}  // namespace vocanta
