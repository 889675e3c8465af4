#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "core/model/curve.h"
#include "core/model/edit_history.h"
#include "core/model/voice.h"

namespace vocanta::python {

namespace py = pybind11;

// A voice as Python holds it: the model, the steps taken on it (which keep what they
// took out, so that a handle to a removed point never sees freed memory) and the file it
// came from, which a build names in its header as the program does.
struct VoiceHandle {
  Voice voice;
  EditHistory history;
  std::string documentPath;

  // Applies an edit through the core's own step, as the windows do.
  void apply(std::unique_ptr<EditCommand> command) {
    command->apply(voice);
    history.push(std::move(command));
  }
};
using VoicePtr = std::shared_ptr<VoiceHandle>;

// A parameter of a voice, by index.
struct ParameterRef {
  VoicePtr owner;
  int index = 0;
  Parameter& get() const { return owner->voice.parameter(index); }
};

// A curve of a parameter; it may have been removed since the handle was made.
struct CurveRef {
  VoicePtr owner;
  int index = 0;
  TCurve* curve = nullptr;
  // Raises vocanta.Error when the curve is no longer one of the parameter's.
  TCurve& get() const;
};

// A point of a curve; it may have been removed since the handle was made.
struct PointRef {
  VoicePtr owner;
  int index = 0;
  TCurvePoint* point = nullptr;
  TCurvePoint& get() const;
};

// A batch, named by its identifier, which renaming keeps.
struct BatchRef {
  VoicePtr owner;
  int16_t id = 0;
  tbatchitem& get() const;
};

// The collections: the parameters and batches of a voice, the curves of a parameter,
// the points of a curve.
struct ParameterListRef {
  VoicePtr owner;
};
struct BatchListRef {
  VoicePtr owner;
};
struct CurveListRef {
  VoicePtr owner;
  int index = 0;
};
struct PointListRef {
  CurveRef curve;
};

// The messages the program gives as vocanta.Error.
[[noreturn]] void raise_error(const std::string& message);

// A path given as str or as os.PathLike.
std::string path_text(const py::object& path);

// The parameter of a name as the program shows it ("F0", "Formants") or as the document
// stores it ("Formant"), or of an index 0..22; raises KeyError or IndexError.
int parameter_index(const py::object& key);

void bind_voice(py::module_& m);
void bind_settings(py::class_<VoiceHandle, VoicePtr>& voice);
void bind_parameters(py::module_& m);
void bind_curves(py::module_& m);
void bind_batches(py::module_& m);
void bind_render(py::module_& m, py::class_<VoiceHandle, VoicePtr>& voice);

}  // namespace vocanta::python
