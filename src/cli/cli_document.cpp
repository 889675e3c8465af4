#include "cli/cli_document.h"

#include "cli/cli_backgrounds.h"
#include "core/document/document.h"
#include "core/model/voice.h"

namespace vocanta {

bool load_cli_document(Voice& voice, const std::string& path, std::ostream& err) {
  reset_to_new(voice);
  UnattendedPrompter prompter = cli_prompter(err);
  ReadResult read;
  try {
    read_document(voice, kCliDecimalSeparator, path, ReadSelection{}, prompter, read);
  } catch (...) {
    keep_background_names(voice, read, err);
    throw;
  }
  keep_background_names(voice, read, err);
  return read.accepted;
}

}  // namespace vocanta
