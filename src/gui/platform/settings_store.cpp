#include "gui/platform/settings_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/support/ini_file.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// A store that cannot be read only costs the user the stored view options: the
// readers fall back to their defaults instead of stopping the program.
IniFile load_for_reading(const std::string& path) {
  IniFile ini;
  try {
    ini.load(path);
  } catch (const VocantaError&) {
    return IniFile();
  }
  return ini;
}

}  // namespace

QString store_base_name(const QString& executablePath) {
  const QString name = QFileInfo(executablePath).fileName();
  return name.left(name.indexOf(u'.'));  // the whole name when there is no "."
}

std::string per_user_store_path(const QString& baseName) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QFile::encodeName(folder + "/ZarvekData/" + baseName + ".ini").toStdString();
}

SettingsStore::SettingsStore()
    : path_(per_user_store_path(store_base_name(QCoreApplication::applicationFilePath()))) {}

SettingsStore::SettingsStore(std::string fileName) : path_(std::move(fileName)) {}

bool SettingsStore::ReadBool(std::string_view section, std::string_view name, bool fallback) const {
  return ReadInteger(section, name, fallback ? 1 : 0) != 0;
}

void SettingsStore::WriteBool(std::string_view section, std::string_view name, bool value) {
  WriteString(section, name, value ? "1" : "0");
}

int SettingsStore::ReadInteger(std::string_view section, std::string_view name,
                               int fallback) const {
  int value = 0;
  return try_parse_integer(ReadString(section, name, {}), value) ? value : fallback;
}

void SettingsStore::WriteInteger(std::string_view section, std::string_view name, int value) {
  WriteString(section, name, std::to_string(value));
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view name,
                                      std::string_view fallback) const {
  return load_for_reading(path_).read(section, name, fallback);
}

void SettingsStore::WriteString(std::string_view section, std::string_view name,
                                std::string_view value) {
  change_ini_file(path_, [&](IniFile& ini) { ini.write(section, name, value); });
}

void SettingsStore::EraseSection(std::string_view section) {
  change_ini_file(path_, [&](IniFile& ini) { ini.erase_section(section); });
}

ToolFamilyStore::ToolFamilyStore() : SettingsStore(per_user_store_path("Quirra")) {}

}  // namespace vocanta
