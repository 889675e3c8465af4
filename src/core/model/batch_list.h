#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// The chain of batches, newest first, with a one-entry lookup cache.
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
  int16_t get_batch(std::string_view name);
  int16_t remove_batch(std::string_view name);
  void clear_batches();
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
};

}  // namespace vocanta
