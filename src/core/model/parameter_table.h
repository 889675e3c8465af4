#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vocanta {

constexpr int kParameterCount = 23;

// Where a parameter's x axis ends after New or a change of the settings.
enum class XRange {
  Duration,        // 0 .. the voice duration text
  HalfSampleRate,  // 0 .. half the sampling frequency
  Fixed,           // xMin .. xMax of the table
};

struct ParameterDefinition {
  std::string_view key;
  std::string_view title;
  std::string_view menuCaption;
  std::string_view xLabel, xUnit;
  std::string_view yLabel, yUnit;
  XRange xRange;
  std::string_view xMin, xMax;  // for XRange::Fixed
  std::string_view yMin, yMax;
  double defaultValue;
  bool showDefault;
  bool multiCurve;
  int16_t xQuantity, yQuantity;
  double xGridStep, xGridOffset;
};

// Indexed by the parameter index, which is not the menu order.
extern const std::array<ParameterDefinition, kParameterCount> kParameterTable;

// The order in which the definitions are installed.
extern const std::array<int, kParameterCount> kInstallOrder;

// Quantity codes of the axes; equal codes show the same physical quantity.
namespace quantity {
constexpr int16_t kTime = 0;
constexpr int16_t kPartialNumber = 2;
constexpr int16_t kFormantFrequency = 16;
}  // namespace quantity

// Parameter indices the program refers to by name.
namespace param {
constexpr int kOverallLevel = 0, kHarmonicLevel = 1, kSubharmonicLevel = 2, kNoiseLevel = 3,
              kF0 = 4, kF0Factor = 5, kVibratoFrequency = 6, kVibratoAmplitude = 7,
              kFlutterAmplitude = 8, kFlutterFrequency = 9, kFlutterQ = 10, kSpectralTilt = 11,
              kHarmonicSpectrum = 12, kSubharmonicSpectrum = 13, kTweenieSpectrum = 14,
              kFrequencyResponse = 15, kFormants = 16, kFormantFactor = 17, kFormantBandwidth = 18,
              kPhase = 19, kPhaseRandomness = 20, kSubPhase = 21, kSubPhaseRandomness = 22;
}  // namespace param

}  // namespace vocanta
