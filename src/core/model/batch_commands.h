#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/curve.h"
#include "core/model/edit_history.h"

namespace vocanta {

struct tbatchitem;

// The batch window's steps. They name a batch by its identifier, which a removal taken
// back restores, so that the steps before and after it still find their batch.

// A new number of steps for one batch.
class BatchStepsCommand : public EditCommand {
 public:
  BatchStepsCommand(int16_t id, int16_t before, int16_t after)
      : id_(id), before_(before), after_(after) {}
  std::string caption() const override { return "Batch steps"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  void set(Voice& voice, int16_t steps) const;

  int16_t id_;
  int16_t before_, after_;
};

// A batch's name as typed. Raises, changing nothing, when the name is refused.
class RenameBatchCommand : public EditCommand {
 public:
  RenameBatchCommand(int16_t id, std::string name) : id_(id), after_(std::move(name)) {}
  std::string caption() const override { return "Rename batch"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  int16_t id_;
  std::string before_, after_;
};

// Takes a batch out and clears it from every point that carried it. Taken back, the
// same record returns with its identifier and the points get their batch fields again.
class RemoveBatchCommand : public EditCommand {
 public:
  explicit RemoveBatchCommand(int16_t id) : id_(id) {}
  ~RemoveBatchCommand() override;
  std::string caption() const override { return "Remove batch"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  struct Carrier {
    int index;
    TCurvePoint* point;
    double batchY, batchRange;
    PointHandle hitHandle;
  };

  int16_t id_;
  tbatchitem* owned_ = nullptr;
  std::vector<Carrier> carriers_;
  std::vector<int> indexes_;  // the parameters whose points carried it
};

}  // namespace vocanta
