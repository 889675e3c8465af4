#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/support/atomic_file.h"

namespace vocanta {

// A text file that describes a build's file (a table of its voices, a TextGrid).
struct CompanionText {
  std::string path;
  std::string bytes;
};

// Asked once the samples are all written, so that the texts describe what was built.
using CompanionSource = std::function<std::vector<CompanionText>()>;

// The texts beside a series' file, put in place with it and its label file: each is
// written completely beside its target first, and all are renamed over their targets only
// once the series' file is in place, so that a failed build leaves the earlier set.
class CompanionFiles {
 public:
  void set_source(CompanionSource source) { source_ = std::move(source); }
  bool empty() const { return !source_; }

  // Writes every text beside its target; none when the series goes to a device or FIFO,
  // which has no folder of its own. Throws VocantaError.
  void prepare(const std::string& seriesPath);
  // Renames the texts over their targets. Throws VocantaError.
  void commit();
  void discard() noexcept;

 private:
  CompanionSource source_;
  std::vector<std::unique_ptr<PendingFile>> pending_;
  std::vector<std::string> paths_;
};

}  // namespace vocanta
