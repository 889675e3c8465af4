#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The folders of one layer from the bottom up; folders on one step stand side by side
// and never include each other. A file may include its own folder and those below it.
using Layers = std::vector<std::vector<std::string>>;
const Layers kCore = {{"support"}, {"model"},    {"synthesis", "soundfile"},
                      {"build"},   {"document"}, {"link"}};
const Layers kGui = {{"platform"}, {"diagram", "batch", "result", "playback"}, {"main"}};

int step_of(const Layers& layers, const std::string& folder) {
  for (size_t i = 0; i < layers.size(); ++i)
    for (const std::string& name : layers[i])
      if (name == folder) return static_cast<int>(i);
  return -1;
}

// The folder named after "core/" or "gui/" in an include target.
std::string folder_of(const std::string& target, size_t prefix) {
  return target.substr(prefix, target.find('/', prefix) - prefix);
}

// Where an include of `target` by a file in `folder` of `layers` goes against the order.
std::string against_order(const Layers& layers, const std::string& folder,
                          const std::string& target, size_t prefix) {
  const std::string other = folder_of(target, prefix);
  const int own = step_of(layers, folder), theirs = step_of(layers, other);
  if (theirs < 0) return "includes " + target + " from an unknown folder";
  if (theirs > own) return "includes " + target + " from a folder above its own";
  if (theirs == own && other != folder) return "includes " + target + " from a folder beside it";
  return "";
}

// What is wrong with one include line of a core file in `folder`, or empty.
std::string core_offence(const std::string& folder, const std::string& target, bool angled) {
  if (angled) {
    const bool qt = target.rfind("Q", 0) == 0 || target.rfind("qt", 0) == 0;
    return qt ? "includes Qt" : "";
  }
  if (target.rfind("core/", 0) != 0) return "includes " + target + " from outside the core";
  return against_order(kCore, folder, target, 5);
}

// What is wrong with one include line of a gui file in `folder`, or empty: the whole
// core lies below the gui.
std::string gui_offence(const std::string& folder, const std::string& target, bool angled) {
  if (angled || target.rfind("core/", 0) == 0) return "";
  if (target.rfind("gui/", 0) != 0) return "includes " + target + " from outside the gui";
  return against_order(kGui, folder, target, 4);
}

using Rule = std::string (*)(const std::string&, const std::string&, bool);

std::vector<std::string> offences_in(const fs::path& file, const std::string& folder, Rule rule) {
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<std::string> found;
  std::ifstream in(file);
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_search(line, m, include)) {
      const std::string why = rule(folder, m[2].str(), m[1].str() == "<");
      if (!why.empty()) found.push_back(file.string() + " " + why);
    }
  return found;
}

// Every offence in the tree below src/<top>; fails where a file is in no known folder.
std::vector<std::string> offences_below(const std::string& top, const Layers& layers, Rule rule) {
  const fs::path root = fs::path(VOCANTA_SOURCE_DIR) / "src" / top;
  std::vector<std::string> offences;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++files;
    const std::string folder = entry.path().parent_path().filename().string();
    EXPECT_GE(step_of(layers, folder), 0) << entry.path() << " is in no known folder";
    for (const std::string& o : offences_in(entry.path(), folder, rule)) offences.push_back(o);
  }
  EXPECT_GT(files, 20) << top;
  return offences;
}

TEST(IncludeDirection, CoreFoldersIncludeDownwardsOnlyAndNeverTheGuiOrQt) {
  for (const std::string& o : offences_below("core", kCore, core_offence)) ADD_FAILURE() << o;
}

TEST(IncludeDirection, GuiFoldersIncludeDownwardsOnly) {
  for (const std::string& o : offences_below("gui", kGui, gui_offence)) ADD_FAILURE() << o;
}

TEST(IncludeDirection, TheRuleTellsUpFromDownAndSideFromSide) {
  EXPECT_EQ(core_offence("model", "core/support/ini_file.h", false), "");
  EXPECT_EQ(core_offence("model", "core/model/curve.h", false), "");
  EXPECT_NE(core_offence("model", "core/document/document.h", false), "");
  EXPECT_NE(core_offence("support", "core/model/voice.h", false), "");
  EXPECT_NE(core_offence("document", "core/link/link.h", false), "");
  EXPECT_NE(core_offence("document", "gui/main/main_window.h", false), "");
  EXPECT_NE(core_offence("synthesis", "core/soundfile/sample_sink.h", false), "");
  EXPECT_NE(core_offence("soundfile", "core/build/build_run.h", false), "");
  EXPECT_EQ(core_offence("build", "core/soundfile/sample_sink.h", false), "");
  EXPECT_NE(core_offence("synthesis", "QString", true), "");
  EXPECT_EQ(core_offence("synthesis", "vector", true), "");
  EXPECT_EQ(gui_offence("diagram", "core/document/session.h", false), "");
  EXPECT_EQ(gui_offence("result", "gui/platform/message_box.h", false), "");
  EXPECT_NE(gui_offence("platform", "gui/diagram/parameter_window.h", false), "");
  EXPECT_NE(gui_offence("result", "gui/playback/voice_player.h", false), "");
  EXPECT_NE(gui_offence("batch", "gui/main/main_window.h", false), "");
  EXPECT_EQ(gui_offence("main", "gui/result/result_window.h", false), "");
  EXPECT_EQ(gui_offence("diagram", "QWidget", true), "");
}

}  // namespace
