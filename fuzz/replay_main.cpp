#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

// Feeds every file of a corpus folder to the target without libFuzzer, so that the
// normal test build replays each input that ever failed. A failing input aborts right
// after its name was printed.
int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER\n";
    return 2;
  }
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(argv[1]))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::cerr << file.filename().string() << std::endl;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::cerr << files.size() << " inputs replayed\n";
  // An empty folder would pass without testing anything.
  return files.empty() ? 1 : 0;
}
