#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/support/atomic_file.h"

namespace vocanta {

// The ".CSV" beside a labelled build's file: the file's path on the first line, then
// one line per voice with its first sample, its length and its label. It is written
// beside its target and put in place only together with the build's file, so that the
// two always belong together.
class LabelFile {
 public:
  // samplePath is the build's file; the label file takes its name with ".CSV".
  explicit LabelFile(const std::string& samplePath);
  LabelFile(const LabelFile&) = delete;
  LabelFile& operator=(const LabelFile&) = delete;
  ~LabelFile() { discard(); }

  const std::string& path() const { return path_; }

  // Begins the new label file; none when the build's file is a device or FIFO.
  void start();
  void append(int64_t start, int64_t count, const std::string& label);
  // Replaces any earlier label file with the new one. Throws VocantaError.
  void commit();
  void discard() noexcept;

 private:
  void close_file() noexcept;

  std::string samplePath_;
  std::string path_;
  PendingFile pending_;
  std::FILE* file_ = nullptr;
};

// The label file's lines, CR LF ended: the first names the build's file, each other one
// gives a voice's first sample, its length and its label.
std::string label_file_head(const std::string& samplePath);
std::string label_line(int64_t start, int64_t count, const std::string& label);

// "Cannot write to PATH: No space left on device": what failed and the system's reason.
std::string file_failure(const std::string& what, const std::string& path, int error);

}  // namespace vocanta
