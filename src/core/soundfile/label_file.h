#pragma once

#include <cstdint>
#include <string>

namespace vocanta {

// The ".CSV" beside a labelled build's file: the file's path on the first line, then
// one line per voice with its first sample, its length and its label.
class LabelFile {
 public:
  // samplePath is the build's file; the label file takes its name with ".CSV".
  explicit LabelFile(const std::string& samplePath);

  const std::string& path() const { return path_; }

  // Truncates any earlier label file; writes none when the build's file is a device or
  // FIFO.
  void start();
  // Opened and closed for every line, so that a build that dies keeps the voices done.
  void append(int64_t start, int64_t count, const std::string& label);

 private:
  std::string samplePath_;
  std::string path_;
  bool skipped_ = false;
};

// The label file's lines, CR LF ended: the first names the build's file, each other one
// gives a voice's first sample, its length and its label.
std::string label_file_head(const std::string& samplePath);
std::string label_line(int64_t start, int64_t count, const std::string& label);

// "Cannot write to PATH: No space left on device": what failed and the system's reason.
std::string file_failure(const std::string& what, const std::string& path, int error);

}  // namespace vocanta
