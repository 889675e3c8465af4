#include "gui/main/main_window.h"
#include "gui/main/vocanta_application.h"

int main(int argc, char** argv) {
  vocanta::VocantaApplication app(argc, argv);
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  vocanta::MainWindow main(arguments);
  main.show();
  const int status = app.exec();
  return status != 0 ? status : main.exit_status();
}
