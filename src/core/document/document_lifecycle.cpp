#include "core/document/document_lifecycle.h"

#include <cstdio>
#include <filesystem>

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

// Refusals of a save that leave everything as it was.
class SaveRefused : public VocantaError {
 public:
  using VocantaError::VocantaError;
};

}  // namespace

std::string backup_path(const std::string& documentPath) {
  return change_extension(documentPath, ".~vt");
}

DocumentLifecycle::DocumentLifecycle(Voice& voice, Prompter& prompter, BackgroundHost& backgrounds,
                                     DocumentHost& host)
    : voice_(voice), prompter_(&prompter), backgrounds_(backgrounds), host_(host) {}

bool DocumentLifecycle::modified() const {
  return voice_.documentModified;
}

bool DocumentLifecycle::ask_save_changes(bool closing) {
  if (!modified()) return true;
  const std::string name = documentPath.empty() ? "(untitled)" : documentPath;
  const Answer a = prompter_->ask_yes_no_cancel(
      name + (closing ? " has changed. Save?" : " has changed, save?"));
  if (a == Answer::Yes)
    save_document_as();
  else if (a == Answer::No)
    voice_.documentModified = false;
  return !modified();
}

void DocumentLifecycle::new_document() {
  if (!ask_save_changes()) return;
  host_.set_caption("Vocanta " + noticeText);
  reset_to_new(voice_);
  host_.new_document_started();
  host_.voice_replaced();
  documentPath.clear();
  voice_.documentModified = false;
}

void DocumentLifecycle::open_document() {
  if (!partialOpen && !ask_save_changes()) return;
  const std::string path = prompter_->open_file_name("", kFilter, documentPath);
  if (!path.empty()) load_document(path);
}

void DocumentLifecycle::load_document(const std::string& path) {
  const ReadSelection everything;
  ReadResult r;
  try {
    r = read_document(voice_, path, partialOpen ? selection : everything, *prompter_, backgrounds_);
  } catch (...) {
    host_.voice_replaced();  // what was read before the bad entry stays and is shown
    throw;
  }
  if (!r.accepted) {
    if (exists(path)) host_.voice_replaced();
    return;
  }
  lastLoadedPath = path;
  if (partialOpen) {
    documentPath.clear();
    samplePath = "*.smp";
    host_.set_caption("Vocanta (untitled)");
    voice_.documentModified = true;
  } else {
    documentPath = path;
    samplePath = change_extension(path, ".smp");
    host_.set_caption("Vocanta " + path);
    voice_.documentModified = r.versionDiffered;
  }
  host_.add_recent_file(path);
  host_.voice_replaced();
}

void DocumentLifecycle::save_document() {
  if (documentPath.empty()) {
    save_document_as();
    return;
  }
  const std::string path = documentPath;
  // The new text is complete on the disk before the old version is touched, so that a
  // bad setting, a full disk or a read-only folder leaves the document as it was.
  PendingFile pending;
  const std::string text = compose_document(voice_, *prompter_, backgrounds_);
  if (!pending.write(path, text)) throw VocantaError("Unable to write to " + path);
  try {
    move_old_version_away(backup_path(path));
  } catch (const SaveRefused& e) {
    prompter_->message(e.what());
    return;
  }
  if (!pending.commit()) throw VocantaError("Unable to write to " + path);
  host_.set_caption("Vocanta " + path);
  samplePath = change_extension(path, ".SMP");
  host_.add_recent_file(path);
  voice_.documentModified = false;
}

void DocumentLifecycle::move_old_version_away(const std::string& backup) {
  if (exists(backup) && std::remove(backup.c_str()) != 0)
    throw SaveRefused("Cannot delete " + backup);
  if (exists(documentPath) && std::rename(documentPath.c_str(), backup.c_str()) != 0)
    throw SaveRefused("Cannot rename " + documentPath + " to " + backup);
}

void DocumentLifecycle::save_document_as() {
  const std::string path = prompter_->save_file_name("Save as...", kFilter, documentPath);
  if (path.empty()) return;
  documentPath = path;
  save_document();
}

void DocumentLifecycle::autosave(const std::string& sample) {
  documentPath = change_extension(sample, ".VTA");
  save_document();
}

}  // namespace vocanta
