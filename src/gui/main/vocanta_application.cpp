#include "gui/main/vocanta_application.h"

#include "gui/main/program_icon.h"
#include "gui/platform/error_report.h"

namespace vocanta {

VocantaApplication::VocantaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The desktop matches the windows to the installed entry and its icon by this name.
  setDesktopFileName(kDesktopId);
  setWindowIcon(program_icon());
}

bool VocantaApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  run_reported([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace vocanta
