#pragma once

#include <array>
#include <string>

#include "core/model/parameter_table.h"

namespace vocanta {

class Prompter;
class Voice;

constexpr const char* kFileType = "Vocanta";
constexpr const char* kDocumentVersion = "3.0";

// What the document asks of the windows that show background pictures.
class BackgroundHost {
 public:
  virtual ~BackgroundHost() = default;
  // Before the question about a pasted picture: show the parameter's window and make
  // it the point editor's target.
  virtual void show_parameter(int index) = 0;
  // The user wants the pasted picture saved: run the point editor's save command, which
  // asks for a file name and, given one, makes it the background name.
  virtual void save_pasted_background(int index) = 0;
  // The document names a background picture for the parameter.
  virtual void load_background(int index, const std::string& path) = 0;
  // A parameter, or with -1 every parameter, changed and should be drawn again.
  virtual void redraw(int index) = 0;
};

// Which parts of a document a read takes: everything, or a partial open's choice.
struct ReadSelection {
  bool everything = true;
  bool common = false;
  std::array<bool, kParameterCount> parameters{};

  bool takes_common() const { return everything || common; }
  bool takes(int index) const { return everything || parameters[static_cast<size_t>(index)]; }
};

struct ReadResult {
  bool accepted = false;
  bool versionDiffered = false;
};

// The whole voice as document text. Raises the conversion message of a settings text
// that is not a number before anything is written anywhere.
std::string compose_document(Voice& voice, Prompter& prompter, BackgroundHost& backgrounds);

// Writes the whole voice to path, replacing the file only once the new text is complete.
void write_document(Voice& voice, const std::string& path, Prompter& prompter,
                    BackgroundHost& backgrounds);

ReadResult read_document(Voice& voice, const std::string& path, const ReadSelection& selection,
                         Prompter& prompter, BackgroundHost& backgrounds);

}  // namespace vocanta
