#include "core/model/batch_commands.h"

#include "core/model/batch_list.h"
#include "core/model/curve_state.h"
#include "core/model/model_observer.h"
#include "core/model/voice.h"

namespace vocanta {

void BatchStepsCommand::set(Voice& voice, int16_t steps) const {
  tbatchitem* b = voice.batches.find_batch(id_);
  if (!b) return;
  b->nSteps = steps;
  voice.events.notify({ModelChange::Kind::Batches, -1, true});
}

void BatchStepsCommand::apply(Voice& voice) {
  set(voice, after_);
}

void BatchStepsCommand::revert(Voice& voice) {
  set(voice, before_);
}

void RenameBatchCommand::apply(Voice& voice) {
  const std::string before = voice.batches.batch_name(id_);
  voice.batches.rename_batch(id_, after_);
  before_ = before;
}

void RenameBatchCommand::revert(Voice& voice) {
  voice.batches.rename_batch(id_, before_);
}

RemoveBatchCommand::~RemoveBatchCommand() {
  delete owned_;
}

void RemoveBatchCommand::apply(Voice& voice) {
  carriers_.clear();
  indexes_.clear();
  for (Parameter& param : voice.parameters()) {
    CurveState& w = param.state;
    if (!uses_batch(w, id_)) continue;
    for (TCurve* k = w.curves; k; k = k->next)
      for (TCurvePoint* p = k->points; p; p = p->next)
        if (p->batch == id_)
          carriers_.push_back({param.index(), p, p->batchY, p->batchRange, p->hitHandle});
    indexes_.push_back(param.index());
    strip_batch(w, id_);
  }
  owned_ = voice.batches.take_batch(id_);
}

void RemoveBatchCommand::revert(Voice& voice) {
  // The points first, so that whoever follows the batch's return sees its carriers too.
  for (const Carrier& c : carriers_) {
    c.point->batch = id_;
    c.point->batchY = c.batchY;
    c.point->batchRange = c.batchRange;
    c.point->hitHandle = c.hitHandle;
  }
  if (owned_) voice.batches.put_back(owned_);
  owned_ = nullptr;
  for (int index : indexes_) voice.events.notify({ModelChange::Kind::Curves, index, true});
}

}  // namespace vocanta
