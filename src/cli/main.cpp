#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/build_command.h"
#include "cli/convert_command.h"
#include "cli/merge_command.h"
#include "cli/resave_command.h"

namespace {

void print_usage(std::ostream& out) {
  out << "usage: vocanta-cli COMMAND ...\n"
         "\n"
         "commands:\n"
         "  build DOC.vta [-o OUT] [--seed N]\n"
         "                          render the voice into a sample file (default: the\n"
         "                          document's name with .smp); an OUT ending in .wav,\n"
         "                          .flac, .aif or .aiff gets that audio file instead\n"
         "  batch DOC.vta [-o OUT] [--combinations] [--only NAME,...]\n"
         "                [--include-without] [--seed N]\n"
         "                          render one voice per batch step (or per combination\n"
         "                          of steps) into one file and a .CSV label file; a WAV\n"
         "                          also marks each voice's start with a cue point\n"
         "    --shard K/N           only the K-th of N equal slices of the series, into a\n"
         "                          part for merge (-o required; a randomizing document\n"
         "                          needs --seed)\n"
         "    --count               print the series' voices and samples, build nothing\n"
         "  merge PART... -o OUT    join the parts of one series, in any order, into the\n"
         "                          file and label file one batch build would write\n"
         "  --engine fast|reference  with build and batch: the engine (default fast); the\n"
         "                          reference engine computes every term as written, to\n"
         "                          check the fast one against\n"
         "  resave IN.vta OUT.vta   read a document and write it anew in the current\n"
         "                          format (OUT must not exist yet)\n"
         "  convert IN.smp OUT.wav|OUT.flac|OUT.aiff\n"
         "                          write the samples of a sample file as an audio file\n"
         "  info FILE.smp            print a sample file's header items and its length\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    print_usage(args.empty() ? std::cerr : std::cout);
    return args.empty() ? 2 : 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  try {
    if (args[0] == "resave") return vocanta::resave_command(rest, std::cerr);
    if (args[0] == "build") return vocanta::build_command(rest, std::cout, std::cerr);
    if (args[0] == "batch") return vocanta::batch_command(rest, std::cout, std::cerr);
    if (args[0] == "merge") return vocanta::merge_command(rest, std::cout, std::cerr);
    if (args[0] == "convert") return vocanta::convert_command(rest, std::cerr);
    if (args[0] == "info") return vocanta::info_command(rest, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "vocanta-cli: " << e.what() << "\n";
    return 1;
  }
  std::cerr << "vocanta-cli: unknown command '" << args[0] << "'\n";
  print_usage(std::cerr);
  return 2;
}
