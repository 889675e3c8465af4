#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vocanta {

// Levels are in dB of full scale, full scale being 32768: a square wave of full scale
// has an RMS level of 0 dB and a sine of full scale -3.01 dB, as common audio tools
// measure 16-bit files.
inline constexpr double kFullScale = 32768;

// What each voice of a build is brought to: its highest magnitude or its RMS level.
struct LevelTarget {
  enum class Measure { Peak, Rms };
  Measure measure = Measure::Peak;
  double dB = 0;
};

// "peak=-1" or "rms=-20" (a finite number of dB); nothing for any other text.
std::optional<LevelTarget> parse_level_target(const std::string& text);
// The text parse_level_target reads back.
std::string level_target_text(const LevelTarget& target);

// The peak and the RMS of a voice's values before rounding.
class LevelMeter {
 public:
  void add(const double* values, size_t count);
  // The gain in dB that brings the values to target; 0 for a voice that is silent, which
  // no gain could bring anywhere.
  double gain_dB(const LevelTarget& target) const;

 private:
  double peak_ = 0;
  double squares_ = 0;
  int64_t count_ = 0;
};

// A sample of the build from a value and a gain factor, rounded as the renderer rounds;
// clipped counts the values beyond the 16-bit range (or undefined).
int16_t matched_sample(double value, double factor, int64_t& clipped);

// The values of one voice, held until its gain is known: in memory up to a bound, the
// rest in a temporary file, so that a long voice at a high rate cannot exhaust memory.
class VoiceValues {
 public:
  explicit VoiceValues(size_t inMemory);
  VoiceValues(const VoiceValues&) = delete;
  VoiceValues& operator=(const VoiceValues&) = delete;
  ~VoiceValues();

  // Throws VocantaError when the temporary file cannot take them.
  void append(const double* values, size_t count);
  // From the first value again; appending starts a new voice after clear.
  void rewind();
  size_t read(double* values, size_t count);
  void clear();
  bool spilled() const { return spill_ != nullptr; }

 private:
  size_t inMemory_;
  std::vector<double> memory_;
  std::FILE* spill_ = nullptr;
  size_t readAt_ = 0;
  bool reading_ = false;
};

}  // namespace vocanta
