#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vocanta {

// The per-user store's file base name for an executable: its file name without folders,
// cut at the first ".".
QString store_base_name(const QString& executablePath);

// The per-user INI file of that base name in the user's configuration folder.
std::string per_user_store_path(const QString& baseName);

// Named values in sections of an INI file. Every read loads the file afresh and every
// write loads, changes and saves it through a temporary file at once, so that several
// wrappers on the same file (and a second instance of the program) never undo each
// other's writes. Names match without regard to letter case.
class SettingsStore {
 public:
  // The per-user store of this program, named after its executable.
  SettingsStore();
  // An INI file of that name.
  explicit SettingsStore(std::string fileName);

  // A stored whole number, non-zero for on; a missing entry or a text that is not a
  // whole number gives the default.
  bool ReadBool(std::string_view section, std::string_view name, bool fallback) const;
  void WriteBool(std::string_view section, std::string_view name, bool value);
  int ReadInteger(std::string_view section, std::string_view name, int fallback) const;
  void WriteInteger(std::string_view section, std::string_view name, int value);
  std::string ReadString(std::string_view section, std::string_view name,
                         std::string_view fallback) const;
  void WriteString(std::string_view section, std::string_view name, std::string_view value);
  void EraseSection(std::string_view section);

  const std::string& file_name() const { return path_; }

 private:
  std::string path_;
};

// The store shared by the programs of the tool family (the error log's switch), always
// the per-user file "Quirra".
class ToolFamilyStore : private SettingsStore {
 public:
  ToolFamilyStore();

  using SettingsStore::file_name;
  using SettingsStore::ReadBool;
  using SettingsStore::ReadString;
  using SettingsStore::WriteBool;
  using SettingsStore::WriteString;
};

}  // namespace vocanta
