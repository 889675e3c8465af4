#pragma once

#include <string>

#include "core/document/document.h"

namespace vocanta {

class Prompter;
class Voice;

// What the document commands change beyond the voice: the main window's caption, the
// windows that show the voice, and the recent files list.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual void set_caption(const std::string& caption) = 0;
  // New: every window drops its background picture; the partial-open choice starts over.
  virtual void new_document_started() = 0;
  // The voice was replaced or partly replaced: fields, captions and diagrams follow.
  virtual void voice_replaced() = 0;
  virtual void add_recent_file(const std::string& path) = 0;
};

// The one document of the main window: its path, the proposed sample path, the
// modified flag, and the commands that create, open, save and close it.
class DocumentLifecycle {
 public:
  static constexpr const char* kFilter = "Vocanta files (*.vta)|*.vta|Any file (*.*)|*.*";

  DocumentLifecycle(Voice& voice, Prompter& prompter, BackgroundHost& backgrounds,
                    DocumentHost& host);

  // The save question; true when nothing unsaved remains afterwards.
  bool ask_save_changes(bool closing = false);
  void new_document();
  void open_document();
  void load_document(const std::string& path);
  // Raises "Unable to write to ..." or a settings conversion message; the previous
  // document then stays in place.
  void save_document();
  void save_document_as();
  // Closing the main window: true when it may close.
  bool close_query() { return ask_save_changes(true); }
  // Saves the document beside the sample file of a build under the same base name.
  void autosave(const std::string& samplePath);

  bool modified() const;
  void set_prompter(Prompter& prompter) { prompter_ = &prompter; }

  std::string documentPath;
  std::string samplePath = "*.smp";
  // The document whose voice was loaded last, named in the sample file's header.
  std::string lastLoadedPath;
  // Set while a partial open runs: the read takes only `selection`, asks no save question.
  bool partialOpen = false;
  ReadSelection selection;
  std::string noticeText = "- additive voice synthesis";

 private:
  void move_old_version_away(const std::string& backup);

  Voice& voice_;
  Prompter* prompter_;
  BackgroundHost& backgrounds_;
  DocumentHost& host_;
};

// The document's backup: the same path with the extension ".~vt".
std::string backup_path(const std::string& documentPath);

}  // namespace vocanta
