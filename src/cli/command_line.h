#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// Reads vocanta-cli's words (those after the program's name) and runs the command they
// name. Returns the exit status: 0 done, 1 the work failed, 2 the words are off, said in
// one line on err. A failure of the work may also leave as an exception.
int run_command_line(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vocanta
