#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The core's folders from the bottom up; a file may include its own folder and those
// below it.
constexpr std::array<const char*, 5> kLayers = {"support", "model", "synthesis", "document",
                                                "link"};

int layer_of(const std::string& folder) {
  for (size_t i = 0; i < kLayers.size(); ++i)
    if (folder == kLayers[i]) return static_cast<int>(i);
  return -1;
}

// What is wrong with one include line of a file in `folder`, or empty.
std::string offence(const std::string& folder, const std::string& target, bool angled) {
  if (angled) {
    const bool qt = target.rfind("Q", 0) == 0 || target.rfind("qt", 0) == 0;
    return qt ? "includes Qt" : "";
  }
  if (target.rfind("core/", 0) != 0) return "includes " + target + " from outside the core";
  const std::string other = target.substr(5, target.find('/', 5) - 5);
  const int own = layer_of(folder), theirs = layer_of(other);
  if (theirs < 0) return "includes " + target + " from an unknown core folder";
  return theirs > own ? "includes " + target + " from a folder above its own" : "";
}

std::vector<std::string> offences_in(const fs::path& file, const std::string& folder) {
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<std::string> found;
  std::ifstream in(file);
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_search(line, m, include)) {
      const std::string why = offence(folder, m[2].str(), m[1].str() == "<");
      if (!why.empty()) found.push_back(file.string() + " " + why);
    }
  return found;
}

TEST(IncludeDirection, CoreFoldersIncludeDownwardsOnlyAndNeverTheGuiOrQt) {
  const fs::path core = fs::path(VOCANTA_SOURCE_DIR) / "src" / "core";
  ASSERT_TRUE(fs::is_directory(core));
  std::vector<std::string> offences;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(core)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++files;
    const std::string folder = entry.path().parent_path().filename().string();
    EXPECT_GE(layer_of(folder), 0) << entry.path() << " is in no known core folder";
    for (const std::string& o : offences_in(entry.path(), folder)) offences.push_back(o);
  }
  EXPECT_GT(files, 20);
  for (const std::string& o : offences) ADD_FAILURE() << o;
}

TEST(IncludeDirection, TheRuleTellsUpFromDown) {
  EXPECT_EQ(offence("model", "core/support/ini_file.h", false), "");
  EXPECT_EQ(offence("model", "core/model/curve.h", false), "");
  EXPECT_NE(offence("model", "core/document/document.h", false), "");
  EXPECT_NE(offence("support", "core/model/voice.h", false), "");
  EXPECT_NE(offence("document", "core/link/link.h", false), "");
  EXPECT_NE(offence("document", "gui/main/main_window.h", false), "");
  EXPECT_NE(offence("synthesis", "QString", true), "");
  EXPECT_EQ(offence("synthesis", "vector", true), "");
}

}  // namespace
