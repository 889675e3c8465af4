#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vocanta {

// An INI text held in memory: sections and keys match without regard to letter case,
// a write replaces a value in place or appends the entry to the end of its section, a
// new section goes to the end of the text. Lines end at CR LF, LF or a lone CR and are
// written with CR LF; the bytes of names and values are kept unchanged. Comment lines
// (";"), blank lines and lines the class does not understand are kept but never read; of
// repeated sections or keys the first one counts.
class IniFile {
 public:
  // The classic reader cut values at 2,047 characters and read key lists through a
  // 16,384-character buffer. Documents are read in full; the limits remain for callers
  // that must behave exactly like that reader.
  struct Limits {
    size_t valueLength = 0;    // 0 = no limit
    size_t keyListBuffer = 0;  // 0 = no limit
  };
  static constexpr Limits kClassicLimits{2047, 16384};

  IniFile() = default;
  explicit IniFile(std::string_view text) { parse(text); }

  // Reads the file; a file that does not exist gives an empty INI text and false.
  // A file that exists but cannot be read raises an error.
  bool load(const std::string& path);
  // Writes the whole text to a temporary file beside path and renames it into place,
  // so that the old file stays intact until the new one is complete.
  void save(const std::string& path) const;

  void set_limits(Limits limits) { limits_ = limits; }

  bool has_section(std::string_view section) const;
  bool has_key(std::string_view section, std::string_view key) const;
  std::string read(std::string_view section, std::string_view key, std::string_view fallback) const;
  std::vector<std::string> keys(std::string_view section) const;
  std::vector<std::string> sections() const;

  void write(std::string_view section, std::string_view key, std::string_view value);
  void erase_section(std::string_view section);

  std::string text() const;

 private:
  struct Line {
    std::string raw;  // the line as read, for lines that are not entries
    bool entry = false;
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::string header;  // the header line as read or written
    std::vector<Line> lines;
    std::unordered_map<std::string, size_t> index;  // folded key -> first line
  };

  void parse(std::string_view text);
  const Section* find_section(std::string_view name) const;
  Section* find_section(std::string_view name);
  const Line* find_entry(std::string_view section, std::string_view key) const;
  void reindex();

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;
  Limits limits_;
};

// Reads the file at path (raising when it exists but cannot be read, so that a write
// never replaces entries it could not see), applies the change and saves the whole
// text at once, creating the folder when it is missing.
void change_ini_file(const std::string& path, const std::function<void(IniFile&)>& change);

}  // namespace vocanta
