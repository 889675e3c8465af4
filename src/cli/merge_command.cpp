#include "cli/merge_command.h"

#include <ostream>

#include "core/build/part_merge.h"
#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

int merge_command(const std::vector<std::string>& parts, const std::string& output,
                  std::ostream& out, std::ostream& err) {
  std::vector<std::string> fullParts;
  for (const std::string& part : parts) fullParts.push_back(absolute_path(part));
  try {
    const MergedSeries m = merge_parts(fullParts, absolute_path(output));
    out << "parts " << m.parts << "\nvoices " << m.voices << "\nsamples " << m.samples << "\n";
  } catch (const VocantaError& e) {
    err << "vocanta-cli: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vocanta
