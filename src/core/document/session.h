#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/document/document_lifecycle.h"
#include "core/model/edit_history.h"
#include "core/model/voice.h"

namespace vocanta {

class BuildHost;
class Prompter;

// One open document: the voice with its build settings, the document's path and
// modified state with the commands that open and save it, the edit history and the
// build run. Windows show a session and change its content only through apply.
class Session {
 public:
  Session(Prompter& prompter, DocumentHost& documentHost, BuildHost& buildHost);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Voice& voice() { return voice_; }
  const Voice& voice() const { return voice_; }
  DocumentLifecycle& document() { return document_; }
  const DocumentLifecycle& document() const { return document_; }
  const EditHistory& history() const { return history_; }
  BuildRun& build_run() { return run_; }
  Prompter& prompter() { return *prompter_; }
  void set_prompter(Prompter& prompter);
  // The windows' background pictures, for the document's save; none unless set.
  void set_picture_store(PictureStore* pictures) { document_.set_picture_store(pictures); }
  // The decimal separator of the settings and axis texts, the user's: the program sets
  // it once at its start; "." unless set. Documents always use ".".
  char decimal_separator() const { return decimalSeparator_; }
  void set_decimal_separator(char separator);

  // Applies a change of the document's content and keeps it for undo. Changes with the
  // same non-zero group (one drag, one visit to a dialog) are undone as one step. A
  // build that runs meanwhile renders the voice as it was at its start.
  void apply(std::unique_ptr<EditCommand> command, uint64_t group = 0);
  uint64_t new_group() { return history_.new_group(); }
  void undo();
  void redo();

  // A parameter window's axis limits as typed, x or y. They are view state kept with the
  // voice: no step to undo, and the document stays unmodified.
  void set_x_limits(int index, const AxisTexts& limits);
  void set_y_limits(int index, const AxisTexts& limits);
  // The time axes of every window span the voice's duration again, as a step of the
  // group (a visit to the settings), so that its undo puts them back too.
  void fit_time_axes(uint64_t group = 0);
  // The name of a parameter's background picture. The steps that change a picture
  // (Open, Paste, Clear) are undone as a whole; naming it alone marks nothing modified.
  void set_background_file(int index, std::string file);

  // A plain build into path; the header names the document loaded last.
  void build_voice(const std::string& path);
  // A series of voices into path, as the batch window's choices make it.
  void build_batches(const std::string& path, BatchBuildChoice choice,
                     BatchProgress* progress = nullptr);

 private:
  void history_changed();

  Voice voice_;
  Prompter* prompter_;
  char decimalSeparator_ = '.';
  EditHistory history_;
  DocumentLifecycle document_;
  BuildRun run_;
};

}  // namespace vocanta
