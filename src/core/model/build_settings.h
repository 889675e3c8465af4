#pragma once

#include <string>

namespace vocanta {

// The build settings as the user typed them, numbers in the user's locale notation.
// They are converted only when a build or a save needs them, so that the conversion
// message names the text the user sees.
struct BuildSettings {
  std::string gain = "-20";
  std::string samplingFrequency = "16000";
  std::string duration = "1";
  std::string maxHarmonics = "1000";
  std::string tweenies = "1";
  bool randomize = false;

  // New resets the texts and keeps the randomize switch.
  void reset_texts() {
    const bool keep = randomize;
    *this = BuildSettings();
    randomize = keep;
  }
};

}  // namespace vocanta
