#include "cli/command_words.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <string>

#include "core/support/program_version.h"

namespace vocanta {
namespace {

// Help texts are written as one paragraph and broken here to fit 80 columns beside the
// option names.
constexpr size_t kNameColumns = 28;

std::string wrapped(const std::string& text, size_t width = 80 - kNameColumns) {
  std::string lines;
  size_t lineLength = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const size_t length = end - start;
    if (lineLength > 0 && lineLength + 1 + length > width) {
      lines += '\n';
      lineLength = 0;
    } else if (lineLength > 0) {
      lines += ' ';
      ++lineLength;
    }
    lines += text.substr(start, length);
    lineLength += length;
    start = end + 1;
  }
  return lines;
}

// Positionals without brackets: the checks after the parse tell what is missing.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_usage(const CLI::Option* option) const override {
    std::string usage = CLI::Formatter::make_option_usage(option);
    if (usage.size() > 1 && usage.front() == '[') usage = usage.substr(1, usage.size() - 2);
    return usage;
  }
  // The description as a paragraph of its own, broken to the screen's width.
  std::string make_description(const CLI::App* app) const override {
    return wrapped(app->get_description(), 80) + "\n\n";
  }
};

constexpr const char* kValues =
    "An option's value follows it as the next word or after '=' (--seed 7, --seed=7,\n"
    "-o OUT, -oOUT); '--' ends the options, so that a name beginning with '-' can follow.";
constexpr const char* kDashes =
    "'--' ends the options, so that a name beginning with '-' can follow.";

// The command, and whether the call names it: then its options are wanted.
struct Command {
  CLI::App* app;
  bool named;
};

Command add_command(CLI::App& app, const std::string& name, const std::string& description,
                    const char* footer, const std::vector<std::string>& call) {
  CLI::App* command = app.add_subcommand(name, description);
  // Unknown words are refused after the parse, in the program's own words.
  command->allow_extras();
  command->footer(footer);
  return {command, std::find(call.begin(), call.end(), name) != call.end()};
}

void add_output(CLI::App& command, std::string& output, const std::string& text) {
  command.add_option("-o,--output", output, wrapped(text))->type_name("OUT");
}

void add_build_options(CLI::App& command, CommandWords& w) {
  command.add_option("DOC.vta", w.document, "the document")->type_name("");
  add_output(command, w.output,
             "the file to write (default: the document's name with .smp); an OUT ending in "
             ".wav, .flac, .aif or .aiff gets that audio file instead");
  command
      .add_option("--seed", w.seed,
                  wrapped("the seed of the random sequence of a document that randomizes "
                          "each voice, a whole number from 0 to 4294967295 (default: "
                          "from the clock)"))
      ->type_name("N");
  command
      .add_option("--engine", w.engine,
                  wrapped("the engine (default fast); the reference engine computes every "
                          "term as written, to check the fast one against"))
      ->type_name("fast|reference");
  command
      .add_option("--normalize", w.normalize,
                  wrapped("bring each voice to a peak or RMS level in dB of full scale "
                          "(a full-scale sine is -3.01 dB RMS) before its samples are "
                          "rounded; a voice that clips is named on stderr"))
      ->type_name("peak=DB|rms=DB");
  command
      .add_option("--jobs", w.jobs,
                  wrapped("render on N threads, the voices of a series side by side, with "
                          "the same bytes as on one (default: VOCANTA_THREADS, else the "
                          "machine's cores)"))
      ->type_name("N");
}

void add_build(CLI::App& app, CommandWords& w, const std::vector<std::string>& call) {
  const Command build =
      add_command(app, "build",
                  "Renders the voice of a document into a sample file, or into an audio file "
                  "when OUT ends in .wav, .flac, .aif or .aiff.",
                  kValues, call);
  if (build.named) add_build_options(*build.app, w);
}

void add_batch(CLI::App& app, CommandWords& w, const std::vector<std::string>& call) {
  const Command command =
      add_command(app, "batch",
                  "Renders one voice per batch step (or per combination of steps) into one file "
                  "and a .CSV label file beside it that says where each voice begins; a WAV also "
                  "marks each voice's start with a cue point. NAME.stimuli.csv beside it lists "
                  "the voices with their batch steps and the values of the batched points; "
                  "--split writes each voice into a file of its own instead.",
                  kValues, call);
  if (!command.named) return;
  CLI::App* batch = command.app;
  add_build_options(*batch, w);
  batch->add_flag("--combinations", w.combinations,
                  wrapped("one voice per combination of the batches' steps, not one per step"));
  batch->add_option("--only", w.only, wrapped("only the named batches, separated by commas"))
      ->type_name("NAME,...");
  batch->add_flag("--include-without", w.includeWithout,
                  wrapped("also the voice without any batch, first"));
  batch
      ->add_option("--shard", w.shard,
                   wrapped("only the K-th of N equal slices of the series, into a part for "
                           "merge (-o required; a randomizing document needs --seed)"))
      ->type_name("K/N");
  batch
      ->add_option("--split", w.split,
                   wrapped("each voice into a file of its own in DIR (made when missing), "
                           "named DOC_INDEX_LABEL, with DOC.stimuli.csv beside them; not with -o"))
      ->type_name("DIR");
  batch
      ->add_option("--format", w.format,
                   wrapped("with --split: the files' format (default wav; smp is the sample "
                           "file)"))
      ->type_name("wav|flac|aiff|smp");
  batch->add_flag("--textgrid", w.textgrid,
                  wrapped("also NAME.TextGrid beside the one file: an interval per voice, "
                          "named by its label"));
  batch->add_flag("--count", w.count,
                  wrapped("print the series' voices and samples (with --shard, those of the "
                          "shard), build nothing"));
}

void add_merge(CLI::App& app, CommandWords& w, const std::vector<std::string>& call) {
  const Command command =
      add_command(app, "merge",
                  "Joins the parts of one series, in any order, into the file and label file one "
                  "batch build would write.",
                  kValues, call);
  if (!command.named) return;
  CLI::App* merge = command.app;
  merge->add_option("PART.smp", w.parts, "the parts that batch --shard wrote")->type_name("");
  add_output(*merge, w.output,
             "the file to write (required): a sample file, or an audio file when it ends in "
             ".wav, .flac, .aif or .aiff");
}

void add_file_commands(CLI::App& app, CommandWords& w, const std::vector<std::string>& call) {
  const Command resave = add_command(
      app, "resave",
      "Reads a document and writes it anew in the current format; OUT must not exist yet.", kDashes,
      call);
  if (resave.named) {
    resave.app->add_option("IN.vta", w.in, "the document to read")->type_name("");
    resave.app->add_option("OUT.vta", w.out, "the document to write")->type_name("");
  }
  const Command convert = add_command(
      app, "convert", "Writes the samples of a sample file as an audio file.", kDashes, call);
  if (convert.named) {
    convert.app->add_option("IN.smp", w.in, "the sample file")->type_name("");
    convert.app->add_option("OUT", w.out, "the audio file: OUT.wav, OUT.flac, OUT.aif or OUT.aiff")
        ->type_name("");
  }
  const Command command = add_command(
      app, "info",
      "Prints what a sample file or an audio file (WAV, FLAC, AIFF) holds: a sample file's "
      "header items or an audio file's format, and the length.",
      kDashes, call);
  if (!command.named) return;
  CLI::App* info = command.app;
  info->add_option("FILE", w.in, "the sample file (.smp) or audio file")->type_name("");
  info->add_flag("--json", w.json,
                 wrapped("print one JSON object instead: format, sampling frequency, samples, "
                         "seconds, the header items, and the voices of a series from the "
                         "label file beside FILE"));
}

}  // namespace

void define_commands(CLI::App& app, CommandWords& w, const std::vector<std::string>& call) {
  auto formatter = std::make_shared<HelpFormatter>();
  formatter->column_width(kNameColumns);
  app.formatter(formatter);
  app.set_help_flag("-h,--help", "print this help and exit");
  app.set_version_flag("--version", std::string("vocanta-cli ") + kProgramRevision,
                       "print the version and exit");
  // A later value replaces an earlier one, as it always did.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.require_subcommand(1);
  app.allow_extras();
  add_build(app, w, call);
  add_batch(app, w, call);
  add_merge(app, w, call);
  add_file_commands(app, w, call);
  // The commands keep the formatter they were given; the overall help is written out.
  app.formatter_fn([](const CLI::App*, std::string, CLI::AppFormatMode) { return overview(); });
}

std::string overview() {
  return "usage: vocanta-cli COMMAND [OPTIONS] ARGUMENTS...\n"
         "\n"
         "commands:\n"
         "  build DOC.vta [-o OUT] [--seed N] [--engine fast|reference]\n"
         "                [--normalize peak=DB|rms=DB] [--jobs N]\n"
         "                          render the voice into a sample file (default: the\n"
         "                          document's name with .smp); an OUT ending in .wav,\n"
         "                          .flac, .aif or .aiff gets that audio file instead\n"
         "  batch DOC.vta [-o OUT] [--combinations] [--only NAME,...]\n"
         "                [--include-without] [--seed N] [--engine fast|reference]\n"
         "                          render one voice per batch step (or per combination\n"
         "                          of steps) into one file and a .CSV label file; a WAV\n"
         "                          also marks each voice's start with a cue point; a\n"
         "                          .stimuli.csv table lists the voices and their values\n"
         "    --split DIR [--format wav|flac|aiff|smp]\n"
         "                          each voice into a file of its own in DIR instead\n"
         "    --textgrid            also a TextGrid of the voices beside the one file\n"
         "    --shard K/N           only the K-th of N equal slices of the series, into a\n"
         "                          part for merge (-o required; a randomizing document\n"
         "                          needs --seed)\n"
         "    --count               print the series' voices and samples, build nothing\n"
         "  --normalize peak=DB|rms=DB  with build and batch: bring each voice to that\n"
         "                          level in dB of full scale before it is rounded\n"
         "  merge PART... -o OUT    join the parts of one series, in any order, into the\n"
         "                          file and label file one batch build would write\n"
         "  --jobs N                with build and batch: render on N threads, a series'\n"
         "                          voices side by side (default: the machine's cores)\n"
         "  --engine fast|reference  with build and batch: the engine (default fast); the\n"
         "                          reference engine computes every term as written, to\n"
         "                          check the fast one against\n"
         "  resave IN.vta OUT.vta   read a document and write it anew in the current\n"
         "                          format (OUT must not exist yet)\n"
         "  convert IN.smp OUT.wav|OUT.flac|OUT.aiff\n"
         "                          write the samples of a sample file as an audio file\n"
         "  info FILE [--json]      print a sample or audio file's header items or format\n"
         "                          and its length; --json: one JSON object, with the\n"
         "                          voices of a series from the label file beside it\n"
         "\n"
         "options:\n"
         "  -h, --help              print this help and exit\n"
         "  --version               print the version and exit\n"
         "\n"
         "'vocanta-cli COMMAND --help' (or 'vocanta-cli help COMMAND') explains a command's\n"
         "options. An option's value follows it as the next word or after '=' (--seed 7,\n"
         "--seed=7, -o OUT, -oOUT); '--' ends the options, so that a name beginning with '-'\n"
         "can follow. Exit status: 0 done, 1 the work failed, 2 a wrong call.\n";
}

}  // namespace vocanta
