#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "core/document/point_text.h"
#include "core/model/curve_commands.h"
#include "core/model/curve_state.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

CurveState& state_of(const VoicePtr& owner, int index) {
  return owner->voice.parameter(index).state;
}

double finite(double v, const char* what) {
  if (!std::isfinite(v))
    raise_error(std::string("The point's ") + what + " must be a finite number");
  return v;
}

// The batch of a name, made as the point editor makes it when a point is given a batch.
int16_t batch_id(VoiceHandle& h, const std::optional<std::string>& name) {
  if (!name) return 0;
  auto get = std::make_unique<GetBatchCommand>(*name);
  GetBatchCommand& step = *get;
  h.apply(std::move(get));
  return step.id();
}

// New values for the point, then the curve sorted again as a drag ends.
void change_point(const PointRef& r, const PointValues& after, const char* caption) {
  TCurvePoint& p = r.get();
  if (values_of(p) == after) return;
  r.owner->apply(std::make_unique<PointValuesCommand>(r.index, &p, values_of(p), after, caption));
  TCurve* k = curve_holding(state_of(r.owner, r.index), &p);
  if (k && SortPointsCommand::needed(*k))
    r.owner->apply(std::make_unique<SortPointsCommand>(r.index, k));
}

void def_value(py::class_<PointRef>& c, const char* name, double PointValues::*field,
               const char* doc) {
  c.def_property(
      name, [field](const PointRef& r) { return values_of(r.get()).*field; },
      [field, name](const PointRef& r, double v) {
        PointValues after = values_of(r.get());
        after.*field = finite(v, name);
        change_point(r, after, field == &PointValues::x ? "Move point" : "Point value");
      },
      doc);
}

std::optional<std::string> point_batch(const PointRef& r) {
  const TCurvePoint& p = r.get();
  if (p.batch == 0) return std::nullopt;
  return r.owner->voice.batches.batch_name(p.batch);
}

void set_point_batch(const PointRef& r, const std::optional<std::string>& name) {
  r.get();
  PointValues after = values_of(*r.point);
  after.batch = batch_id(*r.owner, name);
  change_point(r, after, "Point batch");
}

std::string point_text(const PointRef& r) {
  const TCurvePoint& p = r.get();
  return format_number(p.x) + "=" +
         format_point_text(p, p.batch ? r.owner->voice.batches.batch_name(p.batch) : "");
}

void bind_point(py::module_& m) {
  py::class_<PointRef> c(m, "Point", R"(A point of a curve. Its batch fields make it a batch
point: with a batch, the value runs from batch_y over batch_range in the batch's steps.
A document writes it as x=y;batch_y;batch_range;batch.)");
  def_value(c, "x", &PointValues::x, "Where it lies; the curve stays sorted by x.");
  def_value(c, "y", &PointValues::y, "Its value without a batch.");
  def_value(c, "batch_y", &PointValues::batchY, "The value at the batch's first step.");
  def_value(c, "batch_range", &PointValues::batchRange,
            "How far the value moves from batch_y over the batch's steps.");
  c.def_property("batch", &point_batch, &set_point_batch,
                 "The name of its batch, or None; a new name makes the batch.");
  c.def(
      "remove",
      [](const PointRef& r) {
        r.owner->apply(std::make_unique<DeletePointCommand>(r.index, &r.get()));
      },
      "Takes it out of its curve; a curve left empty goes and the later ones are renumbered.");
  c.def("__repr__", [](const PointRef& r) { return "<vocanta.Point " + point_text(r) + ">"; });
  c.def("__eq__", [](const PointRef& a, const PointRef& b) { return a.point == b.point; });
}

PointRef add_point(const CurveRef& r, double x, double y, const std::optional<std::string>& batch,
                   std::optional<double> batchY, double batchRange) {
  CurveState& w = state_of(r.owner, r.index);
  w.currentCurve = &r.get();
  auto p = std::make_unique<TCurvePoint>();
  p->x = finite(x, "x");
  p->y = finite(y, "y");
  p->batchY = finite(batchY.value_or(y), "batch_y");
  p->batchRange = finite(batchRange, "batch_range");
  TCurvePoint* point = p.get();
  const std::optional<int16_t> id = batch ? std::optional(batch_id(*r.owner, batch)) : std::nullopt;
  if (id) point->batch = *id;
  r.owner->apply(std::make_unique<AddPointCommand>(r.index, std::move(p)));
  return PointRef{r.owner, r.index, point};
}

// Removes every point; the curve goes with its last one. An empty curve is given a
// point first, so that the removal is the program's own step.
void remove_curve(const CurveRef& r) {
  TCurve& k = r.get();
  if (!k.points) add_point(r, 0, 0, std::nullopt, std::nullopt, 0);
  while (TCurvePoint* p = r.get().points) {
    const bool last = !p->next;
    r.owner->apply(std::make_unique<DeletePointCommand>(r.index, p));
    if (last) break;
  }
}

py::list points_of(const CurveRef& r) {
  py::list all;
  for (TCurvePoint* p = r.get().points; p; p = p->next) all.append(PointRef{r.owner, r.index, p});
  return all;
}

void bind_curve(py::module_& m) {
  py::class_<CurveRef> c(m, "Curve", "A numbered curve of a parameter; its points in ascending x.");
  c.def_property_readonly(
      "number", [](const CurveRef& r) { return r.get().number; }, "Its number, from 1.");
  c.def_property_readonly(
      "points",
      [](const CurveRef& r) {
        r.get();
        return PointListRef{r};
      },
      "Its points, sorted by x.");
  c.def("add_point", &add_point, py::arg("x"), py::arg("y"), py::arg("batch") = py::none(),
        py::arg("batch_y") = py::none(), py::arg("batch_range") = 0.0,
        R"(Adds a point as a click in the diagram adds it: among points of equal x it comes
first. batch_y is y unless given; a batch name that is new makes the batch.)");
  c.def("remove", &remove_curve, "Removes the curve with its points; later curves are renumbered.");
  c.def("__repr__", [](const CurveRef& r) {
    return "<vocanta.Curve " + std::to_string(r.get().number) + " of " +
           r.owner->voice.parameter(r.index).title + ">";
  });

  py::class_<PointListRef> l(m, "Points", "The points of a curve, in ascending x.");
  l.def("__len__", [](const PointListRef& l) { return l.curve.get().point_count(); });
  l.def("__getitem__", [](const PointListRef& l, int i) {
    py::list all = points_of(l.curve);
    const int n = static_cast<int>(all.size());
    if (i < 0) i += n;
    if (i < 0 || i >= n) throw py::index_error("point index out of range");
    return all[static_cast<size_t>(i)].cast<PointRef>();
  });
  l.def("__iter__", [](const PointListRef& l) { return py::iter(points_of(l.curve)); });
}

py::list curves_of(const CurveListRef& l) {
  py::list all;
  for (TCurve* k = state_of(l.owner, l.index).curves; k; k = k->next)
    all.append(CurveRef{l.owner, l.index, k});
  return all;
}

CurveRef new_curve(const CurveListRef& l) {
  l.owner->apply(std::make_unique<NewCurveCommand>(l.index));
  return CurveRef{l.owner, l.index, state_of(l.owner, l.index).currentCurve};
}

void bind_curve_list(py::module_& m) {
  py::class_<CurveListRef> l(m, "Curves", "The curves of a parameter; curves[0] is curve 1.");
  l.def("__len__", [](const CurveListRef& l) { return curve_count(state_of(l.owner, l.index)); });
  l.def("__getitem__", [](const CurveListRef& l, int i) {
    py::list all = curves_of(l);
    const int n = static_cast<int>(all.size());
    if (i < 0) i += n;
    if (i < 0 || i >= n) throw py::index_error("curve index out of range");
    return all[static_cast<size_t>(i)].cast<CurveRef>();
  });
  l.def("__iter__", [](const CurveListRef& l) { return py::iter(curves_of(l)); });
  l.def("add", &new_curve, "A new empty curve at the end, as New curve makes it.");
}

}  // namespace

TCurve& CurveRef::get() const {
  for (TCurve* k = state_of(owner, index).curves; k; k = k->next)
    if (k == curve) return *k;
  raise_error("The curve was removed from " + owner->voice.parameter(index).title);
}

TCurvePoint& PointRef::get() const {
  if (!curve_holding(state_of(owner, index), point))
    raise_error("The point was removed from " + owner->voice.parameter(index).title);
  return *point;
}

void bind_curves(py::module_& m) {
  bind_point(m);
  bind_curve(m);
  bind_curve_list(m);
}

}  // namespace vocanta::python
