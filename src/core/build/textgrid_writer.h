#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vocanta {

// A stretch of a series' file: its first sample, its length and its label.
struct LabelledStretch {
  int64_t start = 0;
  int64_t length = 0;
  std::string label;
};

// The long text form of a TextGrid with one interval tier, "voices", an interval per
// stretch. The times are the sample counts divided by the sampling frequency, written
// with every digit the double has, so that one interval ends exactly where the next
// begins and a script finds each voice's first sample again.
std::string textgrid_text(const std::vector<LabelledStretch>& stretches, int32_t samplingFrequency);

// A text in double quotes with its quotes doubled, as the TextGrid form writes it.
std::string textgrid_string(const std::string& text);

}  // namespace vocanta
