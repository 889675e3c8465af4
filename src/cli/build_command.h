#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli build DOC.vta [-o OUT.smp] [--seed N]
int build_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// vocanta-cli batch DOC.vta [-o OUT.smp] [--combinations] [--only NAME,...]
//                           [--include-without] [--seed N]
int batch_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vocanta
