#include "core/support/ini_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/support/atomic_file.h"
#include "core/support/text_case.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string fold(std::string_view s) {
  return to_lower_text(trim(s));
}

}  // namespace

bool IniFile::load(const std::string& path) {
  // A folder opens as a stream that reads nothing, and a FIFO would wait for a writer:
  // neither is an empty file.
  std::error_code statusError;
  const auto status = std::filesystem::status(path, statusError);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw VocantaError("Unable to read " + path);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) throw VocantaError("Unable to read " + path);
    parse({});  // an empty text, keeping the limits the caller set
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw VocantaError("Unable to read " + path);
  parse(bytes.str());
  return true;
}

void IniFile::save(const std::string& path) const {
  if (!write_file_atomically(path, text())) throw VocantaError("Unable to write to " + path);
}

void IniFile::parse(std::string_view text) {
  preamble_.clear();
  sections_.clear();
  // Editors that save UTF-8 may put a byte-order mark in front of the first section.
  // Every one is dropped: a second one kept as a line would be taken for the mark on
  // the next read, and the text would change with each save.
  while (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  size_t start = 0;
  while (start < text.size()) {
    // CR LF, LF and a lone CR each end a line: a CR left inside a value would be
    // written back as part of it and split the line for the next reader.
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);

    const std::string_view t = trim(line);
    if (!t.empty() && t.front() == '[') {
      const size_t close = t.find(']');
      Section s;
      s.name = std::string(trim(t.substr(1, close == std::string_view::npos ? t.npos : close - 1)));
      s.header = std::string(line);
      sections_.push_back(std::move(s));
      continue;
    }
    Line l;
    const size_t eq = line.find('=');
    if (!t.empty() && t.front() != ';' && eq != std::string_view::npos && !sections_.empty()) {
      l.entry = true;
      l.key = std::string(trim(line.substr(0, eq)));
      l.value = std::string(trim(line.substr(eq + 1)));
    } else {
      l.raw = std::string(line);
    }
    if (sections_.empty())
      preamble_.push_back(l.raw);
    else
      sections_.back().lines.push_back(std::move(l));
  }
  reindex();
}

void IniFile::reindex() {
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) {
    Section& s = sections_[i];
    sectionIndex_.emplace(fold(s.name), i);
    s.index.clear();
    for (size_t j = 0; j < s.lines.size(); ++j)
      if (s.lines[j].entry) s.index.emplace(fold(s.lines[j].key), j);
  }
}

const IniFile::Section* IniFile::find_section(std::string_view name) const {
  const auto it = sectionIndex_.find(fold(name));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::find_section(std::string_view name) {
  const auto it = sectionIndex_.find(fold(name));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Line* IniFile::find_entry(std::string_view section, std::string_view key) const {
  const Section* s = find_section(section);
  if (!s) return nullptr;
  const auto it = s->index.find(fold(key));
  return it == s->index.end() ? nullptr : &s->lines[it->second];
}

bool IniFile::has_section(std::string_view section) const {
  return find_section(section);
}

bool IniFile::has_key(std::string_view section, std::string_view key) const {
  return find_entry(section, key);
}

std::string IniFile::read(std::string_view section, std::string_view key,
                          std::string_view fallback) const {
  const Line* l = find_entry(section, key);
  if (!l) return std::string(fallback);
  if (limits_.valueLength && l->value.size() > limits_.valueLength)
    return l->value.substr(0, limits_.valueLength);
  return l->value;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
  std::vector<std::string> result;
  const Section* s = find_section(section);
  if (!s) return result;
  size_t used = 1;  // the list's own terminator
  for (size_t j = 0; j < s->lines.size(); ++j) {
    const Line& l = s->lines[j];
    if (!l.entry || s->index.at(fold(l.key)) != j) continue;  // a repeated key counts once
    used += l.key.size() + 1;
    if (limits_.keyListBuffer && used > limits_.keyListBuffer) break;
    result.push_back(l.key);
  }
  return result;
}

std::vector<std::string> IniFile::sections() const {
  std::vector<std::string> result;
  for (size_t i = 0; i < sections_.size(); ++i)
    if (sectionIndex_.at(fold(sections_[i].name)) == i) result.push_back(sections_[i].name);
  return result;
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = find_section(section);
  if (!s) {
    Section fresh;
    fresh.name = std::string(section);
    fresh.header = "[" + fresh.name + "]";
    sections_.push_back(std::move(fresh));
    sectionIndex_.emplace(fold(section), sections_.size() - 1);
    s = &sections_.back();
  }
  const std::string folded = fold(key);
  const auto it = s->index.find(folded);
  if (it != s->index.end()) {
    s->lines[it->second].value = std::string(value);
    return;
  }
  // After the last line that is not blank, so that a blank line before the next
  // section stays where it is.
  size_t at = s->lines.size();
  while (at > 0 && !s->lines[at - 1].entry && trim(s->lines[at - 1].raw).empty()) --at;
  Line l;
  l.entry = true;
  l.key = std::string(key);
  l.value = std::string(value);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
  if (at == s->lines.size() - 1) {
    s->index.emplace(folded, at);
  } else {
    reindex();
  }
}

void IniFile::erase_section(std::string_view section) {
  const std::string folded = fold(section);
  std::erase_if(sections_, [&](const Section& s) { return fold(s.name) == folded; });
  reindex();
}

std::string IniFile::text() const {
  std::string out;
  for (const std::string& l : preamble_) out += l + "\r\n";
  for (const Section& s : sections_) {
    out += s.header + "\r\n";
    for (const Line& l : s.lines) {
      if (l.entry)
        out += l.key + "=" + l.value + "\r\n";
      else
        out += l.raw + "\r\n";
    }
  }
  return out;
}

void change_ini_file(const std::string& path, const std::function<void(IniFile&)>& change) {
  IniFile ini;
  ini.load(path);
  change(ini);
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw VocantaError("Unable to write to " + path + ": " + ec.message());
  ini.save(path);
}

}  // namespace vocanta
