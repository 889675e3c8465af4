#include "core/soundfile/sample_file_info.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "core/model/sampling_frequency.h"
#include "core/soundfile/label_file.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// The largest header a sample file can have.
constexpr size_t kMaxHeader = 32767;

std::string read_front(const std::string& path, int64_t& fileSize) {
  std::error_code ec;
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  const auto size = std::filesystem::file_size(path, ec);
  if (!in || ec || std::filesystem::is_directory(path, ec))
    throw VocantaError(file_failure("Cannot read", path, errno));
  fileSize = static_cast<int64_t>(size);
  std::string text(std::min<uintmax_t>(size, kMaxHeader), '\0');
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size())))
    throw VocantaError(file_failure("Cannot read", path, errno));
  return text;
}

// Items up to the end-of-items line "="; false when there is no such line.
bool parse_items(std::string_view text, thead& header) {
  for (size_t start = 0;;) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) return false;
    const std::string_view line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.find('\0') != std::string_view::npos) return false;
    if (line == "=") return true;
    header.set(line.substr(0, equals), line.substr(equals + 1));
    start = end + 2;
  }
}

void check_item(const SampleFileInfo& info, const char* name, const char* expected,
                const std::string& path, const std::string& what) {
  const std::string value = info.header.get(name);
  if (!value.empty() && value != expected)
    throw VocantaError(path + " holds " + what + " (" + name + "=" + value +
                       "); only mono 16-bit samples, least significant byte first, are read");
}

}  // namespace

SampleFileInfo read_sample_file_info(const std::string& path) {
  int64_t fileSize = 0;
  const std::string front = read_front(path, fileSize);
  SampleFileInfo info;
  thead& h = info.header;
  if (!parse_items(front, h) || h.get("file") != "samp" || h.error() != 0 ||
      fileSize < h.header_size())
    throw VocantaError(path + " is not a sample file");
  check_item(info, "nchans", "1", path, "more than one channel");
  check_item(info, "msb", "last", path, "samples of another byte order");
  int fs = 0;
  if (!try_parse_integer(h.get("sftot"), fs))
    throw VocantaError(path + " gives no valid sampling frequency (sftot=" + h.get("sftot") + ")");
  refuse_sampling_frequency(fs, h.get("sftot"));
  info.samplingFrequency = fs;
  info.samples = (fileSize - h.header_size()) / 2;
  return info;
}

}  // namespace vocanta
