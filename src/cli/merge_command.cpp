#include "cli/merge_command.h"

#include <ostream>

#include "core/build/part_merge.h"
#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

int merge_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> parts;
  std::string output;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size()) {
      output = absolute_path(args[++i]);
    } else if (!args[i].empty() && args[i][0] == '-') {
      err << "vocanta-cli: unknown or incomplete option '" << args[i] << "'\n";
      output.clear();
      parts.clear();
      break;
    } else {
      parts.push_back(absolute_path(args[i]));
    }
  }
  if (output.empty() || parts.empty()) {
    err << "usage: vocanta-cli merge PART.smp... -o OUT.smp|OUT.wav\n";
    return 2;
  }
  try {
    const MergedSeries m = merge_parts(parts, output);
    out << "parts " << m.parts << "\nvoices " << m.voices << "\nsamples " << m.samples << "\n";
  } catch (const VocantaError& e) {
    err << "vocanta-cli: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vocanta
