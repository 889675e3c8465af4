#pragma once

#include <algorithm>
#include <exception>
#include <vector>

namespace vocanta {

// What changed in the model, so that the windows showing it can follow without the
// core ever calling a window.
struct ModelChange {
  enum class Kind {
    Everything,    // New, a document read, or a step too wide to name: show it all afresh
    Settings,      // the build settings texts
    TweenieCount,  // the tweenie spectrum was laid out for another number of rows
    Curves,        // the curves or points of parameter `index`
    AxisLimits,    // the axis limit texts of parameter `index`
    Background,    // the background picture's name of parameter `index`
    Batches,       // the batch chain
    History,       // the edit history: what undo and redo would do
  };
  Kind kind = Kind::Everything;
  int index = -1;
  // The change makes the document differ from its file.
  bool modifiesDocument = false;
};

class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  virtual void model_changed(const ModelChange& change) = 0;
};

// The observers of one voice. A hold folds the changes made meanwhile into one
// Everything, so that reading a document with thousands of points redraws once.
class ModelEvents {
 public:
  void add(ModelObserver* observer) { observers_.push_back(observer); }
  void remove(ModelObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
  }

  void notify(const ModelChange& change) {
    if (holds_ > 0) {
      held_ = true;
      heldModifies_ = heldModifies_ || change.modifiesDocument;
      return;
    }
    // A copy: an observer may remove itself while being told.
    const std::vector<ModelObserver*> now = observers_;
    for (ModelObserver* o : now) o->model_changed(change);
  }

  class Hold {
   public:
    explicit Hold(ModelEvents& events) : events_(events), exceptions_(std::uncaught_exceptions()) {
      ++events_.holds_;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    // Tells the observers even when the hold ends by an error, since what was changed
    // before it stays; their own errors then give way to the first one.
    ~Hold() noexcept(false) {
      if (--events_.holds_ > 0 || !events_.held_) return;
      const ModelChange folded{ModelChange::Kind::Everything, -1, events_.heldModifies_};
      events_.held_ = events_.heldModifies_ = false;
      if (std::uncaught_exceptions() == exceptions_) {
        events_.notify(folded);
        return;
      }
      try {
        events_.notify(folded);
      } catch (...) {
      }
    }

   private:
    ModelEvents& events_;
    int exceptions_;
  };

 private:
  std::vector<ModelObserver*> observers_;
  int holds_ = 0;
  bool held_ = false;
  bool heldModifies_ = false;
};

}  // namespace vocanta
