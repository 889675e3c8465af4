#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Writes bytes to a new file beside path, flushes them to the disk and renames the file
// over path. On any failure path is left as it was, false is returned and errno says why.
bool write_file_atomically(const std::string& path, std::string_view bytes);

// A file written completely beside its target before anything happens to the target,
// for callers that must rearrange files (a backup) between writing and replacing.
// Destroyed without commit(), it removes what it wrote.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() { discard(); }

  // Writes and flushes the bytes to a new temporary file beside target. On failure,
  // errno says why.
  bool write(const std::string& target, std::string_view bytes);
  // Creates the new temporary file beside target, empty, for a caller that writes it
  // itself; returns its open descriptor (the caller closes it), or -1.
  int create(const std::string& target);
  const std::string& temp_path() const { return temp_; }
  // Renames the temporary file over the target; false with errno set on failure.
  bool commit();
  void discard();

 private:
  std::string target_;
  std::string temp_;
};

// "Unable to write to PATH: Permission denied": the reason when errno-like error has one.
std::string unable_to_write(const std::string& path, int error);

}  // namespace vocanta
