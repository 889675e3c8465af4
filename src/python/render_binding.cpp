#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "python/build_sink.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

// A batch build has no file to name: the label file checks look at this name only.
constexpr const char* kMemoryBuild = "(memory)";

struct BuildOptions {
  Engine engine = Engine::Fast;
  std::optional<uint32_t> seed;
};

BuildOptions options(const std::string& engine, std::optional<uint32_t> seed) {
  if (engine != "fast" && engine != "reference")
    raise_error("The engine is \"fast\" or \"reference\", not \"" + engine + "\"");
  return {engine == "fast" ? Engine::Fast : Engine::Reference, seed};
}

// A voice of the series once rendered: its label, the steps of its batches and samples.
struct BatchVoice {
  std::string label;
  std::map<std::string, int> steps;
  py::array_t<int16_t> samples;
};

py::array_t<int16_t> to_array(const std::vector<int16_t>& samples, int64_t start, int64_t count) {
  py::array_t<int16_t> out(static_cast<py::ssize_t>(count));
  if (count > 0)
    std::memcpy(out.mutable_data(), samples.data() + start, static_cast<size_t>(count) * 2);
  return out;
}

// Runs build on a BuildRun of the voice without the interpreter's lock, then raises
// what broke it: Ctrl+C as KeyboardInterrupt, a destination's failure as vocanta.Error.
template <typename Build>
void run_build(VoiceHandle& h, const BuildOptions& o, Build build) {
  ScriptBuildHost host;
  BuildOutcome outcome = BuildOutcome::None;
  std::string failure;
  {
    py::gil_scoped_release unlocked;
    BuildRun run(h.voice, host);
    host.attach(run);
    run.set_document_path(h.documentPath);
    if (o.seed) run.set_fixed_seed(*o.seed);
    run.set_engine(o.engine);
    build(run);
    outcome = run.outcome();
    failure = run.write_failure();
  }
  host.raise_if_interrupted();
  if (outcome == BuildOutcome::Break) {
    PyErr_SetNone(PyExc_KeyboardInterrupt);
    throw py::error_already_set();
  }
  if (!failure.empty()) raise_error(failure);
}

py::array_t<int16_t> render(VoiceHandle& h, const std::string& engine,
                            std::optional<uint32_t> seed) {
  MemorySink sink;
  run_build(h, options(engine, seed),
            [&](BuildRun& run) { run.run(sink, kMemoryBuild, [&] { run.render_voice(""); }); });
  return to_array(sink.samples, 0, static_cast<int64_t>(sink.samples.size()));
}

// The steps of the batches a voice was built with: those that were applied.
std::map<std::string, int> applied_steps(const BatchList& states) {
  std::map<std::string, int> steps;
  for (const tbatchitem* b = states.head(); b; b = b->next)
    if (b->active && b->step >= 0) steps[b->name] = b->step;
  return steps;
}

py::list render_batch(VoiceHandle& h, bool combinations,
                      const std::optional<std::vector<std::string>>& only, bool includeWithout,
                      const std::string& engine, std::optional<uint32_t> seed) {
  const BatchBuildChoice choice =
      scripted_batch_choice(h.voice.batches, combinations, includeWithout, only ? &*only : nullptr);
  MemorySink sink;
  std::vector<std::map<std::string, int>> steps;
  run_build(h, options(engine, seed), [&](BuildRun& run) {
    BatchBuild batch(run, h.voice.batches, choice);
    batch.set_recorder([&](const BuiltVoice& v) { steps.push_back(applied_steps(v.states)); });
    batch.build_into(sink, kMemoryBuild);
  });
  py::list voices;
  for (size_t i = 0; i < sink.voices.size(); ++i) {
    const MemorySink::VoiceSpan& v = sink.voices[i];
    voices.append(BatchVoice{v.label, i < steps.size() ? steps[i] : std::map<std::string, int>{},
                             to_array(sink.samples, v.start, v.count)});
  }
  return voices;
}

void build(VoiceHandle& h, const py::object& path, const std::string& engine,
           std::optional<uint32_t> seed) {
  const std::string full = absolute_path(path_text(path));
  run_build(h, options(engine, seed), [&](BuildRun& run) { run.build_voice(full); });
}

}  // namespace

void bind_render(py::module_& m, py::class_<VoiceHandle, VoicePtr>& voice) {
  py::class_<BatchVoice>(m, "BatchVoice", "A voice of a batch build.")
      .def_readonly("label", &BatchVoice::label, "Its label, as the label file gives it.")
      .def_readonly("steps", &BatchVoice::steps, "The step of each batch it was built with.")
      .def_readonly("samples", &BatchVoice::samples, "Its samples, int16.")
      .def("__repr__", [](const BatchVoice& v) { return "<vocanta.BatchVoice " + v.label + ">"; });
  voice.def("render", &render, py::arg("engine") = "fast", py::arg("seed") = py::none(),
            R"(Builds the voice into memory: the int16 samples vocanta-cli build writes, as a
NumPy array. Every batch is off. A randomizing voice draws from seed, or from the clock
when none is given. Ctrl+C breaks the build and raises KeyboardInterrupt.)");
  voice.def("render_batch", &render_batch, py::arg("combinations") = false,
            py::arg("only") = py::none(), py::arg("include_without") = false,
            py::arg("engine") = "fast", py::arg("seed") = py::none(),
            R"(Builds the batch series into memory, as vocanta-cli batch does: each batch
separately or all combinations, only the named batches, with or without the voice
without batch. Returns the voices in series order as BatchVoice.)");
  voice.def("build", &build, py::arg("path"), py::arg("engine") = "fast",
            py::arg("seed") = py::none(),
            R"(Builds the voice into a file as vocanta-cli build does: a WAV, FLAC or AIFF
file by its extension, otherwise a sample file.)");
}

}  // namespace vocanta::python
