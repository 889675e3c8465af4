#include "core/support/unattended_prompter.h"

#include <ostream>

namespace vocanta {

void UnattendedPrompter::message(const std::string& text) {
  err_ << program_ << ": " << text << "\n";
}

Answer UnattendedPrompter::ask_yes_no(const std::string& question) {
  err_ << program_ << ": " << question << " Yes (answered without a person)\n";
  return Answer::Yes;
}

Answer UnattendedPrompter::ask_yes_no_cancel(const std::string& question) {
  const char* said = saveQuestion_ == Answer::Yes  ? "Yes"
                     : saveQuestion_ == Answer::No ? "No"
                                                   : "Cancel";
  err_ << program_ << ": " << question << " " << said << " (answered without a person)\n";
  return saveQuestion_;
}

std::string UnattendedPrompter::open_file_name(const std::string& title, const std::string&,
                                               const std::string&) {
  return no_file(title);
}

std::string UnattendedPrompter::save_file_name(const std::string& title, const std::string&,
                                               const std::string&) {
  return no_file(title);
}

std::string UnattendedPrompter::no_file(const std::string& title) {
  err_ << program_ << ": " << title << ": no file chosen (no person to choose)\n";
  return {};
}

}  // namespace vocanta
