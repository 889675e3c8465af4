#include <pybind11/stl.h>

#include <memory>
#include <string>

#include "core/build/batch_build.h"
#include "core/model/batch_commands.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

// The document keeps the steps in 16 bits.
constexpr int kMostBatchSteps = 32767;

void set_steps(const BatchRef& r, const py::object& value) {
  const std::string text = py::str(value).cast<std::string>();
  int n = 0;
  if (py::isinstance<py::bool_>(value) || !try_parse_integer(text, n) || n < 0 ||
      n > kMostBatchSteps)
    raise_error("The number of batch steps must be a whole number from 0 to " +
                std::to_string(kMostBatchSteps) + ", not " + quoted(text));
  const tbatchitem& b = r.get();
  if (n == b.nSteps) return;
  r.owner->apply(std::make_unique<BatchStepsCommand>(r.id, b.nSteps, static_cast<int16_t>(n)));
}

BatchRef find(const BatchListRef& l, const std::string& name) {
  const int16_t id = l.owner->voice.batches.find_batch_id(name);
  if (id == 0) throw py::key_error("The document has no batch named '" + name + "'");
  return BatchRef{l.owner, id};
}

py::list batches_of(const BatchListRef& l) {
  py::list all;
  for (const std::string& name : sorted_batch_names(l.owner->voice.batches))
    all.append(find(l, name));
  return all;
}

void bind_batch(py::module_& m) {
  py::class_<BatchRef> b(m, "Batch", R"(A batch: points that carry it step from their batch_y
over their batch_range in its steps, one voice per step in a batch build.)");
  b.def_property(
      "name", [](const BatchRef& r) { return r.get().name; },
      [](const BatchRef& r, const std::string& name) {
        r.get();
        r.owner->apply(std::make_unique<RenameBatchCommand>(r.id, name));
      },
      "Its name; a name another batch has, or one a document cannot keep, is refused.");
  b.def_property(
      "steps", [](const BatchRef& r) { return r.get().nSteps; }, &set_steps,
      "Its number of steps, 0 to 32767.");
  b.def(
      "remove",
      [](const BatchRef& r) {
        r.get();
        r.owner->apply(std::make_unique<RemoveBatchCommand>(r.id));
      },
      "Removes the batch and clears it from every point that carried it.");
  b.def("__repr__", [](const BatchRef& r) {
    const tbatchitem& i = r.get();
    return "<vocanta.Batch '" + i.name + "' steps=" + std::to_string(i.nSteps) + ">";
  });
  b.def("__eq__",
        [](const BatchRef& a, const BatchRef& c) { return a.owner == c.owner && a.id == c.id; });
}

}  // namespace

tbatchitem& BatchRef::get() const {
  tbatchitem* b = owner->voice.batches.find_batch(id);
  if (!b) raise_error("The batch was removed");
  return *b;
}

void bind_batches(py::module_& m) {
  bind_batch(m);
  py::class_<BatchListRef> l(m, "Batches", R"(The batches of a voice, by name, in the order the
batch window lists them. A batch is made by giving a point a batch name.)");
  l.def("__len__", [](const BatchListRef& l) { return l.owner->voice.batches.batch_count(); });
  l.def("__getitem__", &find, py::arg("name"));
  l.def("__contains__", [](const BatchListRef& l, const std::string& name) {
    return l.owner->voice.batches.find_batch_id(name) != 0;
  });
  l.def("__iter__", [](const BatchListRef& l) { return py::iter(batches_of(l)); });
  l.def(
      "names", [](const BatchListRef& l) { return sorted_batch_names(l.owner->voice.batches); },
      "The names, as the batch window sorts them.");
}

}  // namespace vocanta::python
