#pragma once

#include <iosfwd>
#include <string>

namespace vocanta {

// vocanta-cli info FILE [--json]
int info_command(const std::string& file, bool json, std::ostream& out, std::ostream& err);

}  // namespace vocanta
