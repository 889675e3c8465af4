#include "cli/cli_backgrounds.h"

#include <filesystem>
#include <ostream>

#include "core/model/voice.h"

namespace vocanta {

void keep_background_names(Voice& voice, const ReadResult& read, std::ostream& err) {
  for (const auto& [index, path] : read.backgrounds) {
    set_background_file(voice, index, path);
    const Parameter& p = voice.parameter(index);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
      err << "vocanta-cli: " << path << ", background for " << p.title
          << ", was not found; the name is kept\n";
  }
}

void drop_pasted_backgrounds(const Voice& voice, Prompter& prompter, std::ostream& err) {
  for (int i = 0; i < kParameterCount; ++i) {
    const Parameter& p = voice.parameter(i);
    if (p.backgroundFile.find('*') == std::string::npos) continue;
    prompter.ask_yes_no(p.title + " background is not saved, save?");
    err << "vocanta-cli: the pasted background of " << p.title
        << " cannot be saved without a person; the document names no file for it\n";
  }
}

}  // namespace vocanta
