#include "core/model/curve_commands.h"

#include "core/model/batch_list.h"
#include "core/model/curve_state.h"
#include "core/model/model_observer.h"
#include "core/model/voice.h"

namespace vocanta {
namespace {

CurveState& state_of(Voice& voice, int index) {
  return voice.parameter(index).state;
}

// After every step: nothing may point at what the step took out, and the window follows.
void settle(Voice& voice, int index) {
  CurveState& w = state_of(voice, index);
  settle_selection(w);
  voice.events.notify({ModelChange::Kind::Curves, index, true});
}

void unlink_point(TCurve& k, TCurvePoint* p) {
  if (p->prev) p->prev->next = p->next;
  if (p->next) p->next->prev = p->prev;
  if (k.points == p) k.points = p->next;
  p->prev = p->next = nullptr;
}

// Links p in right after prev, or first when prev is null.
void link_point(TCurve& k, TCurvePoint* p, TCurvePoint* prev) {
  p->prev = prev;
  p->next = prev ? prev->next : k.points;
  if (p->next) p->next->prev = p;
  (prev ? prev->next : k.points) = p;
}

void unlink_curve(CurveState& w, TCurve* k) {
  if (k->prev) k->prev->next = k->next;
  if (k->next) k->next->prev = k->prev;
  if (w.curves == k) w.curves = k->next;
  k->prev = k->next = nullptr;
}

void link_curve(CurveState& w, TCurve* k, TCurve* prev) {
  k->prev = prev;
  k->next = prev ? prev->next : w.curves;
  if (k->next) k->next->prev = k;
  (prev ? prev->next : w.curves) = k;
}

TCurve* last_curve(const CurveState& w) {
  TCurve* k = w.curves;
  while (k && k->next) k = k->next;
  return k;
}

}  // namespace

PointValues values_of(const TCurvePoint& p) {
  return {p.x, p.y, p.batchY, p.batchRange, p.batch};
}

void set_values(TCurvePoint& p, const PointValues& v) {
  p.x = v.x;
  p.y = v.y;
  p.batchY = v.batchY;
  p.batchRange = v.batchRange;
  p.batch = v.batch;
}

void settle_selection(CurveState& w) {
  const bool curveLinked = [&] {
    for (const TCurve* k = w.curves; k; k = k->next)
      if (k == w.currentCurve) return true;
    return false;
  }();
  if (!curveLinked) w.currentCurve = nullptr;
  if (w.selectedPoint && !curve_holding(w, w.selectedPoint)) w.selectedPoint = nullptr;
  w.evalCurve = nullptr;
  w.evalPoint = nullptr;
}

AddPointCommand::AddPointCommand(int index, std::unique_ptr<TCurvePoint> point)
    : index_(index), point_(point.get()), owned_(std::move(point)) {}

void AddPointCommand::apply(Voice& voice) {
  CurveState& w = state_of(voice, index_);
  if (!curve_) {
    curve_ = w.currentCurve ? w.currentCurve : w.curves;
    if (!curve_) {
      curve_ = new_curve(w);  // numbered 1, the whole list
      madeCurve_ = true;
    }
  } else if (madeCurve_) {
    link_curve(w, ownedCurve_.release(), nullptr);
  }
  insert_point(*curve_, owned_.release());
  w.currentCurve = curve_;
  w.selectedPoint = point_;
  settle(voice, index_);
}

void AddPointCommand::revert(Voice& voice) {
  CurveState& w = state_of(voice, index_);
  unlink_point(*curve_, point_);
  owned_.reset(point_);
  if (madeCurve_) {
    unlink_curve(w, curve_);
    ownedCurve_.reset(curve_);
  }
  settle(voice, index_);
}

void DeletePointCommand::apply(Voice& voice) {
  CurveState& w = state_of(voice, index_);
  curve_ = curve_holding(w, point_);
  if (!curve_) return;
  prev_ = point_->prev;
  unlink_point(*curve_, point_);
  owned_.reset(point_);
  if (!curve_->points) {
    numbers_.clear();
    for (const TCurve* k = w.curves; k; k = k->next) numbers_.push_back(k->number);
    prevCurve_ = curve_->prev;
    unlink_curve(w, curve_);
    ownedCurve_.reset(curve_);
    renumber_curves(w);
  }
  if (w.selectedPoint == point_) w.selectedPoint = nullptr;
  settle(voice, index_);
}

void DeletePointCommand::revert(Voice& voice) {
  if (!curve_) return;
  CurveState& w = state_of(voice, index_);
  if (ownedCurve_) {
    link_curve(w, ownedCurve_.release(), prevCurve_);
    size_t i = 0;
    for (TCurve* k = w.curves; k && i < numbers_.size(); k = k->next) k->number = numbers_[i++];
  }
  link_point(*curve_, owned_.release(), prev_);
  settle(voice, index_);
}

void PointValuesCommand::apply(Voice& voice) {
  set_values(*point_, after_);
  settle(voice, index_);
}

void PointValuesCommand::revert(Voice& voice) {
  set_values(*point_, before_);
  settle(voice, index_);
}

bool PointValuesCommand::absorb(const EditCommand& next) {
  const auto* same = dynamic_cast<const PointValuesCommand*>(&next);
  if (!same || same->point_ != point_ || same->index_ != index_ || same->caption_ != caption_)
    return false;
  after_ = same->after_;
  return true;
}

bool SortPointsCommand::needed(const TCurve& curve) {
  for (const TCurvePoint* p = curve.points; p && p->next; p = p->next)
    if (p->next->x < p->x) return true;
  return false;
}

void SortPointsCommand::apply(Voice& voice) {
  before_.clear();
  for (TCurvePoint* p = curve_->points; p; p = p->next) before_.push_back(p);
  sort_points(*curve_);
  settle(voice, index_);
}

void SortPointsCommand::revert(Voice& voice) {
  TCurvePoint* prev = nullptr;
  for (TCurvePoint* p : before_) {
    p->prev = prev;
    p->next = nullptr;
    (prev ? prev->next : curve_->points) = p;
    prev = p;
  }
  if (before_.empty()) curve_->points = nullptr;
  settle(voice, index_);
}

void NewCurveCommand::apply(Voice& voice) {
  CurveState& w = state_of(voice, index_);
  if (owned_) {
    link_curve(w, owned_.release(), last_curve(w));
    w.currentCurve = curve_;
  } else {
    curve_ = new_curve(w);
  }
  settle(voice, index_);
}

void NewCurveCommand::revert(Voice& voice) {
  unlink_curve(state_of(voice, index_), curve_);
  owned_.reset(curve_);
  settle(voice, index_);
}

void DefaultValueCommand::apply(Voice& voice) {
  state_of(voice, index_).defaultValue = after_;
  settle(voice, index_);
}

void DefaultValueCommand::revert(Voice& voice) {
  state_of(voice, index_).defaultValue = before_;
  settle(voice, index_);
}

GetBatchCommand::~GetBatchCommand() {
  delete owned_;
}

void GetBatchCommand::apply(Voice& voice) {
  if (owned_) {
    voice.batches.put_back(owned_);
    owned_ = nullptr;
    return;
  }
  const int before = voice.batches.batch_count();
  id_ = voice.batches.get_batch(name_);
  made_ = voice.batches.batch_count() > before;
}

void GetBatchCommand::revert(Voice& voice) {
  if (made_) owned_ = voice.batches.take_batch(id_);
}

}  // namespace vocanta
