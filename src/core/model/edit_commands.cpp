#include "core/model/edit_commands.h"

#include "core/model/voice.h"
#include "core/support/number_format.h"

namespace vocanta {

bool SettingsCommand::absorb(const EditCommand& next) {
  const auto* later = dynamic_cast<const SettingsCommand*>(&next);
  if (!later) return false;
  after_ = later->after_;
  return true;
}

void SettingsCommand::set(Voice& voice, const BuildSettings& settings) {
  voice.settings = settings;
  voice.events.notify({ModelChange::Kind::Settings, -1, false});
}

TweenieCountCommand::~TweenieCountCommand() {
  delete_curve_chain(removed_);
}

void TweenieCountCommand::apply(Voice& voice) {
  Parameter& spectrum = voice.parameter(param::kTweenieSpectrum);
  oldCount_ = voice.tweeniesInUse;
  oldGridStep_ = spectrum.xGridStep;
  delete_curve_chain(removed_);
  removed_ = take_curves(spectrum.state);
  use_tweenie_count(voice, count_);
  voice.events.notify({ModelChange::Kind::TweenieCount, param::kTweenieSpectrum, false});
}

void TweenieCountCommand::revert(Voice& voice) {
  Parameter& spectrum = voice.parameter(param::kTweenieSpectrum);
  put_curves(spectrum.state, removed_);
  removed_ = nullptr;
  voice.tweeniesInUse = oldCount_;
  spectrum.xGridStep = oldGridStep_;
  voice.events.notify({ModelChange::Kind::TweenieCount, param::kTweenieSpectrum, false});
}

void TimeAxesCommand::apply(Voice& voice) {
  before_.clear();
  for (const Parameter& p : voice.parameters())
    if (p.xQuantity == quantity::kTime) before_.emplace_back(p.xMin, p.xMax);
  set_time_ranges(voice);
  tell(voice);
}

void TimeAxesCommand::revert(Voice& voice) {
  auto limits = before_.begin();
  for (Parameter& p : voice.parameters())
    if (p.xQuantity == quantity::kTime && limits != before_.end()) {
      p.xMin = limits->first;
      p.xMax = limits->second;
      ++limits;
    }
  tell(voice);
}

void TimeAxesCommand::tell(Voice& voice) {
  for (const Parameter& p : voice.parameters())
    if (p.xQuantity == quantity::kTime)
      voice.events.notify({ModelChange::Kind::AxisLimits, p.index(), false});
}

bool tweenie_count_changes(const Voice& voice, int& count) {
  count = parse_integer(voice.settings.tweenies);
  // Points placed for another number of rows no longer sit on the rows, so a new
  // count starts the tweenie spectrum afresh.
  return count > 0 && count != voice.tweeniesInUse;
}

}  // namespace vocanta
