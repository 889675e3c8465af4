#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vocanta {

// One voice's line of a label file.
struct LabelLine {
  int64_t start = 0;  // the voice's first sample in the build's file
  int64_t count = 0;  // its samples
  std::string text;   // its label, everything after the second comma
};

struct LabelFileContents {
  std::string samplePath;  // the first line: the build's file as it was written
  std::vector<LabelLine> voices;
};

// Reads a label file (CR LF or LF line ends). Throws VocantaError when it cannot be read
// or a voice's line is not "start,count,label" with whole numbers of 0 or more.
LabelFileContents read_label_file(const std::string& path);

}  // namespace vocanta
