#include "gui/main/program_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "core/support/program_version.h"

namespace vocanta {
namespace {

constexpr const char* kDescription =
    "Additive synthesis of sung and spoken vowels: draw the curves of a voice, build it into "
    "a sample or audio file, and render series of stimuli with batch builds.\n\n"
    "With a document and /b, the program builds the document's sample file without waiting "
    "for anyone, writes every message to standard error and exits with status 0 when the "
    "build was done, 1 otherwise.";

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(kDescription);
  parser.addPositionalArgument("document", "A voice document (.vta) to open.", "[document");
  parser.addPositionalArgument("/b", "Build the document's sample file, then exit.", "[/b]]");
}

// The parser names the program after the application object, which may not exist yet;
// the help names the command the user typed.
QString help_text(const QCommandLineParser& parser, const QString& command) {
  QString text = parser.helpText();
  const qsizetype start = text.indexOf(' ') + 1;
  const qsizetype end = text.indexOf(" [options]");
  if (start > 0 && end > start) text.replace(start, end - start, QFileInfo(command).fileName());
  return text;
}

}  // namespace

std::optional<int> read_program_arguments(const QStringList& commandLine, QStringList& arguments,
                                          std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  describe(parser);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  if (!parser.parse(commandLine)) {
    err << "vocanta: " << parser.errorText().toStdString() << " (see 'vocanta --help')\n";
    return 2;
  }
  if (parser.isSet(help)) {
    out << help_text(parser, commandLine.value(0, "vocanta")).toStdString();
    return 0;
  }
  if (parser.isSet(version)) {
    out << "vocanta " << kProgramRevision << "\n";
    return 0;
  }
  arguments = parser.positionalArguments();
  return std::nullopt;
}

std::optional<int> answer_help_or_version(int argc, char** argv, std::ostream& out,
                                          std::ostream& err) {
  const QStringList asked = {"-h", "--help", "--help-all", "-v", "--version"};
  for (int i = 1; i < argc; ++i) {
    const QString word = QString::fromLocal8Bit(argv[i]);
    if (word == "--") break;
    QStringList arguments;
    if (!asked.contains(word)) continue;
    return read_program_arguments({QString::fromLocal8Bit(argv[0]), word}, arguments, out, err);
  }
  return std::nullopt;
}

}  // namespace vocanta
