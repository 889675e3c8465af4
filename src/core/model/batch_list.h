#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vocanta {

class ModelEvents;
class RandomGenerator;
struct TCurvePoint;

struct tbatchitem {
  std::string name;
  int16_t id = 0;
  int16_t nSteps = 0;
  int16_t step = 0;
  double factor = 0;
  bool active = false;
  tbatchitem* next = nullptr;
};

std::string normalize_batch_name(std::string_view name);

// Documents keep a batch name verbatim as the key of an INI entry and at the end of each
// point's text, without escaping. Raises a message saying why when the name would not
// come back from a document as it went in; the empty name (no batch) is refused as well.
void check_batch_name(std::string_view name);

// A voice holds at most this many batches, one per identifier 1..32766.
inline constexpr int kMaxBatches = 32766;

// The chain of batches, newest first, with a one-entry lookup cache and indexes by
// identifier and by normalized name. Names change only through get_batch and rename_batch,
// which keep the name index.
class BatchList {
 public:
  // Changes are told to events, so that the batch window can refresh its lists; removing
  // a batch makes the document modified.
  BatchList(RandomGenerator& random, ModelEvents& events) : random_(random), events_(events) {}
  BatchList(const BatchList&) = delete;
  BatchList& operator=(const BatchList&) = delete;
  ~BatchList();

  double batch_value(const TCurvePoint* p) const;
  tbatchitem* find_batch(int16_t id) const;
  int16_t find_batch_id(std::string_view name) const;
  std::string batch_name(int16_t id) const;
  // Raises when the name cannot be a batch name or the voice holds kMaxBatches already.
  int16_t get_batch(std::string_view name);
  // Stores the name as typed; raises when it cannot be a batch name or another batch has
  // it already (the document could not tell the two apart).
  void rename_batch(int16_t id, std::string_view name);
  int16_t remove_batch(std::string_view name);
  // Unlinks the batch of the identifier for an undoable step, which owns it meanwhile;
  // put_back links it in again at the head of the chain with its name and identifier.
  tbatchitem* take_batch(int16_t id);
  void put_back(tbatchitem* batch);
  void clear_batches();
  // Replaces every batch by a copy of those of other, in the same order, with their
  // steps and states; tells no one, since the copy is a build's own.
  void copy_from(const BatchList& other);
  // Takes the step, factor and state of each batch of other that this list has as well
  // (by identifier): where a batch build left its batches.
  void take_states(const BatchList& other);
  int16_t reset_batch(int16_t id);
  int16_t step_batch(int16_t id);
  void reset_all_batches();
  void deactivate_batches();
  void activate_only_batch(int16_t id);
  void activate_all_batches();
  int batch_count() const;
  int16_t nth_batch_id(int n) const;
  tbatchitem* head() const { return head_; }

 private:
  void changed(bool modifiesDocument = false);

  RandomGenerator& random_;
  ModelEvents& events_;
  bool quiet_ = false;
  tbatchitem* head_ = nullptr;
  mutable tbatchitem* cache_ = nullptr;
  int count_ = 0;
  std::unordered_map<int16_t, tbatchitem*> byId_;
  std::unordered_map<std::string, tbatchitem*> byName_;  // normalized name -> batch
};

}  // namespace vocanta
