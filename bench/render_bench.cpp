// Seconds of audio rendered per second of compute for three reference voices.
// Run: cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVOCANTA_BENCH=ON
//      cmake --build build-bench --target vocanta_bench && build-bench/bench/vocanta_bench
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/build/build_run.h"
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

// One of the documents the engines are compared on, rendered into memory by one engine.
void engine(benchmark::State& state, const char* document, vocanta::Engine which) {
  Voice voice;
  vocanta::reset_to_new(voice);
  std::ostringstream quiet;
  vocanta::UnattendedPrompter prompter(quiet, "vocanta_bench", vocanta::Answer::No);
  vocanta::read_document(voice, '.', std::string(VOCANTA_BENCH_DOCUMENTS) + "/" + document + ".vta",
                         vocanta::ReadSelection{}, prompter);
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

BENCHMARK_CAPTURE(render, defaults_16k, defaults)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, vowel_44k_formants_vibrato_flutter, sung_vowel)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render, dense_44k_f0_80_tweenies_response_phases, dense_voice)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(render_blocks, vowel_44k_into_memory, sung_vowel)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
