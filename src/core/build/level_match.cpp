#include "core/build/level_match.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

std::string spill_failure(int error) {
  std::string text = "Cannot hold a voice in a temporary file for level matching";
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

}  // namespace

std::optional<LevelTarget> parse_level_target(const std::string& text) {
  const auto equals = text.find('=');
  if (equals == std::string::npos) return {};
  const std::string kind = text.substr(0, equals);
  LevelTarget target;
  if (kind == "peak")
    target.measure = LevelTarget::Measure::Peak;
  else if (kind == "rms")
    target.measure = LevelTarget::Measure::Rms;
  else
    return {};
  if (!try_parse_number(text.substr(equals + 1), target.dB) || !std::isfinite(target.dB)) return {};
  return target;
}

std::string level_target_text(const LevelTarget& target) {
  return std::string(target.measure == LevelTarget::Measure::Peak ? "peak=" : "rms=") +
         format_round_trip(target.dB);
}

void LevelMeter::add(const double* values, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    // An undefined value is written as silence; it must not make the gain undefined.
    if (!std::isfinite(values[i])) continue;
    peak_ = std::max(peak_, std::fabs(values[i]));
    squares_ += values[i] * values[i];
  }
  count_ += static_cast<int64_t>(count);
}

double LevelMeter::gain_dB(const LevelTarget& target) const {
  const double level =
      target.measure == LevelTarget::Measure::Peak
          ? peak_
          : std::sqrt(squares_ / static_cast<double>(std::max<int64_t>(count_, 1)));
  if (!(level > 0) || !std::isfinite(level)) return 0;
  return target.dB - 20 * std::log10(level / kFullScale);
}

int16_t matched_sample(double value, double factor, int64_t& clipped) {
  bool over = false;
  const int16_t sample = round_sample(value * factor, over);
  if (over) ++clipped;
  return sample;
}

VoiceValues::VoiceValues(size_t inMemory) : inMemory_(inMemory) {}

VoiceValues::~VoiceValues() {
  if (spill_) std::fclose(spill_);
}

void VoiceValues::append(const double* values, size_t count) {
  if (reading_) clear();
  const size_t kept = std::min(count, inMemory_ - std::min(inMemory_, memory_.size()));
  memory_.insert(memory_.end(), values, values + kept);
  if (kept == count) return;
  errno = 0;
  if (!spill_ && !(spill_ = std::tmpfile())) throw VocantaError(spill_failure(errno));
  errno = 0;
  if (std::fwrite(values + kept, sizeof *values, count - kept, spill_) != count - kept)
    throw VocantaError(spill_failure(errno));
}

void VoiceValues::rewind() {
  reading_ = true;
  readAt_ = 0;
  errno = 0;
  if (spill_ && (std::fflush(spill_) != 0 || std::fseek(spill_, 0, SEEK_SET) != 0))
    throw VocantaError(spill_failure(errno));
}

size_t VoiceValues::read(double* values, size_t count) {
  const size_t fromMemory = std::min(count, memory_.size() - readAt_);
  std::copy_n(memory_.begin() + static_cast<std::ptrdiff_t>(readAt_), fromMemory, values);
  readAt_ += fromMemory;
  if (fromMemory == count || !spill_) return fromMemory;
  errno = 0;
  const size_t n = std::fread(values + fromMemory, sizeof *values, count - fromMemory, spill_);
  if (n < count - fromMemory && std::ferror(spill_)) throw VocantaError(spill_failure(errno));
  return fromMemory + n;
}

void VoiceValues::clear() {
  memory_.clear();
  readAt_ = 0;
  reading_ = false;
  if (spill_) std::fclose(spill_);
  spill_ = nullptr;
}

}  // namespace vocanta
