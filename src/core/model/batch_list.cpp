#include "core/model/batch_list.h"

#include "core/model/curve.h"
#include "core/model/model_observer.h"
#include "core/model/random_generator.h"
#include "core/support/text_case.h"

namespace vocanta {

std::string normalize_batch_name(std::string_view name) {
  return to_upper_first(to_lower_text(name));
}

BatchList::~BatchList() {
  quiet_ = true;  // the observers may be gone already
  clear_batches();
}

void BatchList::changed(bool modifiesDocument) {
  if (!quiet_) events_.notify({ModelChange::Kind::Batches, -1, modifiesDocument});
}

double BatchList::batch_value(const TCurvePoint* p) const {
  if (!p) return 0;
  if (p->batch == 0) return p->y;
  const tbatchitem* b = find_batch(p->batch);
  if (!b || !b->active) return p->y;
  return b->factor * p->batchRange + p->batchY;
}

tbatchitem* BatchList::find_batch(int16_t id) const {
  if (cache_ && cache_->id == id) return cache_;
  for (tbatchitem* b = head_; b; b = b->next)
    if (b->id == id) {
      cache_ = b;
      return b;
    }
  return nullptr;
}

int16_t BatchList::find_batch_id(std::string_view name) const {
  const std::string wanted = normalize_batch_name(name);
  for (const tbatchitem* b = head_; b; b = b->next)
    if (normalize_batch_name(b->name) == wanted) return b->id;
  return 0;
}

std::string BatchList::batch_name(int16_t id) const {
  const tbatchitem* b = find_batch(id);
  return b ? b->name : std::string();
}

int16_t BatchList::get_batch(std::string_view name) {
  const std::string normalized = normalize_batch_name(name);
  int16_t id = find_batch_id(normalized);
  if (id == 0 && !normalized.empty()) {
    // 32766 identifiers for at most a handful of batches: the redraw loop ends quickly,
    // but a full chain must not spin forever.
    if (batch_count() >= 32766) return 0;
    do {
      id = static_cast<int16_t>(1 + random_.draw(32766));
    } while (find_batch(id));
    auto* b = new tbatchitem;
    b->name = normalized;
    b->id = id;
    b->active = true;
    b->next = head_;
    head_ = b;
  }
  changed();
  return id;
}

int16_t BatchList::remove_batch(std::string_view name) {
  const std::string wanted = normalize_batch_name(name);
  tbatchitem* prev = nullptr;
  for (tbatchitem* b = head_; b; prev = b, b = b->next) {
    if (normalize_batch_name(b->name) != wanted) continue;
    (prev ? prev->next : head_) = b->next;
    if (cache_ == b) cache_ = nullptr;
    const int16_t id = b->id;
    delete b;
    changed(true);
    return id;
  }
  return 0;
}

void BatchList::clear_batches() {
  while (head_) {
    tbatchitem* next = head_->next;
    delete head_;
    head_ = next;
  }
  cache_ = nullptr;
  changed();
}

int16_t BatchList::reset_batch(int16_t id) {
  tbatchitem* b = find_batch(id);
  if (!b) return -2;
  b->step = -1;
  b->factor = 0;
  b->active = false;
  return -1;
}

int16_t BatchList::step_batch(int16_t id) {
  tbatchitem* b = find_batch(id);
  if (!b) return -1;
  // Counted in int: past a series of 32767 steps the 16-bit field would wrap to a
  // negative step instead of finishing.
  const int next = b->step + 1;
  if (next > b->nSteps) {
    // Finished: keep the factor of the last step so that the windows' value readout
    // still shows the end of the series rather than a value below its start.
    b->step = -2;
  } else {
    b->step = static_cast<int16_t>(next);
    b->factor = b->nSteps > 0 ? static_cast<double>(next) / b->nSteps : 0.0;
  }
  b->active = true;
  return b->step;
}

void BatchList::reset_all_batches() {
  for (tbatchitem* b = head_; b; b = b->next) reset_batch(b->id);
}

void BatchList::deactivate_batches() {
  for (tbatchitem* b = head_; b; b = b->next) b->active = false;
}

void BatchList::activate_only_batch(int16_t id) {
  for (tbatchitem* b = head_; b; b = b->next) b->active = b->id == id;
}

void BatchList::activate_all_batches() {
  for (tbatchitem* b = head_; b; b = b->next) b->active = true;
}

int BatchList::batch_count() const {
  int n = 0;
  for (const tbatchitem* b = head_; b; b = b->next) ++n;
  return n;
}

int16_t BatchList::nth_batch_id(int n) const {
  int i = 1;
  for (const tbatchitem* b = head_; b; b = b->next, ++i)
    if (i == n) return b->id;
  return 0;
}

}  // namespace vocanta
