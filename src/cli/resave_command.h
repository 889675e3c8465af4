#pragma once

#include <iosfwd>
#include <string>

namespace vocanta {

// vocanta-cli resave IN.vta OUT.vta; returns the exit status.
int resave_command(const std::string& in, const std::string& out, std::ostream& err);

}  // namespace vocanta
