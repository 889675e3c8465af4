#include "core/soundfile/label_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/support/atomic_file.h"
#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

void write_line(const std::string& path, const char* mode, const std::string& line) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f)
    throw VocantaError(
        file_failure(*mode == 'w' ? "Cannot create" : "Cannot write to", path, errno));
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError(file_failure("Cannot write to", path, errno));
}

}  // namespace

std::string file_failure(const std::string& what, const std::string& path, int error) {
  std::string text = what + " " + path;
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

std::string label_file_head(const std::string& samplePath) {
  return samplePath + "\r\n";
}

std::string label_line(int64_t start, int64_t count, const std::string& label) {
  return std::to_string(start) + "," + std::to_string(count) + "," + label + "\r\n";
}

LabelFile::LabelFile(const std::string& samplePath)
    : samplePath_(samplePath), path_(change_extension(samplePath, ".CSV")) {}

void LabelFile::start() {
  // Samples written into a device or FIFO go to a reader or nowhere; a label file made
  // beside it would be a stray file among device nodes that no one asked for.
  skipped_ = resolve_output(samplePath_).special;
  if (!skipped_) write_line(path_, "wb", label_file_head(samplePath_));
}

void LabelFile::append(int64_t start, int64_t count, const std::string& label) {
  if (!skipped_) write_line(path_, "ab", label_line(start, count, label));
}

}  // namespace vocanta
