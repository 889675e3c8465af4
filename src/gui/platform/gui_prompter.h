#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "core/support/prompter.h"

namespace vocanta {

// What the file dialogs of one run remember between their showings: the folder last used
// and, for each list of file types, the type last chosen.
class FileDialogMemory {
 public:
  struct Proposal {
    QString path;     // the folder to start in and the name to offer
    int filterIndex;  // the file type to select
  };
  // The folder of the document open now, for dialogs whose proposal names no folder.
  void set_document_folder(std::function<QString()> folder) { documentFolder_ = std::move(folder); }
  // Starts at the proposal's folder, else the document's, else the last one used, else the
  // user's documents folder. A name whose extension belongs to another type of the list
  // than the one chosen last time takes the chosen type's extension.
  Proposal propose(const std::string& filter, const std::string& initial) const;
  void remember(const std::string& filter, const QString& chosen, int filterIndex);
  // The folder a dialog offering proposed starts in (see propose).
  QString start_folder(const QString& proposed) const;

 private:
  std::function<QString()> documentFolder_;
  QString lastFolder_;
  std::map<std::string, int> lastType_;
};

// Questions and messages as modal boxes titled "Vocanta", file names from the
// platform's file dialogs.
class GuiPrompter : public Prompter {
 public:
  explicit GuiPrompter(QWidget* parent) : parent_(parent) {}
  FileDialogMemory& memory() { return memory_; }
  void message(const std::string& text) override;
  Answer ask_yes_no(const std::string& question) override;
  Answer ask_yes_no_cancel(const std::string& question) override;
  std::string open_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;
  std::string save_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override;

 private:
  QWidget* parent_;
  FileDialogMemory memory_;
};

// "Vocanta files (*.vta)|*.vta|Any file (*.*)|*.*" in the form Qt's dialogs take.
QString qt_file_filter(const std::string& filter);

}  // namespace vocanta
