#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/parameter_table.h"

namespace vocanta {

class Prompter;
class Voice;

constexpr const char* kFileType = "Vocanta";
constexpr const char* kDocumentVersion = "3.0";

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
  // The background pictures the document names, by parameter index, in the order read:
  // the windows load them.
  std::vector<std::pair<int, std::string>> backgrounds;
};

// A document writes its numbers with "."; decimalSeparator is the one of the voice's
// settings and axis texts, as the user types them.

// The whole voice as document text; it asks nothing. A background name holding "*" (a
// pasted picture that has no file) is left out; the parameters whose pasted picture the
// user chose not to save get an empty entry. Raises the conversion message of a
// settings text that is not a number, or names a value that is no finite number, before
// anything is written anywhere: a text the reader refuses is never written.
std::string compose_document(const Voice& voice, char decimalSeparator,
                             const std::vector<int>& droppedPictures = {});

// Writes the whole voice to path, replacing the file only once the new text is complete.
void write_document(const Voice& voice, char decimalSeparator, const std::string& path);

// Reads the document into the voice; the prompter hears a refusal and asks about a
// version that differs.
ReadResult read_document(Voice& voice, char decimalSeparator, const std::string& path,
                         const ReadSelection& selection, Prompter& prompter);
// The same, filling result as it goes, so that what was read before an error (the
// backgrounds among it) is known when the error arrives.
void read_document(Voice& voice, char decimalSeparator, const std::string& path,
                   const ReadSelection& selection, Prompter& prompter, ReadResult& result);
// The same on a document's text held in memory; name stands for the path in the messages.
ReadResult read_document_text(Voice& voice, char decimalSeparator, std::string_view text,
                              const std::string& name, const ReadSelection& selection,
                              Prompter& prompter);

}  // namespace vocanta
