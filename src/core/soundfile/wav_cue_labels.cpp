#include "core/soundfile/wav_cue_labels.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/soundfile/label_file.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

constexpr uint64_t kRiffLimit = 0xFFFFFFFF;

void put_u32(std::string& to, uint64_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    to += static_cast<char>(static_cast<unsigned char>(value >> shift));
}

uint32_t get_u32(const unsigned char* from) {
  return static_cast<uint32_t>(from[0] | from[1] << 8 | from[2] << 16) |
         static_cast<uint32_t>(from[3]) << 24;
}

void add_chunk(std::string& to, const char* id, const std::string& body) {
  to.append(id, 4);
  put_u32(to, body.size());
  to += body;
  if (body.size() % 2 != 0) to += '\0';
}

bool write_all(int fd, const char* bytes, size_t count, off_t at) {
  while (count > 0) {
    const ssize_t n = ::pwrite(fd, bytes, count, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    count -= static_cast<size_t>(n);
    at += n;
  }
  return true;
}

}  // namespace

std::string cue_label_chunk(const std::vector<CuePoint>& cues) {
  if (cues.empty()) return {};
  std::string list = "adtl";
  for (size_t i = 0; i < cues.size(); ++i) {
    std::string labl;
    put_u32(labl, i + 1);
    labl += cues[i].label;
    labl += '\0';
    add_chunk(list, "labl", labl);
  }
  std::string chunk;
  add_chunk(chunk, "LIST", list);
  return chunk;
}

void append_cue_labels(int fd, const std::string& target, const std::vector<CuePoint>& cues) {
  const std::string chunk = cue_label_chunk(cues);
  if (chunk.empty()) return;
  std::array<unsigned char, 12> head{};
  errno = 0;
  if (::pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size()))
    throw VocantaError(file_failure("Cannot read", target, errno));
  if (std::memcmp(head.data(), "RIFF", 4) != 0 || std::memcmp(head.data() + 8, "WAVE", 4) != 0)
    throw VocantaError("Cannot name the cue points of " + target + ": it is no RIFF WAV file");
  // The chunks end where the RIFF size says, padded to an even length.
  const uint64_t riff = get_u32(head.data() + 4);
  const uint64_t end = 8 + riff + riff % 2;
  const uint64_t grown = end - 8 + chunk.size();
  if (grown > kRiffLimit)
    throw VocantaError("Cannot write " + target + ": the names of its " +
                       std::to_string(cues.size()) +
                       " cue points would make it larger than a WAV file can be (4 GiB)");
  std::string size;
  put_u32(size, grown);
  errno = 0;
  if (!write_all(fd, chunk.data(), chunk.size(), static_cast<off_t>(end)) ||
      !write_all(fd, size.data(), size.size(), 4))
    throw VocantaError(file_failure("Cannot write to", target, errno));
}

}  // namespace vocanta
