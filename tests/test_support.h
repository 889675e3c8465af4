#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/build/build_host.h"
#include "core/document/document_lifecycle.h"
#include "core/document/picture_store.h"
#include "core/model/model_observer.h"
#include "core/support/prompter.h"

namespace vocanta::testing {

// Records every text shown and returns queued answers (Yes when the queue is empty).
class ScriptedPrompter : public Prompter {
 public:
  std::vector<std::string> shown;
  // The filter and the proposed name of each file dialog.
  std::vector<std::pair<std::string, std::string>> fileDialogs;
  std::deque<Answer> answers;
  std::deque<std::string> fileNames;

  void message(const std::string& text) override { shown.push_back(text); }
  Answer ask_yes_no(const std::string& q) override { return next(q); }
  Answer ask_yes_no_cancel(const std::string& q) override { return next(q); }
  std::string open_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override {
    fileDialogs.emplace_back(filter, initial);
    return next_file(title);
  }
  std::string save_file_name(const std::string& title, const std::string& filter,
                             const std::string& initial) override {
    fileDialogs.emplace_back(filter, initial);
    return next_file(title);
  }

 private:
  Answer next(const std::string& q);
  std::string next_file(const std::string& title);
};

// Stands in for the windows of a document: keeps the caption and the recent files and
// logs what was asked about background pictures ("show 4", "load 4 name").
class RecordingDocumentHost : public DocumentHost {
 public:
  explicit RecordingDocumentHost(class Voice& voice) : voice_(voice) {}
  std::string caption;
  std::vector<std::string> recent;
  std::vector<std::string> calls;
  std::string unreadable;        // a picture that cannot be read
  std::function<void()> onLoad;  // what the windows see while a picture is loaded

  void set_caption(const std::string& c) override { caption = c; }
  void new_document_started() override { calls.push_back("new"); }
  void add_recent_file(const std::string& p) override { recent.push_back(p); }
  void load_background(int index, const std::string& path) override;
  void show_parameter(int index) override;

 private:
  class Voice& voice_;
};

// Stands in for the windows' pictures: the kind each parameter holds (none unless
// given) and where they were written ("21 /tmp/sub.wmf"); a picture that cannot be
// written raises.
class RecordingPictures : public PictureStore {
 public:
  std::map<int, Kind> kinds;
  int unwritable = -1;
  mutable std::vector<std::string> saved;

  Kind picture_kind(int index) const override;
  void save_picture(int index, const std::string& path) const override;
};

// Every change the model told its observers of, while it lives.
class ChangeLog : public ModelObserver {
 public:
  explicit ChangeLog(ModelEvents& events) : events_(events) { events_.add(this); }
  ~ChangeLog() override { events_.remove(this); }
  void model_changed(const ModelChange& c) override { changes.push_back(c); }
  int count(ModelChange::Kind kind) const;
  // Whether a change made the document modified.
  bool modified() const;

  std::vector<ModelChange> changes;

 private:
  ModelEvents& events_;
};

// A clock that moves 60 ms per reading, so that window messages get their turn at
// nearly every block; onEvents stands for what the user does meanwhile.
class EventHost : public QuietBuildHost {
 public:
  uint32_t tick_count() override { return now += 60; }
  void process_events() override {
    if (onEvents) onEvents();
  }
  uint32_t now = 0;
  std::function<void()> onEvents;
};

// A folder of its own for each test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Limits the size of the files this process writes while it lives, so that a write
// fails half-way even for root, whom read-only folders do not stop.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(unsigned long bytes);
  ~FileSizeLimit();

 private:
  unsigned long oldCurrent_ = 0;
  void (*oldHandler_)(int) = nullptr;
};

std::string read_file(const std::string& path);
// Every file in folder by name, with its bytes.
std::map<std::string, std::string> folder_files(const std::string& folder);
void write_file(const std::string& path, const std::string& bytes);

}  // namespace vocanta::testing
