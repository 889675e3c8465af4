#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <ostream>
#include <stdexcept>

#include "cli/build_command.h"
#include "cli/command_words.h"
#include "cli/convert_command.h"
#include "cli/info_command.h"
#include "cli/merge_command.h"
#include "cli/resave_command.h"
#include "core/support/number_format.h"

namespace vocanta {
namespace {

// Words that are off: said in one line, exit status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The work of a checked call.
using Work = std::function<int(std::ostream& out, std::ostream& err)>;

void require(bool condition, const std::string& what) {
  if (!condition) throw UsageError(what);
}

// Whether the command has the option and the call gave it.
bool given(const CLI::App& command, const std::string& name) {
  const CLI::Option* option = command.get_option_no_throw(name);
  return option != nullptr && option->count() > 0;
}

std::vector<std::string> split_names(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    names.push_back(list.substr(start, comma - start));
  names.push_back(list.substr(start));
  return names;
}

uint32_t parse_seed(const std::string& text) {
  double v = 0;
  require(try_parse_number(text, v) && v >= 0 && v <= 4294967295.0 && v == static_cast<uint32_t>(v),
          "--seed takes a whole number from 0 to 4294967295, not '" + text + "'");
  return static_cast<uint32_t>(v);
}

int parse_jobs(const std::string& text) {
  double v = 0;
  require(try_parse_number(text, v) && v >= 1 && v <= 256 && v == static_cast<int>(v),
          "--jobs takes a whole number from 1 to 256, not '" + text + "'");
  return static_cast<int>(v);
}

Engine parse_engine(const std::string& name) {
  if (name == "fast") return Engine::Fast;
  if (name == "reference") return Engine::Reference;
  throw UsageError("--engine takes fast or reference, not '" + name + "'");
}

std::optional<AudioFormat> parse_format(const std::string& name) {
  if (name == "smp") return std::nullopt;
  if (name == "wav") return AudioFormat::Wav;
  if (name == "flac") return AudioFormat::Flac;
  if (name == "aiff") return AudioFormat::Aiff;
  throw UsageError("--format takes wav, flac, aiff or smp, not '" + name + "'");
}

LevelTarget parse_level(const std::string& text) {
  const std::optional<LevelTarget> target = parse_level_target(text);
  require(target.has_value(),
          "--normalize takes peak=DB or rms=DB (dB of full scale, such as peak=-1), not '" + text +
              "'");
  return *target;
}

// --split, --format and --textgrid, which batch alone has.
void stimulus_options(const CLI::App& command, const CommandWords& w, BuildOptions& o) {
  o.textgrid = w.textgrid;
  if (given(command, "--split")) {
    require(!w.split.empty(), "--split needs a folder");
    require(!given(command, "--output"), "--split DIR takes the place of -o OUT");
    require(!o.textgrid, "--textgrid needs the series in one file, not --split");
    o.split = w.split;
    o.format = given(command, "--format") ? parse_format(w.format) : AudioFormat::Wav;
    return;
  }
  require(!given(command, "--format"),
          "--format goes with --split; one file takes its format from -o OUT's extension");
  require(!o.textgrid || !o.shard || o.count,
          "--textgrid needs the whole series in one file, not a --shard part");
}

BuildOptions build_options(const CLI::App& command, const CommandWords& w) {
  BuildOptions o;
  if (given(command, "--seed")) o.seed = parse_seed(w.seed);
  if (given(command, "--jobs")) o.jobs = parse_jobs(w.jobs);
  o.engine = parse_engine(w.engine);
  o.combinations = w.combinations;
  o.includeWithout = w.includeWithout;
  o.count = w.count;
  if (given(command, "--normalize")) o.level = parse_level(w.normalize);
  if (given(command, "--only")) o.only = split_names(w.only);
  if (given(command, "--shard")) {
    o.shard = parse_shard(w.shard);
    require(o.shard.has_value(), "--shard takes K/N with 1 ≤ K ≤ N, not '" + w.shard + "'");
  }
  o.document = w.document;
  require(!o.document.empty(), "no document given");
  o.output = w.output;
  stimulus_options(command, w, o);
  require(!o.shard || o.count || !o.output.empty() || !o.split.empty(),
          "--shard needs -o PART: every shard writes a part of its own");
  return o;
}

// The named command's work, once its words are found sound.
Work checked_work(const CLI::App& command, const CommandWords& w) {
  const std::string& name = command.get_name();
  if (name == "build" || name == "batch") {
    const BuildOptions o = build_options(command, w);
    if (name == "build") return [o](auto& out, auto& err) { return build_command(o, out, err); };
    return [o](auto& out, auto& err) { return batch_command(o, out, err); };
  }
  if (name == "merge") {
    require(!w.parts.empty(), "no part given");
    require(!w.output.empty(), "-o OUT is needed: the file the parts are joined into");
    return [w](auto& out, auto& err) { return merge_command(w.parts, w.output, out, err); };
  }
  if (name == "info") {
    require(given(command, "FILE"), "no file given");
    return [w](auto& out, auto& err) { return info_command(w.in, w.json, out, err); };
  }
  const bool both = given(command, name == "resave" ? "IN.vta" : "IN.smp") &&
                    given(command, name == "resave" ? "OUT.vta" : "OUT");
  if (name == "resave") {
    require(both, "IN.vta and OUT.vta are needed");
    return [w](auto&, auto& err) { return resave_command(w.in, w.out, err); };
  }
  require(both, "IN.smp and OUT (.wav, .flac, .aif or .aiff) are needed");
  return [w](auto&, auto& err) { return convert_command(w.in, w.out, err); };
}

bool is_command(const CLI::App& app, const std::string& word) {
  const auto named = [&word](const CLI::App* command) { return command->get_name() == word; };
  return !app.get_subcommands(named).empty();
}

// The command the first word names, or "" for the overall options.
std::string command_named(const CLI::App& app, const std::string& first) {
  if (first == "-h" || first == "--help" || first == "--version") return "";
  require(first.size() < 2 || first[0] != '-', "unknown option '" + first + "'");
  require(is_command(app, first), "unknown command '" + first + "'");
  return first;
}

// Words the commands have no place for: options they do not know, arguments beyond theirs.
// The parser keeps the first "--" among them, which marks the words after it as arguments.
void refuse_extras(const CLI::App& app) {
  bool afterMark = false;
  for (const std::string& word : app.remaining(true)) {
    if (word == "--" && !afterMark) {
      afterMark = true;
      continue;
    }
    require(afterMark || word.size() < 2 || word[0] != '-', "unknown option '" + word + "'");
    throw UsageError("unexpected argument '" + word + "'");
  }
}

// "--seed: 1 required N missing" says that a value is missing after the option.
std::string message_of(const CLI::ParseError& e) {
  const std::string what = e.what();
  const size_t colon = what.find(':');
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && colon != std::string::npos)
    return what.substr(0, colon) + " needs a value";
  return what;
}

int usage_error(std::ostream& err, const std::string& command, const std::string& what) {
  const std::string caller = command.empty() ? "vocanta-cli" : "vocanta-cli " + command;
  err << caller << ": " << what << " (see '" << caller << " --help')\n";
  return 2;
}

// "help COMMAND" as the command's --help; "help" followed by anything else, as --help
// alone always was.
std::vector<std::string> with_help_spelled_out(const CLI::App& app,
                                               std::vector<std::string> words) {
  if (words.front() != "help") return words;
  if (words.size() == 1 || !is_command(app, words[1])) return {"--help"};
  return {words[1], "--help"};
}

}  // namespace

int run_command_line(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << overview();
    return 2;
  }
  CLI::App app("", "vocanta-cli");
  CommandWords w;
  define_commands(app, w, args);
  const std::vector<std::string> words = with_help_spelled_out(app, args);
  std::string command;
  Work work;
  try {
    command = command_named(app, words.front());
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    app.parse(reversed);
    refuse_extras(app);
    work = checked_work(*app.get_subcommands().front(), w);
  } catch (const CLI::Success& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    return usage_error(err, command, message_of(e));
  } catch (const UsageError& e) {
    return usage_error(err, command, e.what());
  }
  return work(out, err);
}

}  // namespace vocanta
