#include "core/support/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vocanta {
namespace {

constexpr const char* kTempMark = ".~tmp";

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
  return path + kTempMark + std::to_string(::getpid()) + "-" +
         std::to_string(static_cast<unsigned long long>(ticks) % 1000000u + attempt);
}

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The rename itself reaches the disk only with its folder.
void sync_folder_of(const std::string& path) {
  const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The name a dangling symlink would create: its chain followed as far as it goes.
std::string end_of_links(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) break;
    const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
    if (ec) break;
    path = (std::filesystem::path(path).parent_path() / to).string();
  }
  return path;
}

// A killed writer that nobody has reaped yet still answers a signal, but writes nothing.
bool is_zombie(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto paren = line.rfind(')');
  return paren != std::string::npos && paren + 2 < line.size() && line[paren + 2] == 'Z';
}

bool process_lives(long pid) {
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) && !is_zombie(pid);
}

// A run killed while it wrote leaves its temporary files; the next output of the same
// name removes those whose process is gone, never those of a run still writing.
void remove_stale_temporaries(const std::string& target) {
  const std::string folder = folder_of(target);
  const auto slash = target.rfind('/');
  const std::string prefix = target.substr(slash == std::string::npos ? 0 : slash + 1) + kTempMark;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const char* digits = name.c_str() + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '-' || process_lives(pid)) continue;
    struct stat st {};
    const std::string path = (slash == std::string::npos ? "" : folder) + name;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

OutputTarget resolve_output(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {end_of_links(path), false};
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return {path, true};
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return {path, false};
  const auto real = std::filesystem::canonical(path, ec);
  return {ec ? path : real.string(), false};
}

int PendingFile::create_beside(const std::string& target) {
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_ = temporary_name(target, attempt);
    // 0666 lets the user's umask decide, as for any file the program creates.
    fd = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

int PendingFile::create_beside_fresh(const std::string& target) {
  remove_stale_temporaries(target);
  return create_beside(target);
}

int PendingFile::create(const std::string& target) {
  discard();
  const OutputTarget out = resolve_output(target);
  if (!out.special) return create_beside_fresh(out.path);
  const int fd = ::open(out.path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd >= 0) {
    target_ = out.path;
    direct_ = true;
  }
  return fd;
}

int PendingFile::create_scratch(const std::string& target) {
  discard();
  const OutputTarget out = resolve_output(target);
  if (!out.special) return create_beside_fresh(out.path);
  std::error_code ec;
  const auto folder = std::filesystem::temp_directory_path(ec);
  return create_beside_fresh((ec ? std::string("/tmp") : folder.string()) + "/vocanta-scratch");
}

bool PendingFile::write(const std::string& target, std::string_view bytes) {
  const int fd = create(target);
  if (fd < 0) return false;
  // A device takes the bytes as they come; fsync means nothing to most of them.
  const bool written = write_all(fd, bytes) && (direct_ || ::fsync(fd) == 0);
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
  if (direct_) {
    direct_ = false;
    return true;
  }
  if (temp_.empty() || std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  temp_.clear();
  sync_folder_of(target_);
  return true;
}

void PendingFile::discard() {
  const int error = errno;
  if (!temp_.empty()) std::remove(temp_.c_str());
  temp_.clear();
  direct_ = false;
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
