#include "cli/cli_document.h"

#include "cli/cli_prompter.h"
#include "core/document/document.h"
#include "core/model/voice.h"

namespace vocanta {

bool load_cli_document(Voice& voice, const std::string& path, std::ostream& err) {
  reset_to_new(voice);
  CliPrompter prompter(err);
  CliBackgrounds backgrounds(voice, err);
  return read_document(voice, path, ReadSelection{}, prompter, backgrounds).accepted;
}

}  // namespace vocanta
