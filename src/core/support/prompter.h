#pragma once

#include <string>

namespace vocanta {

enum class Answer { Yes, No, Cancel };

// How the core asks the user something. The desktop program answers with dialogs,
// vocanta-cli without a person, and tests with queued answers.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual void message(const std::string& text) = 0;
  virtual Answer ask_yes_no(const std::string& question) = 0;
  virtual Answer ask_yes_no_cancel(const std::string& question) = 0;
  // An empty result means the dialog was cancelled.
  virtual std::string open_file_name(const std::string& title, const std::string& filter,
                                     const std::string& initial) = 0;
  virtual std::string save_file_name(const std::string& title, const std::string& filter,
                                     const std::string& initial) = 0;
};

}  // namespace vocanta
