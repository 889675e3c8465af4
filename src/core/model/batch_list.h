#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vocanta {

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

// Told when the batches change, so that the batch window can refresh its lists.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  virtual void batches_changed() = 0;
};

std::string normalize_batch_name(std::string_view name);

// The chain of batches, newest first, with a one-entry lookup cache.
class BatchList {
 public:
  BatchList(RandomGenerator& random, bool& documentModified)
      : random_(random), documentModified_(documentModified) {}
  BatchList(const BatchList&) = delete;
  BatchList& operator=(const BatchList&) = delete;
  ~BatchList();

  void set_observer(BatchObserver* observer) { observer_ = observer; }

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
  void changed();

  RandomGenerator& random_;
  bool& documentModified_;
  BatchObserver* observer_ = nullptr;
  tbatchitem* head_ = nullptr;
  mutable tbatchitem* cache_ = nullptr;
};

}  // namespace vocanta
