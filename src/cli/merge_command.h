#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli merge PART... -o OUT
int merge_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vocanta
