#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/document/document.h"
#include "core/document/picture_store.h"
#include "core/model/model_observer.h"

namespace vocanta {

class EditHistory;
class Prompter;
class Voice;

// What the document commands need of the windows beyond what the model's observers
// learn: the caption, the recent files list and the background pictures to load.
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual void set_caption(const std::string& caption) = 0;
  // New: every window drops its background picture; the partial-open choice starts over.
  virtual void new_document_started() = 0;
  virtual void add_recent_file(const std::string& path) = 0;
  // The document names a background picture for the parameter: its window loads it.
  virtual void load_background(int index, const std::string& path) = 0;
  // Before the question about a pasted picture: show the parameter's window and make
  // it the point editor's target.
  virtual void show_parameter(int index) = 0;
};

// The document of a session: its path, the proposed sample path, the modified flag,
// and the commands that create, open, save and close it.
class DocumentLifecycle : private ModelObserver {
 public:
  static constexpr const char* kFilter = "Vocanta files (*.vta)|*.vta|Any file (*.*)|*.*";

  DocumentLifecycle(Voice& voice, EditHistory& history, Prompter& prompter, DocumentHost& host);
  ~DocumentLifecycle() override;
  DocumentLifecycle(const DocumentLifecycle&) = delete;
  DocumentLifecycle& operator=(const DocumentLifecycle&) = delete;

  // The save question; true when nothing unsaved remains afterwards.
  bool ask_save_changes(bool closing = false);
  void new_document();
  void open_document();
  void load_document(const std::string& path);
  // Opens the document as a new untitled one (a template): saving asks for a name, so
  // the file read is never overwritten, and it joins no recent files list.
  void open_copy(const std::string& path);
  // Raises "Unable to write to ..." or a settings conversion message; the previous
  // document then stays in place.
  // True once the document is on the disk under its name.
  bool save_document();
  bool save_document_as();
  // Closing the main window: true when it may close.
  bool close_query() { return ask_save_changes(true); }
  // Saves the document beside the sample file of a build under the same base name. A
  // file there other than the document's own is replaced only when the user says so;
  // otherwise the document stays where it was and the build goes on.
  void autosave(const std::string& samplePath);
  // The point editor's Save: asks for a file for the parameter's background picture,
  // writes the picture there and makes the file its name. Nothing happens without a
  // picture or a file; raises when the file cannot be written.
  void save_background(int index);

  // The document differs from its file: set by adding points, removing batches and
  // every undo and redo; cleared by saving, a matching full open, New and "No".
  bool modified() const { return documentModified_; }
  void set_modified(bool on) { documentModified_ = on; }
  void set_prompter(Prompter& prompter) { prompter_ = &prompter; }
  // The windows' pictures; without them a document has no picture to save.
  void set_picture_store(PictureStore* pictures) { pictures_ = pictures; }
  // The one of the settings and axis texts; documents always use ".".
  void set_decimal_separator(char separator) { decimalSeparator_ = separator; }

  std::string documentPath;
  std::string samplePath = "*.smp";
  // The document whose voice was loaded last, named in the sample file's header.
  std::string lastLoadedPath;
  // Set while a partial open runs: the read takes only `selection`, asks no save question.
  bool partialOpen = false;
  ReadSelection selection;
  std::string noticeText = "- additive voice synthesis";

 private:
  void model_changed(const ModelChange& change) override;
  void move_old_version_away(const std::string& file, const std::string& backup);
  // The questions about pasted pictures, answered before the text is composed; true
  // when there was one. The parameters whose picture is not to be saved go to dropped.
  bool settle_pasted_backgrounds(std::vector<int>& dropped);
  void read_and_take(const std::string& path, bool asCopy);
  void take_read(const std::string& path, const ReadResult& result, bool asCopy);
  void show_read(const ReadResult& result);

  Voice& voice_;
  EditHistory& history_;
  Prompter* prompter_;
  DocumentHost& host_;
  PictureStore* pictures_ = nullptr;
  char decimalSeparator_ = '.';
  // What the background's save dialog proposes next, as it remembers its last file.
  std::string backgroundSaveName_;
  bool documentModified_ = false;
};

// The document's backup: the same path with the extension ".~vt".
std::string backup_path(const std::string& documentPath);

}  // namespace vocanta
