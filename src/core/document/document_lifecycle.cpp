#include "core/document/document_lifecycle.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "core/model/edit_history.h"
#include "core/model/voice.h"
#include "core/support/atomic_file.h"
#include "core/support/file_paths.h"
#include "core/support/prompter.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

bool exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

constexpr const char* kBitmapFilter = "Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*";
constexpr const char* kMetafileFilter = "Windows metafile (*.wmf)|*.wmf|All files (*.*)|*.*";

// Refusals of a save that leave everything as it was.
class SaveRefused : public VocantaError {
 public:
  using VocantaError::VocantaError;
};

}  // namespace

std::string backup_path(const std::string& documentPath) {
  return change_extension(documentPath, ".~vt");
}

DocumentLifecycle::DocumentLifecycle(Voice& voice, EditHistory& history, Prompter& prompter,
                                     DocumentHost& host)
    : voice_(voice), history_(history), prompter_(&prompter), host_(host) {
  voice_.events.add(this);
}

DocumentLifecycle::~DocumentLifecycle() {
  voice_.events.remove(this);
}

void DocumentLifecycle::model_changed(const ModelChange& change) {
  if (change.modifiesDocument) documentModified_ = true;
}

bool DocumentLifecycle::ask_save_changes(bool closing) {
  if (!modified()) return true;
  const std::string name = documentPath.empty() ? "(untitled)" : documentPath;
  const Answer a = prompter_->ask_yes_no_cancel(
      name + (closing ? " has changed. Save?" : " has changed, save?"));
  if (a == Answer::Yes)
    save_document_as();
  else if (a == Answer::No)
    documentModified_ = false;
  return !modified();
}

void DocumentLifecycle::new_document() {
  if (!ask_save_changes()) return;
  host_.set_caption("Vocanta " + noticeText);
  reset_to_new(voice_);
  history_.clear();
  history_.mark_saved();
  host_.new_document_started();
  voice_.events.notify({ModelChange::Kind::Everything});
  voice_.events.notify({ModelChange::Kind::History});
  documentPath.clear();
  documentModified_ = false;
}

void DocumentLifecycle::open_document() {
  if (!partialOpen && !ask_save_changes()) return;
  const std::string path = prompter_->open_file_name("", kFilter, documentPath);
  if (!path.empty()) load_document(path);
}

void DocumentLifecycle::load_document(const std::string& path) {
  read_and_take(path, false);
}

void DocumentLifecycle::open_copy(const std::string& path) {
  read_and_take(path, true);
}

void DocumentLifecycle::read_and_take(const std::string& path, bool asCopy) {
  const ReadSelection everything;
  ReadResult r;
  try {
    read_document(voice_, decimalSeparator_, path, partialOpen && !asCopy ? selection : everything,
                  *prompter_, r);
  } catch (...) {
    // What was read before the bad entry stays and is shown; the entry's error is the
    // one the user hears of.
    try {
      show_read(r);
    } catch (...) {
    }
    throw;
  }
  if (!r.accepted) {
    if (exists(path)) voice_.events.notify({ModelChange::Kind::Everything});
    return;
  }
  take_read(path, r, asCopy);
  show_read(r);
}

void DocumentLifecycle::take_read(const std::string& path, const ReadResult& r, bool asCopy) {
  lastLoadedPath = path;
  if (asCopy) {
    documentPath.clear();
    samplePath = "*.smp";
    host_.set_caption("Vocanta (untitled)");
    documentModified_ = false;
    return;
  }
  if (partialOpen) {
    documentPath.clear();
    samplePath = "*.smp";
    host_.set_caption("Vocanta (untitled)");
    documentModified_ = true;
  } else {
    documentPath = path;
    samplePath = change_extension_as_on_disk(path, ".smp");
    host_.set_caption("Vocanta " + path);
    documentModified_ = r.versionDiffered;
  }
  host_.add_recent_file(path);
}

void DocumentLifecycle::show_read(const ReadResult& r) {
  // Steps taken before the read would undo into a voice that is no longer there.
  history_.clear();
  // Undo returns to what was read only where that is what the file holds.
  if (!documentModified_) history_.mark_saved();
  voice_.events.notify({ModelChange::Kind::History});
  // The windows show the document before a missing picture is asked about.
  voice_.events.notify({ModelChange::Kind::Everything});
  // A picture that cannot be read costs that picture, not the others nor the document.
  std::exception_ptr firstError;
  for (const auto& [index, name] : r.backgrounds) {
    try {
      host_.load_background(index, name);
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
    }
  }
  if (firstError) std::rethrow_exception(firstError);
}

bool DocumentLifecycle::save_document() {
  if (documentPath.empty()) return save_document_as();
  const std::string path = documentPath;
  // The new text is complete on the disk before the old version is touched, so that a
  // bad setting, a full disk or a read-only folder leaves the document as it was.
  PendingFile pending;
  // Composed once before the questions, so that a settings text that is not a number
  // is reported before anything is asked.
  std::string text = compose_document(voice_, decimalSeparator_);
  std::vector<int> dropped;
  if (settle_pasted_backgrounds(dropped))
    text = compose_document(voice_, decimalSeparator_, dropped);
  if (!pending.write(path, text)) throw VocantaError(unable_to_write(path, errno));
  try {
    // The earlier version is the file a link names, kept beside it; a device or FIFO,
    // written straight into, has none.
    if (!pending.direct()) move_old_version_away(pending.target(), backup_path(pending.target()));
  } catch (const SaveRefused& e) {
    prompter_->message(e.what());
    return false;
  }
  if (!pending.commit()) throw VocantaError(unable_to_write(path, errno));
  host_.set_caption("Vocanta " + path);
  samplePath = change_extension_as_on_disk(path, ".smp");
  host_.add_recent_file(path);
  documentModified_ = false;
  history_.mark_saved();
  return true;
}

bool DocumentLifecycle::settle_pasted_backgrounds(std::vector<int>& dropped) {
  bool asked = false;
  for (int i = 0; i < kParameterCount; ++i) {
    const Parameter& p = voice_.parameter(i);
    if (p.backgroundFile.find('*') == std::string::npos) continue;
    host_.show_parameter(i);
    if (prompter_->ask_yes_no(p.title + " background is not saved, save?") == Answer::Yes) {
      save_background(i);
    } else {
      set_background_file(voice_, i, "");
      dropped.push_back(i);
    }
    asked = true;
  }
  return asked;
}

void DocumentLifecycle::save_background(int index) {
  const PictureStore::Kind kind =
      pictures_ ? pictures_->picture_kind(index) : PictureStore::Kind::None;
  if (kind == PictureStore::Kind::None) return;
  const char* filter = kind == PictureStore::Kind::Bitmap ? kBitmapFilter : kMetafileFilter;
  const std::string chosen =
      prompter_->save_file_name("Save background...", filter, backgroundSaveName_);
  if (chosen.empty()) return;
  backgroundSaveName_ = chosen;
  pictures_->save_picture(index, chosen);
  set_background_file(voice_, index, chosen);
}

void DocumentLifecycle::move_old_version_away(const std::string& file, const std::string& backup) {
  if (exists(backup) && std::remove(backup.c_str()) != 0)
    throw SaveRefused("Cannot delete " + backup);
  if (exists(file) && std::rename(file.c_str(), backup.c_str()) != 0)
    throw SaveRefused("Cannot rename " + file + " to " + backup);
}

bool DocumentLifecycle::save_document_as() {
  const std::string path = prompter_->save_file_name("Save as...", kFilter, documentPath);
  if (path.empty()) return false;
  // A name that could not be written is not the document's: the next Save must go where
  // the caption says.
  const std::string previous = documentPath;
  documentPath = path;
  try {
    if (save_document()) return true;
  } catch (...) {
    documentPath = previous;
    throw;
  }
  documentPath = previous;
  return false;
}

void DocumentLifecycle::autosave(const std::string& sample) {
  const std::string path = change_extension_as_on_disk(sample, ".vta");
  // Only the document's own file is replaced unasked; any other, also the one an
  // untitled voice came from, gets the question a save dialog asks before it overwrites.
  const bool own = !documentPath.empty() && same_file(path, documentPath);
  if (!own && exists(path) &&
      prompter_->ask_yes_no(path + " already exists.\nDo you want to replace it?") != Answer::Yes)
    return;
  documentPath = path;
  save_document();
}

}  // namespace vocanta
