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
// a resaved document still points at its pictures.
class CliBackgrounds : public BackgroundHost {
 public:
  CliBackgrounds(Voice& voice, std::ostream& err) : voice_(voice), err_(err) {}
  void show_parameter(int) override {}
  void save_pasted_background(int index) override;
  void load_background(int index, const std::string& path) override;
  void redraw(int) override {}

 private:
  Voice& voice_;
  std::ostream& err_;
};

}  // namespace vocanta
