#include <pybind11/pybind11.h>

#include "core/support/vocanta_error.h"
#include "python/voice_handle.h"

namespace vocanta::python {

void raise_error(const std::string& message) {
  throw VocantaError(message);
}

std::string path_text(const py::object& path) {
  return py::module_::import("os").attr("fspath")(path).cast<std::string>();
}

}  // namespace vocanta::python

PYBIND11_MODULE(vocanta, m) {
  namespace vp = vocanta::python;
  m.doc() =
      "Vocanta documents, curves and builds from Python.\n\n"
      "open() reads a document and Voice() starts a new one; a voice's parameters, curves,\n"
      "points, batches and settings change through the program's own editing steps and\n"
      "checks, render() gives the samples vocanta-cli build writes as a NumPy array, and\n"
      "save() writes the document as the program does. Every refusal the program would\n"
      "show raises vocanta.Error with the program's message.";
  pybind11::register_exception<vocanta::VocantaError>(m, "Error");
  vp::bind_parameters(m);
  vp::bind_curves(m);
  vp::bind_batches(m);
  vp::bind_voice(m);
}
