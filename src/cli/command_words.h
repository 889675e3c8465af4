#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vocanta {

// The words of a vocanta-cli call as given, before they are checked.
struct CommandWords {
  std::string document;  // build and batch
  std::string output;    // -o of build, batch and merge
  std::string seed;
  std::string engine = "fast";
  std::string only;
  std::string shard;
  std::string normalize;
  std::string jobs;
  std::string split;
  std::string format;
  bool textgrid = false;
  bool combinations = false;
  bool includeWithout = false;
  bool count = false;
  std::vector<std::string> parts;  // merge
  std::string in;                  // resave, convert and info
  std::string out;                 // resave and convert
  bool json = false;               // info
};

// The commands, bound to words; also --help and --version. Only the commands the call's
// words name get their options and help texts: no other can be parsed or asked about,
// and defining them all took a short build longer than reading its document.
void define_commands(CLI::App& app, CommandWords& words, const std::vector<std::string>& call);

// The overall usage, for --help and for a call without words.
std::string overview();

}  // namespace vocanta
