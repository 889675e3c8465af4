#include "core/support/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;
using Keys = std::vector<std::string>;

std::vector<std::string> files_in(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  return names;
}

TEST(IniFileTest, WritesReplaceAppendAndAddSections) {
  IniFile ini;
  ini.write("Common", "Filetype", "Vocanta");
  ini.write("Defaults", "F0", "120");
  ini.write("Common", "Version", "3.0");     // into the earlier section, before [Defaults]
  ini.write("Common", "Filetype", "Other");  // in place
  ini.write("F0", "0.5", "120;120;0;");
  EXPECT_EQ(ini.text(),
            "[Common]\r\nFiletype=Other\r\nVersion=3.0\r\n"
            "[Defaults]\r\nF0=120\r\n"
            "[F0]\r\n0.5=120;120;0;\r\n");

  // The same on a text read from a file: a blank line before the next section stays there.
  IniFile read("[A]\nx=1\n\n[B]\ny=2\n");
  read.write("A", "z", "3");
  read.write("B", "y", "");
  read.write("C", "k", "v");
  EXPECT_EQ(read.text(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=\r\n[C]\r\nk=v\r\n");

  // A lone CR ends a line as LF and CR LF do: left in a value, it would be written back
  // inside it and split the line for the next reader.
  IniFile mixed("[A]\rx=1\r\ny=2\nz=3\r\r[B]\rw=4");
  EXPECT_EQ(mixed.read("A", "x", ""), "1");
  EXPECT_EQ(mixed.read("A", "z", ""), "3");
  EXPECT_EQ(mixed.read("B", "w", ""), "4");
  EXPECT_EQ(mixed.text(), "[A]\r\nx=1\r\ny=2\r\nz=3\r\n\r\n[B]\r\nw=4\r\n");

  // A byte-order mark from an editor does not hide the first section.
  EXPECT_EQ(IniFile("\xEF\xBB\xBF[Common]\r\nFileType=Vocanta\r\n").read("Common", "FileType", ""),
            "Vocanta");
}

TEST(IniFileTest, NamesMatchWithoutRegardToCase) {
  IniFile ini;
  ini.write("Common", "Filetype", "Vocanta");
  EXPECT_EQ(ini.read("COMMON", "FileType", ""), "Vocanta");
  EXPECT_TRUE(ini.has_key("common", "FILETYPE"));
  ini.write("cOmMoN", "FILETYPE", "x");  // replaces, keeping the stored spellings
  EXPECT_EQ(ini.text(), "[Common]\r\nFiletype=x\r\n");
  EXPECT_EQ(ini.sections(), Keys{"Common"});

  IniFile names("[Batchsteps]\nÄrger=1\n");
  EXPECT_EQ(names.read("BATCHSTEPS", "ärger", "?"), "1");
}

TEST(IniFileTest, EmptyValueIsNotAbsent) {
  const IniFile ini("[Common]\r\nGain=\r\n");
  EXPECT_EQ(ini.read("Common", "Gain", "-20"), "");
  EXPECT_TRUE(ini.has_key("Common", "Gain"));
  EXPECT_EQ(ini.read("Common", "TotalDuration", "1"), "1");
  EXPECT_EQ(ini.read("Missing", "Gain", "-20"), "-20");
  EXPECT_FALSE(ini.has_section("Missing"));
}

TEST(IniFileTest, KeysInFileOrderAndTolerantReading) {
  const IniFile ini(
      "; header comment\n"
      "[BatchSteps]\n"
      "Zeta = 3\n"
      "; Hidden=1\n"
      "\n"
      "not an entry\n"
      "alpha=1=2\n"
      "ZETA=9\n"
      "Mid=\n"
      "[Other]\n"
      "q=1\n"
      "[batchsteps]\n"
      "late=1\n");
  EXPECT_EQ(ini.keys("batchsteps"), (Keys{"Zeta", "alpha", "Mid"}));
  EXPECT_EQ(ini.read("BatchSteps", "zeta", ""), "3");  // the first of repeated keys
  EXPECT_EQ(ini.read("BatchSteps", "alpha", ""), "1=2");
  EXPECT_FALSE(ini.has_key("BatchSteps", "; Hidden"));
  EXPECT_FALSE(ini.has_key("BatchSteps", "late"));  // the first of repeated sections
  EXPECT_EQ(ini.sections(), (Keys{"BatchSteps", "Other"}));
  EXPECT_TRUE(ini.keys("Absent").empty());
  EXPECT_TRUE(IniFile("[Empty]\r\n").keys("Empty").empty());

  // Lines that are not read are still written back unchanged.
  const std::string crlf =
      "; header\r\n[A]\r\n; note=1\r\n  x = 1 \r\n\r\n[B]\r\nnoise\r\n[a]\r\nx=2\r\n";
  IniFile rewritten(crlf);
  rewritten.write("A", "x", "5");
  EXPECT_EQ(rewritten.text(),
            "; header\r\n[A]\r\n; note=1\r\nx=5\r\n\r\n[B]\r\nnoise\r\n[a]\r\nx=2\r\n");
}

TEST(IniFileTest, ClassicLimitsOnlyWhenSet) {
  const std::string longValue(3000, 'v');
  IniFile ini("[S]\nlong=" + longValue + "\n");
  EXPECT_EQ(ini.read("S", "long", ""), longValue);
  ini.set_limits(IniFile::kClassicLimits);
  EXPECT_EQ(ini.read("S", "long", ""), longValue.substr(0, 2047));
  ini.write("S", "exact", std::string(2047, 'e'));
  EXPECT_EQ(ini.read("S", "exact", "").size(), 2047u);

  // 1,638 keys of 9 characters take 1 + 1638 * 10 = 16,381 places; a key of 2 more
  // characters fills the buffer exactly, one of 3 does not fit.
  std::string fits = "[Fits]\n", over = "[Over]\n";
  for (int i = 0; i < 1638; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "k%08d", i);
    fits += std::string(key) + "=1\n";
    over += std::string(key) + "=1\n";
  }
  fits += "ab=1\n";
  over += "abc=1\n";
  IniFile big(fits + over);
  EXPECT_EQ(big.keys("Fits").size(), 1639u);
  EXPECT_EQ(big.keys("Over").size(), 1639u);
  big.set_limits(IniFile::kClassicLimits);
  EXPECT_EQ(big.keys("Fits").size(), 1639u);
  EXPECT_EQ(big.keys("Fits").back(), "ab");
  EXPECT_EQ(big.keys("Over").size(), 1638u);
  EXPECT_EQ(big.keys("Over").back(), "k00001637");
}

TEST(IniFileTest, LoadAndSaveThroughTemporaryFile) {
  TempDir dir;
  const std::string path = dir.file("voice.vta");
  IniFile ini;
  ini.set_limits(IniFile::kClassicLimits);
  EXPECT_FALSE(ini.load(path));
  ini.write("Common", "Filetype", "Vocanta");
  ini.write("Common", "Long", std::string(3000, 'x'));
  EXPECT_EQ(ini.read("Common", "Long", "").size(), 2047u);  // limits survive the load
  ini.save(path);
  EXPECT_EQ(read_file(path), ini.text());
  EXPECT_EQ(files_in(dir.path()), Keys{"voice.vta"});

  write_file(path, "[Common]\nFiletype=Old\n");
  IniFile again;
  EXPECT_TRUE(again.load(path));
  EXPECT_EQ(again.read("common", "filetype", ""), "Old");

  const std::string nowhere = dir.file("missing/voice.vta");
  try {
    ini.save(nowhere);
    FAIL() << "saved into a folder that does not exist";
  } catch (const VocantaError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + nowhere);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  // A folder reads as nothing and a FIFO waits for a writer: neither is an empty file.
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(20);  // should the load wait after all, the test fails instead of hanging
  for (const std::string& odd : {dir.path().string(), fifo}) {
    try {
      again.load(odd);
      ADD_FAILURE() << "read " << odd << " as a file";
    } catch (const VocantaError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to read " + odd);
    }
  }
  alarm(0);
  std::filesystem::remove(fifo);

  // A write that fails half-way (here: the file size limit) leaves the old file as it was.
  bool failed = false;
  {
    testing::FileSizeLimit limit(100);
    try {
      ini.save(path);
    } catch (const VocantaError& e) {
      failed = std::string(e.what()) == "Unable to write to " + path;
    }
  }
  EXPECT_TRUE(failed);
  EXPECT_EQ(read_file(path), "[Common]\nFiletype=Old\n");
  EXPECT_EQ(files_in(dir.path()), Keys{"voice.vta"});
}

}  // namespace
}  // namespace vocanta
