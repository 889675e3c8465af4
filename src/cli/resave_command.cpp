#include "cli/resave_command.h"

#include <filesystem>
#include <ostream>

#include "cli/cli_backgrounds.h"
#include "cli/cli_document.h"
#include "core/document/document.h"
#include "core/model/voice.h"

namespace vocanta {

int resave_command(const std::string& in, const std::string& out, std::ostream& err) {
  std::error_code ec;
  // Never replace a file: a bulk upgrade must not overwrite the documents it reads.
  if (std::filesystem::exists(out, ec) || std::filesystem::is_symlink(out, ec)) {
    err << "vocanta-cli: " << out << " already exists; resave writes only new files\n";
    return 1;
  }
  Voice voice;
  if (!load_cli_document(voice, in, err)) return 1;
  UnattendedPrompter prompter = cli_prompter(err);
  drop_pasted_backgrounds(voice, prompter, err);
  write_document(voice, kCliDecimalSeparator, out);
  return 0;
}

}  // namespace vocanta
