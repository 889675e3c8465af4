#pragma once

#include <iosfwd>

#include "core/document/document.h"
#include "core/support/unattended_prompter.h"

namespace vocanta {

class Voice;

// The questions of vocanta-cli, answered without a person; the save question, which
// only a closing program asks, is cancelled.
inline UnattendedPrompter cli_prompter(std::ostream& err) {
  return UnattendedPrompter(err, "vocanta-cli", Answer::Cancel);
}

// Backgrounds without pictures: the names are kept as the document gives them, so that
// a resaved document still points at its pictures; a missing picture is said on err.
void keep_background_names(Voice& voice, const ReadResult& read, std::ostream& err);

// A pasted picture has no file and no person can choose one: the document names none.
void drop_pasted_backgrounds(const Voice& voice, Prompter& prompter, std::ostream& err);

}  // namespace vocanta
