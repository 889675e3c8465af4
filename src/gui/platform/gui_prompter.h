#pragma once

#include <QWidget>

#include "core/support/prompter.h"

namespace vocanta {

// Questions and messages as modal boxes titled "Vocanta", file names from the
// platform's file dialogs.
class GuiPrompter : public Prompter {
 public:
  explicit GuiPrompter(QWidget* parent) : parent_(parent) {}
  void message(const std::string& text) override;
  Answer ask_yes_no(const std::string& question) override;
  Answer ask_yes_no_cancel(const std::string& question) override;
  std::string open_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;
  std::string save_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;

 private:
  QWidget* parent_;
};

// "Vocanta files (*.vta)|*.vta|Any file (*.*)|*.*" in the form Qt's dialogs take.
QString qt_file_filter(const std::string& filter);

}  // namespace vocanta
