#include "core/model/batch_list.h"

#include <utility>

#include "core/model/curve.h"
#include "core/model/model_observer.h"
#include "core/model/random_generator.h"
#include "core/support/message_text.h"
#include "core/support/text_case.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// A point's text keeps no more of a name when it is read.
constexpr size_t kMaxNameCharacters = 255;

// Why a document would not give the name back as it went in; nullptr when it would.
const char* name_fault(std::string_view name) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(name.front()) || blank(name.back()))
    return "blanks at its ends would be lost in the document";
  if (name.front() == '[') return "a document line that begins with \"[\" starts a section";
  if (name.front() == ';') return "a document line that begins with \";\" is a comment";
  if (name.find('=') != name.npos) return "\"=\" ends the name of a document entry";
  if (name.find_first_of("\r\n") != name.npos) return "a line break would end the document line";
  if (name.find('\0') != name.npos) return "it holds a NUL character";
  if (utf8_prefix_size(name, kMaxNameCharacters) < name.size())
    return "a document keeps no more than 255 characters of it";
  return nullptr;
}

}  // namespace

std::string normalize_batch_name(std::string_view name) {
  return to_upper_first(to_lower_text(name));
}

void check_batch_name(std::string_view name) {
  if (name.empty()) throw VocantaError("A batch name cannot be empty");
  if (const char* fault = name_fault(name))
    throw VocantaError(quoted(name) + " cannot be a batch name: " + fault);
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
  const auto it = byId_.find(id);
  if (it == byId_.end()) return nullptr;
  cache_ = it->second;
  return cache_;
}

int16_t BatchList::find_batch_id(std::string_view name) const {
  const auto it = byName_.find(normalize_batch_name(name));
  return it == byName_.end() ? 0 : it->second->id;
}

std::string BatchList::batch_name(int16_t id) const {
  const tbatchitem* b = find_batch(id);
  return b ? b->name : std::string();
}

int16_t BatchList::get_batch(std::string_view name) {
  const std::string normalized = normalize_batch_name(name);
  const auto known = byName_.find(normalized);
  int16_t id = known == byName_.end() ? 0 : known->second->id;
  if (id == 0 && !normalized.empty()) {
    check_batch_name(name);
    if (count_ >= kMaxBatches)
      throw VocantaError(quoted(name) + " cannot be added: a voice holds at most " +
                         std::to_string(kMaxBatches) + " batches");
    do {
      id = static_cast<int16_t>(1 + random_.draw(kMaxBatches));
    } while (byId_.contains(id));
    auto* b = new tbatchitem;
    b->name = normalized;
    b->id = id;
    b->active = true;
    b->next = head_;
    head_ = b;
    ++count_;
    byId_.emplace(id, b);
    byName_.emplace(normalized, b);
  }
  changed();
  return id;
}

void BatchList::rename_batch(int16_t id, std::string_view name) {
  tbatchitem* b = find_batch(id);
  if (!b) return;
  check_batch_name(name);
  std::string key = normalize_batch_name(name);
  const auto other = byName_.find(key);
  if (other != byName_.end() && other->second != b)
    throw VocantaError(quoted(name) + " cannot be a batch name: the batch " +
                       quoted(other->second->name) + " has it already");
  byName_.erase(normalize_batch_name(b->name));
  byName_.emplace(std::move(key), b);
  b->name = std::string(name);
  changed(true);
}

int16_t BatchList::remove_batch(std::string_view name) {
  const auto it = byName_.find(normalize_batch_name(name));
  if (it == byName_.end()) return 0;
  tbatchitem* b = it->second;
  tbatchitem* prev = nullptr;
  for (tbatchitem* q = head_; q != b; q = q->next) prev = q;
  (prev ? prev->next : head_) = b->next;
  if (cache_ == b) cache_ = nullptr;
  byName_.erase(it);
  byId_.erase(b->id);
  --count_;
  const int16_t id = b->id;
  delete b;
  changed(true);
  return id;
}

tbatchitem* BatchList::take_batch(int16_t id) {
  tbatchitem* b = find_batch(id);
  if (!b) return nullptr;
  tbatchitem* prev = nullptr;
  for (tbatchitem* q = head_; q != b; q = q->next) prev = q;
  (prev ? prev->next : head_) = b->next;
  b->next = nullptr;
  if (cache_ == b) cache_ = nullptr;
  byName_.erase(normalize_batch_name(b->name));
  byId_.erase(b->id);
  --count_;
  changed(true);
  return b;
}

void BatchList::put_back(tbatchitem* b) {
  b->next = head_;
  head_ = b;
  ++count_;
  byId_.emplace(b->id, b);
  byName_.emplace(normalize_batch_name(b->name), b);
  changed(true);
}

void BatchList::clear_batches() {
  while (head_) {
    tbatchitem* next = head_->next;
    delete head_;
    head_ = next;
  }
  cache_ = nullptr;
  count_ = 0;
  byId_.clear();
  byName_.clear();
  changed();
}

void BatchList::copy_from(const BatchList& other) {
  const bool quiet = std::exchange(quiet_, true);
  clear_batches();
  quiet_ = quiet;
  tbatchitem** tail = &head_;
  for (const tbatchitem* b = other.head_; b; b = b->next) {
    auto* copy = new tbatchitem(*b);
    copy->next = nullptr;
    *tail = copy;
    tail = &copy->next;
    ++count_;
    byId_.emplace(copy->id, copy);
    byName_.emplace(normalize_batch_name(copy->name), copy);
  }
}

void BatchList::take_states(const BatchList& other) {
  for (const tbatchitem* b = other.head_; b; b = b->next)
    if (tbatchitem* mine = find_batch(b->id)) {
      mine->step = b->step;
      mine->factor = b->factor;
      mine->active = b->active;
    }
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
  return count_;
}

int16_t BatchList::nth_batch_id(int n) const {
  int i = 1;
  for (const tbatchitem* b = head_; b; b = b->next, ++i)
    if (i == n) return b->id;
  return 0;
}

}  // namespace vocanta
