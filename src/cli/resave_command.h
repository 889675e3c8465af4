#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli resave IN.vta OUT.vta; returns the exit status.
int resave_command(const std::vector<std::string>& args, std::ostream& err);

}  // namespace vocanta
