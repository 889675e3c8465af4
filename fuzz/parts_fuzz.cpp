// Crafted parts of a series with their label files, as merge, info and the sound viewer
// meet them: each input is a sample file's bytes and, after the first line "--labels--"
// in it, the text of its label file. Nothing may crash, hang or run out of memory; a part
// that is refused throws.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/build/part_merge.h"
#include "core/soundfile/label_file_reader.h"
#include "core/soundfile/sample_file_info.h"
#include "core/soundfile/sound_file_info.h"
#include "core/soundfile/sound_file_reader.h"
#include "core/support/vocanta_error.h"
#include "fuzz_check.h"

using namespace vocanta;
namespace fs = std::filesystem;

namespace {

// A folder of the process's own for the files, gone when it ends.
struct Folder {
  fs::path path;
  Folder() {
    std::string name = (fs::temp_directory_path() / "vocanta-fuzz-parts-XXXXXX").string();
    if (!::mkdtemp(name.data())) std::abort();
    path = name;
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

const fs::path& folder() {
  static const Folder made;
  return made.path;
}

void put(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <typename Read>
void refused_or_read(Read read) {
  try {
    read();
  } catch (const VocantaError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = fuzz::as_text(data, size);
  constexpr std::string_view kMark = "--labels--\n";
  const size_t mark = input.find(kMark);
  const fs::path part = folder() / "part.smp", labels = folder() / "part.CSV";
  put(part, input.substr(0, mark));
  put(labels, mark == std::string_view::npos ? "" : input.substr(mark + kMark.size()));
  refused_or_read([&] { read_sample_file_info(part.string()); });
  refused_or_read([&] { read_sound_file(part.string()); });
  refused_or_read([&] { read_sound_file_info(part.string()); });
  refused_or_read([&] { read_label_file(labels.string()); });
  const std::string out = (folder() / "whole.smp").string();
  refused_or_read([&] { merge_parts({part.string()}, out); });
  // The same part twice is refused before anything is written.
  fs::remove(out);
  try {
    merge_parts({part.string(), part.string()}, out);
    fuzz::require(false, "a part given twice is refused");
  } catch (const VocantaError&) {
  }
  fuzz::require(!fs::exists(out), "a refused merge writes nothing");
  return 0;
}
