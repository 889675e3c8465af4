#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli build DOC.vta [-o OUT] [--seed N]; OUT is a sample file or an audio file
int build_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// vocanta-cli batch DOC.vta [-o OUT] [--combinations] [--only NAME,...]
//                           [--include-without] [--seed N]
int batch_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vocanta
