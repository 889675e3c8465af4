#include "cli/cli_prompter.h"

#include <filesystem>
#include <ostream>

#include "core/model/voice.h"

namespace vocanta {

void CliPrompter::message(const std::string& text) {
  err_ << "vocanta-cli: " << text << "\n";
}

Answer CliPrompter::ask_yes_no(const std::string& question) {
  err_ << "vocanta-cli: " << question << " Yes (answered without a person)\n";
  return Answer::Yes;
}

Answer CliPrompter::ask_yes_no_cancel(const std::string& question) {
  err_ << "vocanta-cli: " << question << " Cancel (answered without a person)\n";
  return Answer::Cancel;
}

std::string CliPrompter::open_file_name(const std::string& title, const std::string&,
                                        const std::string&) {
  err_ << "vocanta-cli: " << title << ": no file chosen (no person to choose)\n";
  return {};
}

std::string CliPrompter::save_file_name(const std::string& title, const std::string&,
                                        const std::string&) {
  err_ << "vocanta-cli: " << title << ": no file chosen (no person to choose)\n";
  return {};
}

void CliBackgrounds::save_pasted_background(int index) {
  err_ << "vocanta-cli: the pasted background of " << voice_.parameter(index).title
       << " cannot be saved without a person; the document names no file for it\n";
}

void CliBackgrounds::load_background(int index, const std::string& path) {
  Parameter& p = voice_.parameter(index);
  p.backgroundFile = path;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    err_ << "vocanta-cli: " << path << ", background for " << p.title
         << ", was not found; the name is kept\n";
}

}  // namespace vocanta
