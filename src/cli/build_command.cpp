#include "cli/build_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "cli/cli_build_host.h"
#include "cli/cli_document.h"
#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/batch_build.h"
#include "core/synthesis/build_run.h"
#include "core/synthesis/engine.h"

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
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw std::invalid_argument("unknown or incomplete option '" + a + "'");
    } else if (o.document.empty()) {
      o.document = a;
    } else {
      throw std::invalid_argument("unexpected argument '" + a + "'");
    }
  }
  if (o.document.empty()) throw std::invalid_argument("no document given");
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

// Loads the document and runs build(run, voice, options) with progress and Ctrl+C.
template <typename Build>
int run_build(const std::vector<std::string>& args, bool batchOptions, std::ostream& out,
              std::ostream& err, const char* usage, Build build) {
  BuildOptions o;
  try {
    o = parse_options(args, batchOptions);
  } catch (const std::invalid_argument& e) {
    err << "vocanta-cli: " << e.what() << "\n" << usage;
    return 2;
  }
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
  out << run.logged_outcome() << "\n"
      << "Build took " << format_fixed3(run.seconds_taken()) << "s\n";
  return run.logged_outcome() == "Done" ? 0 : 1;
}

}  // namespace

int build_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return run_build(
      args, false, out, err,
      "usage: vocanta-cli build DOC.vta [-o OUT] [--seed N] [--engine fast|reference]\n",
      [](BuildRun& run, Voice&, const BuildOptions& o) { run.build_voice(o.output); });
}

int batch_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return run_build(args, true, out, err,
                   "usage: vocanta-cli batch DOC.vta [-o OUT] [--combinations]\n"
                   "                         [--only NAME,...] [--include-without] [--seed N]\n"
                   "                         [--engine fast|reference]\n",
                   [](BuildRun& run, Voice& voice, const BuildOptions& o) {
                     BatchBuild batch(run, voice.batches, batch_choice(voice, o));
                     batch.build(o.output);
                   });
}

}  // namespace vocanta
