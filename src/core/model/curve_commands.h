#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/curve.h"
#include "core/model/edit_history.h"

namespace vocanta {

struct CurveState;
struct tbatchitem;

// What an edit may change of a point, besides its place in the curve.
struct PointValues {
  double x = 0, y = 0, batchY = 0, batchRange = 0;
  int16_t batch = 0;
  bool operator==(const PointValues&) const = default;
};
PointValues values_of(const TCurvePoint& p);
void set_values(TCurvePoint& p, const PointValues& v);

// The commands below edit the curves of parameter `index`. They keep points and curves
// at their addresses: a step taken back keeps what it took out and puts the same
// objects back, so that every other step, the selection and the windows can hold on to
// them. After each step the selection and the evaluation cache point only at what is
// still linked, and the parameter's window is told.

// Links a point made by a mouse press into the current curve, else the first curve,
// else a new curve 1.
class AddPointCommand : public EditCommand {
 public:
  AddPointCommand(int index, std::unique_ptr<TCurvePoint> point);
  std::string caption() const override { return "Add point"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  int index_;
  TCurvePoint* point_;
  std::unique_ptr<TCurvePoint> owned_;
  TCurve* curve_ = nullptr;
  bool madeCurve_ = false;              // the window had no curve: curve 1 was made for it
  std::unique_ptr<TCurve> ownedCurve_;  // that curve, while the step is taken back
};

// Takes a point out of its curve; a curve left empty goes and the later ones are
// renumbered. Taken back, both return to their places and numbers.
class DeletePointCommand : public EditCommand {
 public:
  DeletePointCommand(int index, TCurvePoint* point) : index_(index), point_(point) {}
  std::string caption() const override { return "Delete point"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  int index_;
  TCurvePoint* point_;
  TCurve* curve_ = nullptr;
  TCurvePoint* prev_ = nullptr;
  std::unique_ptr<TCurvePoint> owned_;
  TCurve* prevCurve_ = nullptr;
  std::unique_ptr<TCurve> ownedCurve_;
  std::vector<int16_t> numbers_;  // of all curves before the empty one went
};

// New values for one point, which stays where it is in its curve (a drag sorts at its
// end with SortPointsCommand). The positions of one drag fold into one step.
class PointValuesCommand : public EditCommand {
 public:
  PointValuesCommand(int index, TCurvePoint* point, PointValues before, PointValues after,
                     std::string caption)
      : index_(index),
        point_(point),
        before_(before),
        after_(after),
        caption_(std::move(caption)) {}
  std::string caption() const override { return caption_; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  bool absorb(const EditCommand& next) override;

 private:
  int index_;
  TCurvePoint* point_;
  PointValues before_, after_;
  std::string caption_;
};

// Puts the points of a curve into ascending x; taken back, into the order they had.
class SortPointsCommand : public EditCommand {
 public:
  SortPointsCommand(int index, TCurve* curve) : index_(index), curve_(curve) {}
  std::string caption() const override { return "Sort points"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  // Whether sorting would change the order at all.
  static bool needed(const TCurve& curve);

 private:
  int index_;
  TCurve* curve_;
  std::vector<TCurvePoint*> before_;
};

// A new empty curve at the end, made current.
class NewCurveCommand : public EditCommand {
 public:
  explicit NewCurveCommand(int index) : index_(index) {}
  std::string caption() const override { return "New curve"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  int index_;
  TCurve* curve_ = nullptr;
  std::unique_ptr<TCurve> owned_;
};

class DefaultValueCommand : public EditCommand {
 public:
  DefaultValueCommand(int index, double before, double after)
      : index_(index), before_(before), after_(after) {}
  std::string caption() const override { return "Default value"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;

 private:
  int index_;
  double before_, after_;
};

// Finds the batch of a name or makes it (get_batch); a batch it made is taken out again
// when the step is taken back and returns with the same identifier.
class GetBatchCommand : public EditCommand {
 public:
  explicit GetBatchCommand(std::string name) : name_(std::move(name)) {}
  ~GetBatchCommand() override;
  std::string caption() const override { return "New batch"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  int16_t id() const { return id_; }
  bool made() const { return made_; }

 private:
  std::string name_;
  int16_t id_ = 0;
  bool made_ = false;
  tbatchitem* owned_ = nullptr;
};

// Forgets a selected point or current curve that is no longer linked into the state,
// and the evaluation cache.
void settle_selection(CurveState& w);

}  // namespace vocanta
