// Seconds of audio rendered per second of compute: reference voices, the documents the
// engines are compared on, and a batch series on one and two threads.
// Run: cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVOCANTA_BENCH=ON
//      cmake --build build-bench --target vocanta_bench && build-bench/bench/vocanta_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/build/split_build.h"
#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/unattended_prompter.h"
#include "core/synthesis/voice_renderer.h"

namespace {

using vocanta::Voice;
using vocanta::param::kF0;

void point(Voice& v, int p, int16_t curve, double x, double y) {
  v.add_point(p, "", curve, x, y, y, 0);
}

void defaults(Voice& v) {
  vocanta::reset_to_new(v);
}

void sung_vowel(Voice& v) {
  using namespace vocanta::param;
  vocanta::reset_to_new(v);
  v.settings.samplingFrequency = std::string("44100");
  point(v, kF0, 1, 0, 220);
  point(v, kF0, 1, 1, 247);
  point(v, kVibratoAmplitude, 1, 0, 3);
  point(v, kVibratoFrequency, 1, 0, 5.5);
  point(v, kFlutterAmplitude, 1, 0, 1);
  const double formants[] = {650, 1080, 2650, 2900, 3250};
  for (int i = 0; i < 5; ++i) point(v, kFormants, static_cast<int16_t>(i + 1), 0, formants[i]);
  point(v, kFormantBandwidth, 1, 0, 60);
  point(v, kFormantBandwidth, 1, 4000, 150);
}

void dense_voice(Voice& v) {
  using namespace vocanta::param;
  vocanta::reset_to_new(v);
  v.settings.samplingFrequency = std::string("44100");
  v.settings.tweenies = std::string("3");
  point(v, kF0, 1, 0, 80);
  point(v, kSubharmonicLevel, 1, 0, -20);
  point(v, kFrequencyResponse, 1, 0, 0);
  point(v, kFrequencyResponse, 1, 3000, -12);
  point(v, kFrequencyResponse, 1, 8000, -30);
  point(v, kPhaseRandomness, 1, 0, 50);
  point(v, kSubPhaseRandomness, 1, 0, 50);
}

void render(benchmark::State& state, const std::function<void(Voice&)>& make) {
  Voice voice;
  make(voice);
  vocanta::QuietBuildHost host;
  vocanta::BuildRun run(voice, host);
  const auto path = (std::filesystem::temp_directory_path() / "vocanta-bench.smp").string();
  const double seconds = vocanta::parse_number(voice.settings.duration);
  for (auto _ : state) run.build_voice(path);
  std::remove(path.c_str());
  state.counters["audio_s_per_s"] =
      benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
}

// The renderer alone, block by block into memory: a build without the disk and the host.
void render_blocks(benchmark::State& state, const std::function<void(Voice&)>& make) {
  Voice voice;
  make(voice);
  const vocanta::SynthesisSettings settings = vocanta::read_synthesis_settings(voice, '.');
  std::array<int16_t, 1024> block{};
  for (auto _ : state) {
    vocanta::VoiceRenderer renderer(voice, settings);
    renderer.start();
    while (renderer.samples_left() > 0) renderer.render(block.data(), block.size());
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["audio_s_per_s"] =
      benchmark::Counter(settings.duration, benchmark::Counter::kIsIterationInvariantRate);
}

void load(Voice& voice, const char* document) {
  vocanta::reset_to_new(voice);
  std::ostringstream quiet;
  vocanta::UnattendedPrompter prompter(quiet, "vocanta_bench", vocanta::Answer::No);
  vocanta::read_document(voice, '.', std::string(VOCANTA_BENCH_DOCUMENTS) + "/" + document + ".vta",
                         vocanta::ReadSelection{}, prompter);
}

// One of the documents the engines are compared on, rendered into memory by one engine.
void engine(benchmark::State& state, const char* document, vocanta::Engine which) {
  Voice voice;
  load(voice, document);
  const vocanta::SynthesisSettings settings = vocanta::read_synthesis_settings(voice, '.');
  std::vector<int16_t> block(1024);
  for (auto _ : state) {
    vocanta::VoiceRenderer renderer(voice, settings, nullptr, which);
    renderer.start();
    while (renderer.samples_left() > 0) renderer.render(block.data(), block.size());
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["audio_s_per_s"] =
      benchmark::Counter(settings.duration, benchmark::Counter::kIsIterationInvariantRate);
}

// Every file of a folder, by name, with its bytes.
std::map<std::string, std::string> files_in(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

// The batch series of a document built as "vocanta-cli batch" builds it (the sample
// file, its label file and the table of the voices), on jobs threads. The counter
// "identical" says whether one thread then writes the same bytes: a figure for files
// that differ would count for nothing.
void series(benchmark::State& state, const char* document, int jobs) {
  Voice voice;
  load(voice, document);
  vocanta::QuietBuildHost host;
  vocanta::BuildRun run(voice, host);
  const vocanta::BatchBuildChoice choice =
      vocanta::scripted_batch_choice(voice.batches, false, false, nullptr);
  const auto folder = std::filesystem::temp_directory_path() /
                      ("vocanta-bench-series-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "series.smp").string();
  const auto build = [&](int threads) {
    run.set_jobs(threads);
    vocanta::StimulusBuild(run, voice, choice).build_one_file(path, false);
  };
  const int64_t voices = vocanta::BatchBuild(run, voice.batches, choice).count();
  for (auto _ : state) build(jobs);
  const auto built = files_in(folder);
  if (run.outcome() != vocanta::BuildOutcome::Done) state.SkipWithError("the series did not build");
  build(1);
  state.counters["identical"] = files_in(folder) == built ? 1 : 0;
  std::filesystem::remove_all(folder);
  state.counters["voices"] = static_cast<double>(voices);
  state.counters["audio_s_per_s"] = benchmark::Counter(
      static_cast<double>(voices) * vocanta::read_synthesis_settings(voice, '.').duration,
      benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

// The reference engine against the fast one: bench/engine_table.sh prints them side by side.
#define ENGINES(document)                                                                \
  BENCHMARK_CAPTURE(engine, document / reference, #document, vocanta::Engine::Reference) \
      ->Unit(benchmark::kMillisecond);                                                   \
  BENCHMARK_CAPTURE(engine, document / fast, #document, vocanta::Engine::Fast)           \
      ->Unit(benchmark::kMillisecond)
ENGINES(vowel16k);
ENGINES(vowel44k);
ENGINES(expressive44k);
ENGINES(dense44k);

// 200 voices of a continuum on one and on two threads: bench/series_scaling.sh prints them.
BENCHMARK_CAPTURE(series, jobs1, "series200", 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(series, jobs2, "series200", 2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(render, defaults_16k, defaults)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, vowel_44k_formants_vibrato_flutter, sung_vowel)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, dense_44k_f0_80_tweenies_response_phases, dense_voice)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(render_blocks, vowel_44k_into_memory, sung_vowel)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
