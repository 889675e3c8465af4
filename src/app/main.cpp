#include <iostream>

#include "gui/main/main_window.h"
#include "gui/main/program_arguments.h"
#include "gui/main/vocanta_application.h"

int main(int argc, char** argv) {
  if (const auto status = vocanta::answer_help_or_version(argc, argv, std::cout, std::cerr))
    return *status;
  vocanta::VocantaApplication app(argc, argv);
  QStringList arguments;
  if (const auto status =
          vocanta::read_program_arguments(app.arguments(), arguments, std::cout, std::cerr))
    return *status;
  vocanta::MainWindow main(arguments);
  main.show();
  const int status = app.exec();
  return status != 0 ? status : main.exit_status();
}
