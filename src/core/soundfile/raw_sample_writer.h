#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vocanta {

// Mono 16-bit samples, least significant byte first, appended to an open file from a
// byte offset on: the body of a sample file, and the samples an audio file is made of.
class RawSampleWriter {
 public:
  RawSampleWriter() = default;
  RawSampleWriter(const RawSampleWriter&) = delete;
  RawSampleWriter& operator=(const RawSampleWriter&) = delete;
  ~RawSampleWriter() { close(); }

  // Takes the file over, positioned at offset; path is the file itself, shownPath the
  // name a failure gives the user. Throws when the file cannot be positioned.
  void attach(std::FILE* file, const std::string& path, int64_t offset,
              const std::string& shownPath);
  // Returns how many samples it kept; fewer than count leaves the reason in failure().
  size_t write(const int16_t* samples, size_t count);
  const std::string& failure() const { return failure_; }
  int64_t samples() const { return samples_; }
  bool is_open() const { return file_ != nullptr; }
  // False when the last bytes did not reach the file.
  bool close() noexcept;

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string shownPath_;
  int64_t offset_ = 0;
  int64_t samples_ = 0;
  std::vector<unsigned char> bytes_;
  std::string failure_;
};

}  // namespace vocanta
