#include "cli/build_command.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "cli/cli_build_host.h"
#include "cli/cli_document.h"
#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/build/shard_build.h"
#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/engine.h"
#include "core/synthesis/synthesis_settings.h"

namespace vocanta {
namespace {

struct BuildOptions {
  std::string document;
  std::string output;
  std::optional<uint32_t> seed;
  Engine engine = Engine::Fast;
  bool combinations = false;
  bool includeWithout = false;
  std::optional<std::vector<std::string>> only;
  std::optional<SeriesShard> shard;
  bool count = false;
};

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
  if (!try_parse_number(text, v) || v < 0 || v > 4294967295.0 || v != static_cast<uint32_t>(v))
    throw std::invalid_argument("--seed takes a whole number from 0 to 4294967295, not '" + text +
                                "'");
  return static_cast<uint32_t>(v);
}

Engine parse_engine(const std::string& name) {
  if (name == "fast") return Engine::Fast;
  if (name == "reference") return Engine::Reference;
  throw std::invalid_argument("--engine takes fast or reference, not '" + name + "'");
}

// Throws on a call whose words are off; batchOptions allows the batch command's flags.
BuildOptions parse_options(const std::vector<std::string>& args, bool batchOptions) {
  BuildOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--output") && hasValue) {
      o.output = args[++i];
    } else if (a == "--seed" && hasValue) {
      o.seed = parse_seed(args[++i]);
    } else if (a == "--engine" && hasValue) {
      o.engine = parse_engine(args[++i]);
    } else if (batchOptions && a == "--combinations") {
      o.combinations = true;
    } else if (batchOptions && a == "--include-without") {
      o.includeWithout = true;
    } else if (batchOptions && a == "--only" && hasValue) {
      o.only = split_names(args[++i]);
    } else if (batchOptions && a == "--shard" && hasValue) {
      o.shard = parse_shard(args[++i]);
      if (!o.shard)
        throw std::invalid_argument("--shard takes K/N with 1 ≤ K ≤ N, not '" + args[i] + "'");
    } else if (batchOptions && a == "--count") {
      o.count = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw std::invalid_argument("unknown or incomplete option '" + a + "'");
    } else if (o.document.empty()) {
      o.document = a;
    } else {
      throw std::invalid_argument("unexpected argument '" + a + "'");
    }
  }
  if (o.document.empty()) throw std::invalid_argument("no document given");
  if (o.shard && !o.count && o.output.empty())
    throw std::invalid_argument("--shard needs -o PART: every shard writes a part of its own");
  // Full paths, as the desktop program names them in the header and the label file.
  o.document = absolute_path(o.document);
  o.output =
      o.output.empty() ? change_extension_as_on_disk(o.document, ".smp") : absolute_path(o.output);
  return o;
}

BatchBuildChoice batch_choice(const Voice& voice, const BuildOptions& o) {
  BatchBuildChoice c;
  c.combinations = o.combinations;
  c.includeWithout = o.includeWithout;
  c.entries = sorted_batch_names(voice.batches);
  c.selected.assign(c.entries.size(), false);
  if (!o.only) return c;
  c.selectedOnly = true;
  for (const std::string& name : *o.only) {
    const int16_t id = voice.batches.find_batch_id(name);
    if (id == 0) throw VocantaError("The document has no batch named '" + name + "'");
    for (size_t i = 0; i < c.entries.size(); ++i)
      if (voice.batches.find_batch_id(c.entries[i]) == id) c.selected[i] = true;
  }
  return c;
}

// The options, or nothing when they are off (said on err with the usage).
std::optional<BuildOptions> options_or_usage(const std::vector<std::string>& args,
                                             bool batchOptions, std::ostream& err,
                                             const char* usage) {
  try {
    return parse_options(args, batchOptions);
  } catch (const std::invalid_argument& e) {
    err << "vocanta-cli: " << e.what() << "\n" << usage;
    return std::nullopt;
  }
}

// Loads the document and runs build(run, voice, options) with progress and Ctrl+C.
template <typename Build>
int run_build(const BuildOptions& o, std::ostream& out, std::ostream& err, Build build) {
  Voice voice;
  if (!load_cli_document(voice, o.document, err)) return 1;
  CliBuildHost host(err);
  BuildRun run(voice, host);
  host.attach(run);
  run.set_document_path(o.document);
  if (o.seed) run.set_fixed_seed(*o.seed);
  run.set_engine(o.engine);
  build(run, voice, o);
  if (!run.write_failure().empty()) err << "vocanta-cli: " << run.write_failure() << "\n";
  out << logged_text(run.outcome()) << "\n"
      << "Build took " << format_fixed3(run.seconds_taken()) << "s\n";
  return run.outcome() == BuildOutcome::Done ? 0 : 1;
}

// What tells this series from any other: the document's bytes and the choices.
std::string series_of(const BuildOptions& o, const BatchBuildChoice& c) {
  std::ifstream in(o.document, std::ios::binary);
  const std::string document{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string choices = std::string(o.combinations ? "combinations" : "separately") +
                        (o.includeWithout ? " with" : " without") +
                        (o.engine == Engine::Fast ? " fast" : " reference") +
                        " seed=" + (o.seed ? std::to_string(*o.seed) : "clock") + " only=";
  for (size_t i = 0; i < c.entries.size(); ++i)
    if (!c.selectedOnly || c.selected[i]) choices += c.entries[i] + "\n";
  return series_digest(document, choices);
}

void build_shard(BuildRun& run, Voice& voice, const BuildOptions& o) {
  // Clock seeds would give every shard a sequence of its own.
  if (voice.settings.randomize && !o.seed)
    throw VocantaError(
        "The document randomizes each voice: give its shards one --seed N, so that they "
        "draw from one random sequence");
  const BatchBuildChoice choice = batch_choice(voice, o);
  ShardBuild shard(run, voice, choice, *o.shard, series_of(o, choice));
  shard.build(o.output, o.document);
}

// "voices N" and "samples N" of the series, or of the shard when one is given.
int print_count(const BuildOptions& o, std::ostream& out, std::ostream& err) {
  Voice voice;
  if (!load_cli_document(voice, o.document, err)) return 1;
  CliBuildHost host(err);
  BuildRun run(voice, host);
  const BatchBuild batch(run, voice.batches, batch_choice(voice, o));
  const int64_t total = batch.checked_count();
  const int64_t voices = o.shard ? shard_voices(total, *o.shard).size() : total;
  const int64_t length = read_synthesis_settings(voice, kCliDecimalSeparator).samplesPerVoice;
  // A shard of a series too large to count could never be merged: refused as a whole.
  series_samples(total, length);
  const int64_t samples = series_samples(voices, length);
  out << "voices " << voices << "\n"
      << "samples " << samples << "\n";
  return 0;
}

}  // namespace

int build_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto o = options_or_usage(
      args, false, err,
      "usage: vocanta-cli build DOC.vta [-o OUT] [--seed N] [--engine fast|reference]\n");
  if (!o) return 2;
  return run_build(*o, out, err,
                   [](BuildRun& run, Voice&, const BuildOptions& o) { run.build_voice(o.output); });
}

int batch_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto o = options_or_usage(
      args, true, err,
      "usage: vocanta-cli batch DOC.vta [-o OUT] [--combinations]\n"
      "                         [--only NAME,...] [--include-without] [--seed N]\n"
      "                         [--engine fast|reference] [--shard K/N] [--count]\n");
  if (!o) return 2;
  if (o->count) return print_count(*o, out, err);
  return run_build(*o, out, err, [](BuildRun& run, Voice& voice, const BuildOptions& o) {
    if (o.shard) return build_shard(run, voice, o);
    BatchBuild batch(run, voice.batches, batch_choice(voice, o));
    batch.build(o.output);
  });
}

}  // namespace vocanta
