#pragma once

#include <iosfwd>
#include <string>

namespace vocanta {

// vocanta-cli convert IN.smp OUT.wav|OUT.flac|OUT.aiff
int convert_command(const std::string& in, const std::string& out, std::ostream& err);

}  // namespace vocanta
