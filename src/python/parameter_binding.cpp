#include <pybind11/stl.h>

#include <memory>
#include <string>

#include "core/model/curve_commands.h"
#include "core/model/parameter_table.h"
#include "core/model/voice.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

int by_name(const std::string& name) {
  for (int i = 0; i < kParameterCount; ++i) {
    const ParameterDefinition& d = kParameterTable[static_cast<size_t>(i)];
    if (d.title == name || d.key == name) return i;
  }
  throw py::key_error("no parameter is named '" + name + "'");
}

void set_default(const ParameterRef& p, double value) {
  const double before = p.get().state.defaultValue;
  p.owner->apply(std::make_unique<DefaultValueCommand>(p.index, before, value));
}

py::list parameter_names() {
  py::list names;
  for (const ParameterDefinition& d : kParameterTable) names.append(std::string(d.title));
  return names;
}

void bind_parameter(py::module_& m) {
  py::class_<ParameterRef> p(m, "Parameter", R"(One of the 23 parameters: its definition, its
default value (the value where it has no curve) and its curves.)");
  p.def_readonly("index", &ParameterRef::index, "Its index, 0..22.");
  p.def_property_readonly(
      "name", [](const ParameterRef& r) { return r.get().title; },
      "Its name as the program shows it, such as 'F0' or 'Formants'.");
  p.def_property_readonly(
      "key", [](const ParameterRef& r) { return r.get().key; },
      "Its section name in documents, such as 'Formant'.");
  p.def_property(
      "default", [](const ParameterRef& r) { return r.get().state.defaultValue; }, &set_default,
      "The value the parameter has where no curve gives one.");
  p.def_property_readonly(
      "x_unit", [](const ParameterRef& r) { return r.get().xUnit; }, "The x axis unit.");
  p.def_property_readonly(
      "y_unit", [](const ParameterRef& r) { return r.get().yUnit; }, "The y axis unit.");
  p.def_property_readonly(
      "multi_curve", [](const ParameterRef& r) { return r.get().multiCurve; },
      "Whether every curve counts (the formants), rather than the first only.");
  p.def_property_readonly(
      "curves",
      [](const ParameterRef& r) {
        return CurveListRef{r.owner, r.index};
      },
      "Its curves, numbered from 1 as the program numbers them; curves[0] is curve 1.");
  p.def("__repr__", [](const ParameterRef& r) {
    return "<vocanta.Parameter " + std::to_string(r.index) + " '" + r.get().title + "'>";
  });
}

}  // namespace

int parameter_index(const py::object& key) {
  if (py::isinstance<py::str>(key)) return by_name(key.cast<std::string>());
  if (!py::isinstance<py::int_>(key)) throw py::type_error("a parameter is named or indexed");
  int i = key.cast<int>();
  if (i < 0) i += kParameterCount;
  if (i < 0 || i >= kParameterCount) throw py::index_error("parameter index out of range");
  return i;
}

void bind_parameters(py::module_& m) {
  bind_parameter(m);
  py::class_<ParameterListRef> list(m, "Parameters", R"(The 23 parameters of a voice, by the
name the program shows ('F0', 'Formants'), by the document's section name, or by index.)");
  list.def("__len__", [](const ParameterListRef&) { return kParameterCount; });
  list.def(
      "__getitem__",
      [](const ParameterListRef& l, const py::object& key) {
        return ParameterRef{l.owner, parameter_index(key)};
      },
      py::arg("key"));
  list.def("__contains__", [](const ParameterListRef&, const std::string& name) {
    for (const ParameterDefinition& d : kParameterTable)
      if (d.title == name || d.key == name) return true;
    return false;
  });
  list.def("__iter__", [](const ParameterListRef& l) {
    py::list all;
    for (int i = 0; i < kParameterCount; ++i) all.append(ParameterRef{l.owner, i});
    return py::iter(all);
  });
  list.def(
      "names", [](const ParameterListRef&) { return parameter_names(); },
      "The names as the program shows them, in index order.");
}

}  // namespace vocanta::python
