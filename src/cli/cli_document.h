#pragma once

#include <iosfwd>
#include <string>

namespace vocanta {

class Voice;

// Scripts write the settings texts with ".", whatever the locale, as documents do.
constexpr char kCliDecimalSeparator = '.';

// Starts the voice as New does and reads the whole document into it, answering the
// questions without a person. False when the document was refused (said on err).
bool load_cli_document(Voice& voice, const std::string& path, std::ostream& err);

}  // namespace vocanta
