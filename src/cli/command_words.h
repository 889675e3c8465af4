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

// The commands, their options and help texts, bound to words; also --help and --version.
void define_commands(CLI::App& app, CommandWords& words);

// The overall usage, for --help and for a call without words.
std::string overview();

}  // namespace vocanta
