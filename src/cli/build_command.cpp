#include "cli/build_command.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/cli_build_host.h"
#include "cli/cli_document.h"
#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/build/shard_build.h"
#include "core/build/split_build.h"
#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/engine.h"
#include "core/synthesis/synthesis_settings.h"

namespace vocanta {
namespace {

// Full paths, as the desktop program names them in the header and the label file.
BuildOptions with_full_paths(BuildOptions o) {
  o.document = absolute_path(o.document);
  o.output =
      o.output.empty() ? change_extension_as_on_disk(o.document, ".smp") : absolute_path(o.output);
  if (!o.split.empty()) o.split = absolute_path(o.split);
  return o;
}

BatchBuildChoice batch_choice(const Voice& voice, const BuildOptions& o) {
  return scripted_batch_choice(voice.batches, o.combinations, o.includeWithout,
                               o.only ? &*o.only : nullptr);
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
  if (o.jobs) run.set_jobs(*o.jobs);
  run.set_engine(o.engine);
  run.set_level_target(o.level);
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
                        " seed=" + (o.seed ? std::to_string(*o.seed) : "clock") +
                        (o.level ? " normalize=" + level_target_text(*o.level) : "") + " only=";
  for (size_t i = 0; i < c.entries.size(); ++i)
    if (!c.selectedOnly || c.selected[i]) choices += c.entries[i] + "\n";
  return series_digest(document, choices);
}

void check_shard_seed(const Voice& voice, const BuildOptions& o) {
  // Clock seeds would give every shard a sequence of its own.
  if (voice.settings.randomize && !o.seed)
    throw VocantaError(
        "The document randomizes each voice: give its shards one --seed N, so that they "
        "draw from one random sequence");
}

void build_shard(BuildRun& run, Voice& voice, const BuildOptions& o) {
  check_shard_seed(voice, o);
  const BatchBuildChoice choice = batch_choice(voice, o);
  ShardBuild shard(run, voice, choice, *o.shard, series_of(o, choice));
  shard.build(o.output, o.document);
}

// Each voice into a file of its own, or with a shard each of the shard's voices.
void build_split(BuildRun& run, Voice& voice, const BuildOptions& o) {
  if (o.shard) check_shard_seed(voice, o);
  const BatchBuildChoice choice = batch_choice(voice, o);
  const std::string series = o.shard ? series_of(o, choice) : "";
  StimulusBuild(run, voice, choice).build_split(o.split, o.format, o.document, o.shard, series);
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

int build_command(BuildOptions options, std::ostream& out, std::ostream& err) {
  return run_build(with_full_paths(std::move(options)), out, err,
                   [](BuildRun& run, Voice&, const BuildOptions& o) { run.build_voice(o.output); });
}

int batch_command(BuildOptions options, std::ostream& out, std::ostream& err) {
  const BuildOptions o = with_full_paths(std::move(options));
  if (o.count) return print_count(o, out, err);
  return run_build(o, out, err, [](BuildRun& run, Voice& voice, const BuildOptions& o) {
    if (!o.split.empty()) return build_split(run, voice, o);
    if (o.shard) return build_shard(run, voice, o);
    StimulusBuild(run, voice, batch_choice(voice, o)).build_one_file(o.output, o.textgrid);
  });
}

}  // namespace vocanta
