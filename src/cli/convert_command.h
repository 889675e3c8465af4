#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli convert IN.smp OUT.wav|OUT.flac|OUT.aiff
int convert_command(const std::vector<std::string>& args, std::ostream& err);

// vocanta-cli info FILE.smp
int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vocanta
