#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/model/build_settings.h"
#include "core/model/edit_history.h"

namespace vocanta {

struct TCurve;

// The build settings texts and the randomize switch, as the settings dialog edits them.
// Changing the settings leaves the document unmodified, as it always has.
class SettingsCommand : public EditCommand {
 public:
  SettingsCommand(BuildSettings before, BuildSettings after)
      : before_(std::move(before)), after_(std::move(after)) {}
  std::string caption() const override { return "Settings"; }
  void apply(Voice& voice) override { set(voice, after_); }
  void revert(Voice& voice) override { set(voice, before_); }
  bool absorb(const EditCommand& next) override;
  bool modifies_document() const override { return false; }

 private:
  static void set(Voice& voice, const BuildSettings& settings);

  BuildSettings before_, after_;
};

// A new number of tweenies: the tweenie spectrum's curves, drawn for the old rows, are
// cleared (and kept here for undo) and its snap step follows the new count.
class TweenieCountCommand : public EditCommand {
 public:
  explicit TweenieCountCommand(int count) : count_(count) {}
  TweenieCountCommand(const TweenieCountCommand&) = delete;
  TweenieCountCommand& operator=(const TweenieCountCommand&) = delete;
  ~TweenieCountCommand() override;
  std::string caption() const override { return "Tweenie count"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  bool modifies_document() const override { return false; }

 private:
  int count_;
  int oldCount_ = 0;
  double oldGridStep_ = 0;
  TCurve* removed_ = nullptr;
};

// The time axes of every window spanned again from 0 to the duration as typed, when
// the settings dialog's OK applies a duration. The axes are view state, but they are
// part of the visit: its undo must not leave them spanning a duration no longer set.
class TimeAxesCommand : public EditCommand {
 public:
  std::string caption() const override { return "Settings"; }
  void apply(Voice& voice) override;
  void revert(Voice& voice) override;
  bool modifies_document() const override { return false; }

 private:
  static void tell(Voice& voice);

  // The limits before, of the time windows in parameter order.
  std::vector<std::pair<std::string, std::string>> before_;
};

// Whether the tweenie count text asks for a new layout of the tweenie spectrum: a
// whole number above 0 other than the count in use. Raises the conversion message of
// a text that is not a whole number.
bool tweenie_count_changes(const Voice& voice, int& count);

}  // namespace vocanta
