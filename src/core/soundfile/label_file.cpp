#include "core/soundfile/label_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

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
  discard();
  // Samples written into a device or FIFO go to a reader or nowhere; a label file made
  // beside it would be a stray file among device nodes that no one asked for.
  if (resolve_output(samplePath_).special) return;
  errno = 0;
  const int fd = pending_.create(path_);
  file_ = fd < 0 ? nullptr : ::fdopen(fd, "wb");
  if (!file_) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    pending_.discard();
    throw VocantaError(file_failure("Cannot create", path_, error));
  }
  const std::string head = label_file_head(samplePath_);
  errno = 0;
  if (std::fwrite(head.data(), 1, head.size(), file_) != head.size())
    throw VocantaError(file_failure("Cannot write to", path_, errno));
}

void LabelFile::append(int64_t start, int64_t count, const std::string& label) {
  if (!file_) return;
  const std::string line = label_line(start, count, label);
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size())
    throw VocantaError(file_failure("Cannot write to", path_, errno));
}

void LabelFile::commit() {
  if (!file_) return;
  errno = 0;
  const bool flushed =
      std::fflush(file_) == 0 && (pending_.direct() || ::fsync(::fileno(file_)) == 0);
  const int error = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    pending_.discard();
    throw VocantaError(file_failure("Cannot write to", path_, flushed ? errno : error));
  }
  if (!pending_.commit()) throw VocantaError(file_failure("Cannot write to", path_, errno));
}

void LabelFile::close_file() noexcept {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void LabelFile::discard() noexcept {
  close_file();
  pending_.discard();
}

}  // namespace vocanta
