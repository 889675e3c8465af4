#include "gui/main/vocanta_application.h"

#include "gui/platform/error_report.h"

namespace vocanta {

VocantaApplication::VocantaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VocantaApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  run_reported([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace vocanta
