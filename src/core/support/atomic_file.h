#pragma once

#include <string>
#include <string_view>

namespace vocanta {

// Where an output named path really goes; the one rule of every file the program writes.
// A symlink is followed to the file it names (also one still to come), which is written
// or replaced there, so that the link stays a link. A device or FIFO is written straight
// into and never replaced by a file of our own; it has no folder of its own either, so
// no file is made beside it (not even a label file).
struct OutputTarget {
  std::string path;
  bool special = false;
};
OutputTarget resolve_output(const std::string& path);

// Writes bytes to a new file beside path, flushes them to the disk and renames the file
// over path. On any failure path is left as it was, false is returned and errno says why.
bool write_file_atomically(const std::string& path, std::string_view bytes);

// A file written completely beside its target before anything happens to the target,
// for callers that must rearrange files (a backup) between writing and replacing.
// Destroyed without commit(), it removes what it wrote. A target that is a device or
// FIFO is written directly instead, and commit() has nothing left to do.
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
  // itself; returns its open descriptor (the caller closes it), or -1 with errno set.
  // Temporary files of the same target left by a run that died are removed first.
  int create(const std::string& target);
  // A temporary file for gathering data on the way to target, never committed: beside
  // target, or in the system's temporary folder when target is a device or FIFO.
  int create_scratch(const std::string& target);
  const std::string& temp_path() const { return temp_; }
  // The file that commit() replaces (a symlink's target), or that is written directly.
  const std::string& target() const { return target_; }
  bool direct() const { return direct_; }
  // Renames the temporary file over the target; false with errno set on failure.
  bool commit();
  void discard();

 private:
  int create_beside(const std::string& target);
  // The same, after removing what killed runs left beside target.
  int create_beside_fresh(const std::string& target);

  std::string target_;
  std::string temp_;
  bool direct_ = false;
};

// "Unable to write to PATH: Permission denied": the reason when errno-like error has one.
std::string unable_to_write(const std::string& path, int error);

}  // namespace vocanta
