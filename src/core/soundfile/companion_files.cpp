#include "core/soundfile/companion_files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/soundfile/label_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

void CompanionFiles::prepare(const std::string& seriesPath) {
  discard();
  if (!source_ || resolve_output(seriesPath).special) return;
  for (CompanionText& text : source_()) {
    // Found now, while the earlier set is still whole: a rename over a folder would fail
    // only after the series' file had been replaced.
    std::error_code ec;
    if (std::filesystem::is_directory(resolve_output(text.path).path, ec)) {
      discard();
      throw VocantaError(file_failure("Cannot write to", text.path, EISDIR));
    }
    auto file = std::make_unique<PendingFile>();
    errno = 0;
    if (!file->write(text.path, text.bytes)) {
      const int error = errno;
      discard();
      throw VocantaError(file_failure("Cannot write to", text.path, error));
    }
    pending_.push_back(std::move(file));
    paths_.push_back(std::move(text.path));
  }
}

void CompanionFiles::commit() {
  for (size_t i = 0; i < pending_.size(); ++i) {
    errno = 0;
    if (!pending_[i]->commit()) {
      const int error = errno;
      const std::string path = paths_[i];
      discard();
      throw VocantaError(file_failure("Cannot write to", path, error));
    }
  }
  discard();
}

void CompanionFiles::discard() noexcept {
  pending_.clear();  // a pending file removes what it wrote unless it was committed
  paths_.clear();
}

}  // namespace vocanta
