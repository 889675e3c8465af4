#pragma once

#include <iosfwd>

#include "core/document/document.h"
#include "core/support/prompter.h"

namespace vocanta {

class Voice;

// Answers every question without a person, saying on stderr what it answered.
class CliPrompter : public Prompter {
 public:
  explicit CliPrompter(std::ostream& err) : err_(err) {}
  void message(const std::string& text) override;
  Answer ask_yes_no(const std::string& question) override;
  Answer ask_yes_no_cancel(const std::string& question) override;
  std::string open_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;
  std::string save_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;

 private:
  std::ostream& err_;
};

// Backgrounds without pictures: the names are kept as the document gives them, so that
// a resaved document still points at its pictures; a missing picture is said on err.
void keep_background_names(Voice& voice, const ReadResult& read, std::ostream& err);

// A pasted picture has no file and no person can choose one: the document names none.
void drop_pasted_backgrounds(const Voice& voice, Prompter& prompter, std::ostream& err);

}  // namespace vocanta
