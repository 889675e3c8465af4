#pragma once

#include <QStringList>
#include <optional>
#include <ostream>

namespace vocanta {

// The desktop program's command line: a document and "/b" as ever, plus --help and
// --version. Returns the exit status when the program is to end at once (help, version,
// a usage error said on err); otherwise leaves the document and "/b" in arguments.
std::optional<int> read_program_arguments(const QStringList& commandLine, QStringList& arguments,
                                          std::ostream& out, std::ostream& err);

// --help and --version, answered before the windowing system is asked for a display, so
// that they work over ssh and in a build script. Returns the exit status when one was
// asked for.
std::optional<int> answer_help_or_version(int argc, char** argv, std::ostream& out,
                                          std::ostream& err);

}  // namespace vocanta
