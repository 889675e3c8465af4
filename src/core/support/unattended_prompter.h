#pragma once

#include <iosfwd>
#include <string>

#include "core/support/prompter.h"

namespace vocanta {

// Answers every question without a person, saying on err what it was asked and what it
// answered, so that scripts and unattended runs never wait: Yes to yes/no questions
// (go on with the document as it is), a fixed answer to the save question, and no file
// for the file dialogs.
class UnattendedPrompter : public Prompter {
 public:
  UnattendedPrompter(std::ostream& err, std::string program, Answer saveQuestion)
      : err_(err), program_(std::move(program)), saveQuestion_(saveQuestion) {}
  void message(const std::string& text) override;
  Answer ask_yes_no(const std::string& question) override;
  Answer ask_yes_no_cancel(const std::string& question) override;
  std::string open_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;
  std::string save_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;

 private:
  std::string no_file(const std::string& title);

  std::ostream& err_;
  std::string program_;
  Answer saveQuestion_;
};

}  // namespace vocanta
