#include "test_support.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <random>
#include <sstream>

#include "core/model/voice.h"
#include "core/support/vocanta_error.h"

namespace vocanta::testing {

Answer ScriptedPrompter::next(const std::string& q) {
  shown.push_back(q);
  if (answers.empty()) return Answer::Yes;
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

std::string ScriptedPrompter::next_file(const std::string& title) {
  shown.push_back(title);
  if (fileNames.empty()) return {};
  std::string f = fileNames.front();
  fileNames.pop_front();
  return f;
}

int ChangeLog::count(ModelChange::Kind kind) const {
  return static_cast<int>(std::count_if(changes.begin(), changes.end(),
                                        [kind](const ModelChange& c) { return c.kind == kind; }));
}

bool ChangeLog::modified() const {
  return std::any_of(changes.begin(), changes.end(),
                     [](const ModelChange& c) { return c.modifiesDocument; });
}

void RecordingDocumentHost::show_parameter(int index) {
  calls.push_back("show " + std::to_string(index));
}

PictureStore::Kind RecordingPictures::picture_kind(int index) const {
  const auto it = kinds.find(index);
  return it == kinds.end() ? Kind::None : it->second;
}

void RecordingPictures::save_picture(int index, const std::string& path) const {
  if (index == unwritable) throw VocantaError("Cannot write " + path);
  saved.push_back(std::to_string(index) + " " + path);
}

void RecordingDocumentHost::load_background(int index, const std::string& path) {
  if (onLoad) onLoad();
  if (path == unreadable) throw VocantaError("Cannot read the picture " + path);
  calls.push_back("load " + std::to_string(index) + " " + path);
  voice_.parameter(index).backgroundFile = path;
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("vocanta-test-" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
  // The signal would end the process; ignored, the write returns an error instead.
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  oldCurrent_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = oldCurrent_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler_);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::map<std::string, std::string> folder_files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = read_file(entry.path().string());
  return files;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

}  // namespace vocanta::testing
