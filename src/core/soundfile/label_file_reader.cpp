#include "core/soundfile/label_file_reader.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <string_view>

#include "core/soundfile/label_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

bool parse_count(std::string_view text, int64_t& n) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  return error == std::errc() && end == text.data() + text.size() && n >= 0;
}

}  // namespace

LabelFileContents read_label_file(const std::string& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw VocantaError(file_failure("Cannot read", path, errno));
  LabelFileContents contents;
  std::string line;
  for (bool first = true; std::getline(in, line); first = false) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      contents.samplePath = line;
      continue;
    }
    const size_t a = line.find(','), b = a == std::string::npos ? a : line.find(',', a + 1);
    LabelLine l;
    if (b == std::string::npos || !parse_count(std::string_view(line).substr(0, a), l.start) ||
        !parse_count(std::string_view(line).substr(a + 1, b - a - 1), l.count))
      throw VocantaError(path + " is not a label file of a series: '" + line + "'");
    l.text = line.substr(b + 1);
    contents.voices.push_back(std::move(l));
  }
  if (in.bad()) throw VocantaError(file_failure("Cannot read", path, errno));
  return contents;
}

}  // namespace vocanta
