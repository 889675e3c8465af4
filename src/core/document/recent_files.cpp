#include "core/document/recent_files.h"

#include <algorithm>

#include "core/support/ini_file.h"
#include "core/support/number_format.h"
#include "core/support/text_case.h"

namespace vocanta {
namespace {

// Characters, not bytes: a name in Greek or Cyrillic takes two bytes a letter.
size_t character_count(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool fits(std::string_view path) {
  return character_count(path) <= RecentFileList::kMaxPathLength;
}

}  // namespace

bool DriveAllowance::allows(DriveKind kind) const {
  switch (kind) {
    case DriveKind::Fixed:
      return fixed;
    case DriveKind::Remote:
      return remote;
    case DriveKind::Removable:
      return removable;
    case DriveKind::CDROM:
      return cdrom;
    case DriveKind::RAMDisk:
      return ramDisk;
    case DriveKind::Missing:
      return false;
    case DriveKind::Other:
      break;
  }
  return true;
}

std::string recent_file_key(int number) {
  return std::string(1, "0123456789ABCDEF"[number & 0xF]);
}

void RecentFileList::set_max_items(int count) {
  maxItems_ = std::clamp(count, 0, kMaxItemsLimit);
}

int RecentFileList::shown_count() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.begin() + maxItems_,
                                        [](const std::string& s) { return !s.empty(); }));
}

bool RecentFileList::add(std::string_view fullPath) {
  if (fullPath.empty() || !fits(fullPath)) return false;
  std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
  slots_.front() = std::string(fullPath);
  normalize();
  return true;
}

void RecentFileList::remove(int index) {
  slots_.at(static_cast<size_t>(index)).clear();
  normalize();
}

void RecentFileList::clear() {
  for (std::string& s : slots_) s.clear();
}

void RecentFileList::normalize() {
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].empty()) continue;
    for (size_t j = i + 1; j < slots_.size(); ++j)
      if (slots_[i] == slots_[j]) slots_[j].clear();
  }
  std::stable_partition(slots_.begin(), slots_.end(),
                        [](const std::string& s) { return !s.empty(); });
}

void RecentFileList::store_into(IniFile& ini) const {
  ini.erase_section(kSection);
  ini.write(kSection, "nToUse", std::to_string(maxItems_));
  for (int i = 0; i < maxItems_; ++i)
    ini.write(kSection, recent_file_key(i + 1), slots_[static_cast<size_t>(i)]);
}

void RecentFileList::load_from(const IniFile& ini, const ExistsFn& exists) {
  int count = maxItems_;
  if (!try_parse_integer(ini.read(kSection, "nToUse", {}), count)) count = maxItems_;
  set_max_items(count);
  for (int i = 0; i < maxItems_; ++i) {
    std::string path = ini.read(kSection, recent_file_key(i + 1), {});
    if (!path.empty() && (!fits(path) || !exists(path))) path.clear();
    slots_[static_cast<size_t>(i)] = std::move(path);
  }
  normalize();
}

}  // namespace vocanta
