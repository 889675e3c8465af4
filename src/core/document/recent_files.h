#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vocanta {

class IniFile;

// Where a file lies, as far as the recent files list cares: documents on media that
// come and go (or vanish at the next restart) are not worth listing.
enum class DriveKind { Other, Missing, Fixed, Remote, Removable, CDROM, RAMDisk };

// Which kinds of drive may hold a listed file; a missing folder never does, a kind
// that cannot be told always may.
struct DriveAllowance {
  bool fixed = true;
  bool remote = true;
  bool removable = false;
  bool cdrom = false;
  bool ramDisk = false;

  bool allows(DriveKind kind) const;
};

// The documents used most recently, newest first, as full UTF-8 paths. Sixteen slots
// are kept; only the first MaxItems (at most 15, one hexadecimal digit each) are shown
// and stored. After every change a path stands at most once (names that differ in
// letter case are different files) and the filled slots stand first.
class RecentFileList {
 public:
  static constexpr int kSlots = 16;
  static constexpr int kMaxItemsLimit = 15;
  static constexpr size_t kMaxPathLength = 255;  // in characters
  static constexpr std::string_view kSection = "RecentFiles";

  using ExistsFn = std::function<bool(const std::string& path)>;

  int max_items() const { return maxItems_; }
  void set_max_items(int count);

  // index 0 is the most recent file; an empty text is an empty slot.
  const std::string& slot(int index) const { return slots_.at(static_cast<size_t>(index)); }
  // Filled slots among the shown ones.
  int shown_count() const;

  // Puts the path at the top and drops an older entry of it. A path longer than the
  // slots hold is not listed at all: cut short it would name another file or none.
  // Returns whether the path was listed.
  bool add(std::string_view fullPath);
  void remove(int index);
  void clear();

  // Replaces the section with "nToUse" and the shown slots under the keys "1".."F".
  void store_into(IniFile& ini) const;
  // Takes the stored list in; slots whose file does not exist stay empty.
  void load_from(const IniFile& ini, const ExistsFn& exists);

 private:
  void normalize();

  std::array<std::string, kSlots> slots_;
  int maxItems_ = 5;
};

// The key of a slot in the stored section: its number 1..15 as one hexadecimal digit.
std::string recent_file_key(int number);

}  // namespace vocanta
