#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vocanta {

// What a merge wrote.
struct MergedSeries {
  int64_t parts = 0;
  int64_t voices = 0;
  int64_t samples = 0;
};

// Joins the parts of one series, given in any order, into output and its label file:
// the very files one build of the whole series would have written there (a sample
// file, or an audio file with a cue point per voice). Parts that are missing, doubled,
// incomplete or of another series are refused, naming the part, before anything is
// written; the files appear only when complete. Throws VocantaError.
MergedSeries merge_parts(const std::vector<std::string>& parts, const std::string& output);

}  // namespace vocanta
