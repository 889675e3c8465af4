#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vocanta {

// vocanta-cli merge PART... -o OUT, with the parts and OUT as given.
int merge_command(const std::vector<std::string>& parts, const std::string& output,
                  std::ostream& out, std::ostream& err);

}  // namespace vocanta
