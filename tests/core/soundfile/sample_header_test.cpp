#include "core/soundfile/sample_header.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace vocanta {
namespace {

std::vector<std::string> names(const thead& h) {
  std::vector<std::string> out;
  for (const titem& i : h.items()) out.push_back(i.name);
  return out;
}

TEST(SampleHeader, SetKeepsFirstOrderAndHeadGoesFirst) {
  thead h;
  h.set("file", "samp");
  h.set("sftot", "8000");
  h.set("file", "other");
  EXPECT_EQ(names(h), (std::vector<std::string>{"file", "sftot"}));
  EXPECT_EQ(h.get("file"), "other");
  EXPECT_EQ(h.get("File"), "");

  h.set("head", "512");
  h.set("head", "600");
  EXPECT_EQ(names(h), (std::vector<std::string>{"head", "file", "sftot"}));
  EXPECT_EQ(h.get("head"), "600");
  EXPECT_EQ(h.header_size(), 600);

  h.set(std::string(300, 'n'), std::string(300, 'v'));
  EXPECT_EQ(h.items().back().name.size(), 255u);
  EXPECT_EQ(h.items().back().value.size(), 255u);

  h.add_proc("first");
  h.add_proc("second");
  EXPECT_EQ(h.get("proc0"), "first");
  EXPECT_EQ(h.get("proc1"), "second");
}

TEST(SampleHeader, BadHeadSizeStopsEveryLaterChange) {
  for (const char* bad : {"14", "abc", "32768"}) {
    thead h;
    h.set("file", "samp");
    h.set("head", bad);
    EXPECT_EQ(h.error(), thead::kBadHeadSize) << bad;
    h.set("sftot", "16000");
    h.add_proc("x");
    EXPECT_EQ(names(h), std::vector<std::string>{"file"}) << bad;
    h.clear();
    EXPECT_EQ(h.error(), 0);
    EXPECT_TRUE(h.items().empty());
    EXPECT_EQ(h.header_size(), 1024);
  }
  thead h;
  h.set("head", "15");
  h.set("head", "32767");
  EXPECT_EQ(h.error(), 0);
}

TEST(SampleHeader, ComposesLinesTerminatorAndPadding) {
  thead h;
  h.set("file", "samp");
  h.add_line("free text");
  const std::string block = h.compose();
  const std::string text = "file=samp\r\n=\r\nfree text\r\n" + std::string("\x00\x04\x1A", 3);
  ASSERT_EQ(block.size(), 1024u);
  EXPECT_EQ(block.substr(0, text.size()), text);
  EXPECT_EQ(block.find_first_not_of('\0', text.size()), std::string::npos);

  // "head=15", the end line and the terminator fill 15 bytes exactly.
  thead exact;
  exact.set("head", "15");
  EXPECT_EQ(exact.compose(), "head=15\r\n=\r\n" + std::string("\x00\x04\x1A", 3));
}

TEST(SampleHeader, WritesOverTheFrontOfTheFile) {
  testing::TempDir dir;
  const std::string path = dir.file("s.smp");
  testing::write_file(path, std::string(2000, 'x'));
  thead h;
  h.set_file_name(path);
  h.set("file", "samp");
  h.write();
  EXPECT_EQ(h.error(), 0);
  const std::string bytes = testing::read_file(path);
  ASSERT_EQ(bytes.size(), 2000u);
  EXPECT_EQ(bytes.substr(0, 1024), h.compose());
  EXPECT_EQ(bytes.substr(1024), std::string(976, 'x'));

  thead fresh;
  fresh.set_file_name(dir.file("new.smp"));
  fresh.write();
  EXPECT_EQ(fresh.error(), 0);
  EXPECT_EQ(testing::read_file(dir.file("new.smp")).size(), 1024u);

  thead missing;
  missing.set_file_name(dir.file("no/such/folder.smp"));
  missing.write();
  EXPECT_EQ(missing.error(), ENOENT);
}

TEST(SampleHeader, TooLongTextLeavesTheFileAlone) {
  testing::TempDir dir;
  const std::string path = dir.file("s.smp");
  testing::write_file(path, "old");
  thead h;
  h.set_file_name(path);
  h.set("head", "15");
  h.set("file", "samp");
  h.write();
  EXPECT_EQ(h.error(), thead::kTooLong);
  EXPECT_EQ(testing::read_file(path), "old");
}

}  // namespace
}  // namespace vocanta
