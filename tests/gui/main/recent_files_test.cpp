#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QStorageInfo>
#include <filesystem>
#include <memory>

#include "gui/main/recent_files_menu.h"
#include "gui/platform/drive_kind.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;

class RecentFiles : public ::testing::Test {
 protected:
  RecentFiles() {  // laid out like the program's File menu
    for (const char* t : {"&New", "&Open...", "Partial open...", "&Save", "Save &as..."})
      fileMenu.addAction(t);
    fileMenu.addSeparator();
    fileMenu.addAction("&Build voice...");
    fileMenu.addSeparator();
    fileMenu.addAction("E&xit");
  }

  std::unique_ptr<RecentFilesMenu> make() {
    auto recent = std::make_unique<RecentFilesMenu>(nullptr, store);
    recent->driveKind = [this](const QString&) { return kind; };
    recent->showMessage = [this](const QString& t, const QString& m) { shownTexts << t + "|" + m; };
    recent->askClear = [this](const QString& t, const QString& q) {
      shownTexts << t + "|" + q;
      return yes;
    };
    recent->OnClick = [this](const QString& path) { clicked << path; };
    recent->set_menu(&fileMenu);
    return recent;
  }
  QString path(const QString& name) const {
    return QString::fromStdString(dir.file(name.toStdString()));
  }
  QString document(const QString& name) {
    write_file(dir.file(name.toStdString()), "[Common]\r\n");
    return path(name);
  }
  QStringList shown() const {
    QStringList texts;
    for (const QAction* a : fileMenu.actions())
      if (a->isVisible()) texts << (a->isSeparator() ? "-" : a->text());
    return texts;
  }
  std::string stored() const { return read_file(store.toStdString()); }

  TempDir dir;
  QString store = QString::fromStdString(dir.file("recent.ini"));
  QMenu fileMenu;
  DriveKind kind = DriveKind::Fixed;
  bool yes = true;
  QStringList shownTexts, clicked;
};

TEST_F(RecentFiles, TheFiveNewestStandAfterBuildVoiceAndMoveWithMenuPos) {
  auto recent = make();
  QStringList docs;
  for (int i = 1; i <= 6; ++i) recent->add(docs.emplace_back(document(QString("d%1.vta").arg(i))));
  QStringList expected{"&New",        "&Open...", "Partial open...", "&Save",
                       "Save &as...", "-",        "&Build voice...", "-"};
  for (int i = 0; i < 5; ++i) expected << QString("&%1 %2").arg(i + 1).arg(docs[5 - i]);
  expected << "&Clear list..."
           << "-"
           << "E&xit";
  EXPECT_EQ(shown(), expected);
  EXPECT_EQ(fileMenu.actions().size(), 9 + 18);  // every change reinserts, none duplicates

  recent->set_menu_pos(99);
  EXPECT_EQ(shown().at(8), "E&xit");
  EXPECT_EQ(shown().last(), "&Clear list...");
  EXPECT_EQ(fileMenu.actions().size(), 9 + 18);

  recent->add(document("Tom & Jerry.vta"));
  EXPECT_EQ(recent->file_action(0)->text(), "&1 " + path("Tom && Jerry.vta"));
}

TEST_F(RecentFiles, ReaddingMovesToTheTopAndOtherLetterCaseIsAnotherFile) {
  auto recent = make();
  recent->add("/music/Alt.vta");
  recent->add("/music/b.vta");
  recent->add("/MUSIC/ALT.VTA");
  recent->add("/music/Alt.vta");
  EXPECT_EQ(recent->list().slot(0), "/music/Alt.vta");
  EXPECT_EQ(recent->list().slot(1), "/MUSIC/ALT.VTA");
  EXPECT_EQ(recent->list().slot(2), "/music/b.vta");
  EXPECT_EQ(recent->list().slot(3), "");
  recent->add("relative.vta");
  EXPECT_EQ(QString::fromStdString(recent->list().slot(0)),
            QDir::current().filePath("relative.vta"));
}

TEST_F(RecentFiles, OnlyAllowedDrivesAreListed) {
  auto recent = make();
  const std::pair<DriveKind, bool> cases[] = {
      {DriveKind::CDROM, false},   {DriveKind::Removable, false}, {DriveKind::RAMDisk, false},
      {DriveKind::Missing, false}, {DriveKind::Remote, true},     {DriveKind::Other, true}};
  for (const auto& [k, listed] : cases) {
    kind = k;
    const std::string path = "/drive/" + std::to_string(static_cast<int>(k));
    recent->add(QString::fromStdString(path));
    EXPECT_EQ(recent->list().slot(0) == path, listed) << path;
  }
  recent->allowFileOn.cdrom = true;
  kind = DriveKind::CDROM;
  recent->add("/cdrom/listed.vta");
  EXPECT_EQ(recent->list().slot(0), "/cdrom/listed.vta");
}

TEST_F(RecentFiles, ChoosingADeletedFileWarnsAndDropsItAnExistingOneOpens) {
  auto recent = make();
  const QString kept = document("kept.vta"), gone = document("gone.vta");
  recent->add(kept);
  recent->add(gone);
  std::filesystem::remove(gone.toStdString());
  recent->file_action(0)->trigger();
  EXPECT_EQ(shownTexts, QStringList{"File not found|Can't find \n" + gone});
  EXPECT_TRUE(clicked.isEmpty());
  EXPECT_EQ(shown().mid(8), (QStringList{"&1 " + kept, "&Clear list...", "-", "E&xit"}));
  EXPECT_EQ(stored().find("gone"), std::string::npos);

  const QString other = document("other.vta");
  recent->add(other);
  recent->file_action(1)->trigger();
  EXPECT_EQ(clicked, QStringList{kept});
  EXPECT_EQ(recent->file_action(0)->text(), "&1 " + kept);
  EXPECT_EQ(recent->file_action(1)->text(), "&2 " + other);
}

TEST_F(RecentFiles, SeparatorAndClearEntryShowOnlyWithFiles) {
  auto recent = make();
  EXPECT_EQ(shown().size(), 9);
  EXPECT_FALSE(recent->separator_action()->isVisible());
  EXPECT_FALSE(recent->clear_action()->isVisible());
  recent->add(document("a.vta"));
  EXPECT_TRUE(recent->separator_action()->isVisible());
  EXPECT_TRUE(recent->clear_action()->isVisible());
  recent->set_bar_before(false);
  recent->set_include_clear_item(false);
  EXPECT_EQ(shown().size(), 10);
}

TEST_F(RecentFiles, ClearEntryAsksFirst) {
  auto recent = make();
  recent->add(document("a.vta"));
  yes = false;
  recent->clear_action()->trigger();
  EXPECT_EQ(shownTexts,
            QStringList{"Clear list|Do you want to clear the list of recently used files?"});
  EXPECT_TRUE(recent->file_action(0)->isVisible());
  yes = true;
  recent->clear_action()->trigger();
  EXPECT_EQ(shown().size(), 9);
  EXPECT_EQ(stored(), "[RecentFiles]\r\nnToUse=5\r\n1=\r\n2=\r\n3=\r\n4=\r\n5=\r\n");
}

TEST_F(RecentFiles, StoredListReadsBackWithoutMissingFilesAndAtMostFifteen) {
  QStringList docs;
  {
    auto recent = make();
    for (const char* n : {"x.vta", "y.vta", "z.vta"}) recent->add(docs.emplace_back(document(n)));
    EXPECT_EQ(stored(), "[RecentFiles]\r\nnToUse=5\r\n1=" + docs[2].toStdString() +
                            "\r\n2=" + docs[1].toStdString() + "\r\n3=" + docs[0].toStdString() +
                            "\r\n4=\r\n5=\r\n");
  }
  std::filesystem::remove(docs[1].toStdString());
  EXPECT_EQ(make()->list().slot(1), docs[0].toStdString());

  std::string many = "[RecentFiles]\r\nnToUse=20\r\n";
  for (int i = 1; i <= 16; ++i)
    many += QString::number(i, 16).toStdString() + "=" +
            document(QString("m%1.vta").arg(i)).toStdString() + "\r\n";
  write_file(store.toStdString(), many);
  auto recent = make();
  EXPECT_EQ(recent->max_items(), 15);
  EXPECT_EQ(shown().size(), 9 + 15 + 2);
  EXPECT_EQ(recent->file_action(14)->text(), "&F " + path("m15.vta"));
}

TEST_F(RecentFiles, StoreFailuresNeverStopTheCaller) {
  store = QString::fromStdString(dir.path().string());  // a folder: neither read nor written
  auto recent = make();
  recent->add(document("a.vta"));
  EXPECT_EQ(recent->list().shown_count(), 1);
}

TEST(RecentFilesStore, LivesInTheUserDataFolderNamedAfterTheProgram) {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const QString file = data + "/ZarvekData/Vocanta/3.0.0.1/vocanta_gui_tests.ini";
  ASSERT_EQ(RecentFilesMenu::default_store_file(), file);
  QFile::remove(file);
  TempDir dir;
  write_file(dir.file("a.vta"), "");
  RecentFilesMenu(nullptr).add(QString::fromStdString(dir.file("a.vta")));
  EXPECT_NE(read_file(file.toStdString()).find("1=" + dir.file("a.vta")), std::string::npos);
  QFile::remove(file);
  for (const char* folder : {"ZarvekData/Vocanta/3.0.0.1", "ZarvekData/Vocanta", "ZarvekData"})
    QDir(data).rmdir(folder);  // only when empty: other tests may keep files beside it
}

TEST(DriveKind, RealPathsOnThisMachine) {
  const QString tmpType = QString::fromLatin1(QStorageInfo("/tmp").fileSystemType());
  EXPECT_EQ(drive_kind("/tmp/x.vta"), tmpType == "tmpfs" ? DriveKind::RAMDisk : DriveKind::Fixed)
      << tmpType.toStdString();
  if (QStorageInfo("/dev/shm").fileSystemType() == "tmpfs") {
    EXPECT_EQ(drive_kind("/dev/shm/x.vta"), DriveKind::RAMDisk);
  }
  EXPECT_EQ(drive_kind("/proc/x.vta"), DriveKind::Other);
  EXPECT_EQ(drive_kind("/no/such/folder/x.vta"), DriveKind::Missing);
}

TEST(DriveKind, MountsMapByFileSystemDeviceAndPlace) {
  struct Mount {
    const char* type;
    const char* device;
    const char* root;
    DriveKind kind;
  };
  const Mount mounts[] = {
      {"nfs4", "server:/export", "/home/shared", DriveKind::Remote},
      {"fuse.sshfs", "me@host:/", "/home/me/remote", DriveKind::Remote},
      {"cifs", "//server/share", "/media/share", DriveKind::Remote},
      {"iso9660", "/dev/sr0", "/media/me/DISC", DriveKind::CDROM},
      {"udf", "/dev/loop9", "/mnt/dvd", DriveKind::CDROM},
      {"tmpfs", "tmpfs", "/run/user/1000", DriveKind::RAMDisk},
      {"ext4", "/dev/zram0", "/mnt/scratch", DriveKind::RAMDisk},
      {"vfat", "/dev/sdz9", "/media/me/STICK", DriveKind::Removable},
      {"ext4", "/dev/sdz9", "/run/media/me/DISK", DriveKind::Removable},
      {"ext4", "/dev/nvme9n9p9", "/", DriveKind::Fixed},
      {"overlay", "overlay", "/", DriveKind::Fixed},
      {"proc", "proc", "/proc", DriveKind::Other},
  };
  for (const Mount& m : mounts)
    EXPECT_EQ(drive_kind_of_mount(m.type, m.device, m.root), m.kind) << m.type << " " << m.root;
}

}  // namespace
}  // namespace vocanta
