#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv) {
  try {
    return vocanta::run_command_line({argv + 1, argv + argc}, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "vocanta-cli: " << e.what() << "\n";
    return 1;
  }
}
