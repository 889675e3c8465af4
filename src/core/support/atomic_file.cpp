#include "core/support/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vocanta {
namespace {

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string temporary_name(const std::string& path, unsigned attempt) {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return path + ".~tmp" + std::to_string(::getpid()) + "-" +
         std::to_string(static_cast<unsigned long long>(ticks) % 1000000u + attempt);
}

// The rename itself reaches the disk only with its folder.
void sync_folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int PendingFile::create(const std::string& target) {
  discard();
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_ = temporary_name(target, attempt);
    // 0666 lets the user's umask decide, as for any file the program creates.
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error = errno;
    temp_.clear();
    errno = error;
    return -1;
  }
  target_ = target;
  return fd;
}

bool PendingFile::write(const std::string& target, std::string_view bytes) {
  const int fd = create(target);
  if (fd < 0) return false;
  const bool written = write_all(fd, bytes) && ::fsync(fd) == 0;
  const int error = errno;
  if (::close(fd) != 0 || !written) {
    const int reason = written ? errno : error;
    discard();
    errno = reason;
    return false;
  }
  return true;
}

bool PendingFile::commit() {
  if (temp_.empty() || std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  temp_.clear();
  sync_folder_of(target_);
  return true;
}

void PendingFile::discard() {
  const int error = errno;
  if (!temp_.empty()) std::remove(temp_.c_str());
  temp_.clear();
  errno = error;
}

bool write_file_atomically(const std::string& path, std::string_view bytes) {
  PendingFile file;
  return file.write(path, bytes) && file.commit();
}

std::string unable_to_write(const std::string& path, int error) {
  std::string text = "Unable to write to " + path;
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

}  // namespace vocanta
