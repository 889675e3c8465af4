#include "core/document/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/support/ini_file.h"

namespace vocanta {
namespace {

std::vector<std::string> slots(const RecentFileList& list) {
  std::vector<std::string> filled;
  for (int i = 0; i < RecentFileList::kSlots && !list.slot(i).empty(); ++i)
    filled.push_back(list.slot(i));
  return filled;
}

TEST(RecentFileListTest, AddKeepsTheNewestFirstOnceEach) {
  RecentFileList list;
  for (const char* p : {"/v/1.vta", "/v/2.vta", "/v/3.vta", "/v/4.vta", "/v/5.vta", "/v/6.vta"})
    list.add(p);
  EXPECT_EQ(list.shown_count(), 5);
  EXPECT_EQ(slots(list).front(), "/v/6.vta");
  EXPECT_EQ(slots(list).size(), 6u);  // the sixth is kept, only not shown

  list.add("/v/3.vta");
  EXPECT_EQ(slots(list), (std::vector<std::string>{"/v/3.vta", "/v/6.vta", "/v/5.vta", "/v/4.vta",
                                                   "/v/2.vta", "/v/1.vta"}));
  // Names that differ in letter case are two files here.
  list.add("/V/3.VTA");
  EXPECT_EQ(slots(list).size(), 7u);

  list.remove(0);  // "/V/3.VTA"; the gap closes
  EXPECT_EQ(slots(list).at(0), "/v/3.vta");
  EXPECT_EQ(slots(list).size(), 6u);
  for (int i = 0; i < 20; ++i) list.add("/many/" + std::to_string(i));
  EXPECT_EQ(slots(list).size(), 16u);
  list.clear();
  EXPECT_TRUE(slots(list).empty());
}

TEST(RecentFileListTest, PathsLongerThanTheSlotsHoldAreNotCutButLeftOut) {
  RecentFileList list;
  EXPECT_TRUE(list.add("/" + std::string(254, 'a')));
  EXPECT_FALSE(list.add("/" + std::string(255, 'b')));
  std::string cyrillic = "/";
  for (int i = 0; i < 254; ++i) cyrillic += "ж";  // 509 bytes, 255 characters
  EXPECT_TRUE(list.add(cyrillic));
  EXPECT_EQ(slots(list).size(), 2u);
}

TEST(RecentFileListTest, StoresTheShownSlotsUnderHexadecimalKeys) {
  IniFile ini("[Common]\r\nHints=1\r\n[RecentFiles]\r\nnToUse=9\r\n9=/old.vta\r\n");
  RecentFileList list;
  list.add("/b.vta");
  list.add("/a.vta");
  list.store_into(ini);
  EXPECT_EQ(ini.text(),
            "[Common]\r\nHints=1\r\n"
            "[RecentFiles]\r\nnToUse=5\r\n1=/a.vta\r\n2=/b.vta\r\n3=\r\n4=\r\n5=\r\n");

  list.set_max_items(99);
  EXPECT_EQ(list.max_items(), 15);
  list.store_into(ini);
  EXPECT_EQ(ini.keys("RecentFiles").back(), "F");
  list.set_max_items(-1);
  EXPECT_EQ(list.max_items(), 0);
}

TEST(RecentFileListTest, LoadClampsTheCountAndDropsMissingAndRepeatedFiles) {
  IniFile ini("[RecentFiles]\r\nnToUse=20\r\n");
  for (int i = 1; i <= 16; ++i)
    ini.write("RecentFiles", i == 16 ? "10" : recent_file_key(i), "/d/" + std::to_string(i));
  ini.write("RecentFiles", "3", "/d/1");
  ini.write("RecentFiles", "5", "/gone");
  ini.write("RecentFiles", "6", "/" + std::string(300, 'x'));
  RecentFileList list;
  list.load_from(ini, [](const std::string& p) { return p != "/gone"; });
  EXPECT_EQ(list.max_items(), 15);
  const std::vector<std::string> read = slots(list);
  ASSERT_EQ(read.size(), 12u);  // of 15 keys one repeated, one missing, one too long
  EXPECT_EQ(read.front(), "/d/1");
  EXPECT_EQ(read.at(2), "/d/4");
  EXPECT_EQ(read.back(), "/d/15");

  for (const char* count : {"", "abc"}) {
    RecentFileList fallback;
    fallback.set_max_items(3);
    fallback.load_from(
        IniFile(std::string("[RecentFiles]\r\nnToUse=") + count + "\r\n1=/a\r\n4=/d\r\n"),
        [](const std::string&) { return true; });
    EXPECT_EQ(fallback.max_items(), 3) << count;
    EXPECT_EQ(slots(fallback), std::vector<std::string>{"/a"}) << count;
  }
}

TEST(RecentFileListTest, StoredListReadsBackUnchanged) {
  RecentFileList list;
  list.set_max_items(12);
  for (int i = 0; i < 12; ++i) list.add("/round/" + std::to_string(i) + " trip.vta");
  IniFile ini;
  list.store_into(ini);
  RecentFileList read;
  read.load_from(IniFile(ini.text()), [](const std::string&) { return true; });
  EXPECT_EQ(read.max_items(), 12);
  EXPECT_EQ(slots(read), slots(list));
}

}  // namespace
}  // namespace vocanta
