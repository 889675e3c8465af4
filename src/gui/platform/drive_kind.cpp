// Linux has no drive kinds; they are read off the mount that holds the file's folder,
// trying the rows from the top:
//
//   kind       when
//   ---------  ------------------------------------------------------------------------
//   Missing    the file's folder does not exist
//   Other      no mount can be found for the folder
//   Remote     file system nfs, nfs4, cifs, smb3, smbfs, ncpfs, sshfs, fuse.sshfs, 9p,
//              afs, ceph, fuse.ceph, glusterfs, fuse.glusterfs, lustre, davfs,
//              fuse.davfs, fuse.rclone, fuse.s3fs
//   CDROM      file system iso9660 or udf, or device /dev/sr<n> or /dev/scd<n>
//   RAMDisk    file system tmpfs, ramfs or devtmpfs, or device /dev/zram<n> or /dev/ram<n>
//   Removable  mount point under /media or /run/media (where desktops mount sticks and
//              cards), or a block device whose disk has /sys/block/<disk>/removable = 1
//              or sits on a USB bus (USB disks often claim not to be removable)
//   Fixed      any other block device (/dev/...), and the local file systems that name
//              no device: overlay, aufs, zfs, virtiofs
//   Other      everything else: proc, sysfs, cgroup, unknown FUSE file systems
#include "gui/platform/drive_kind.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <initializer_list>

namespace vocanta {
namespace {

bool one_of(const QByteArray& value, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (value == n) return true;
  return false;
}

bool remote_file_system(const QByteArray& type) {
  return one_of(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "sshfs", "fuse.sshfs", "9p",
                       "afs", "ceph", "fuse.ceph", "glusterfs", "fuse.glusterfs", "lustre", "davfs",
                       "fuse.davfs", "fuse.rclone", "fuse.s3fs"});
}

bool has_number_after(const QString& name, const char* prefix) {
  if (!name.startsWith(QLatin1String(prefix))) return false;
  bool number = false;
  name.mid(static_cast<qsizetype>(qstrlen(prefix))).toInt(&number);
  return number;
}

// The device's file name with links resolved (/dev/mapper/x is /dev/dm-0), empty when
// the mount names no device file.
QString device_name(const QByteArray& device) {
  if (!device.startsWith("/dev/")) return {};
  const QString path = QFile::decodeName(device);
  const QString real = QFileInfo(path).canonicalFilePath();
  return QFileInfo(real.isEmpty() ? path : real).fileName();
}

// The /sys folder of the whole disk that holds the device (a partition's parent).
QString disk_folder(const QString& deviceName) {
  const QString block = QFileInfo("/sys/class/block/" + deviceName).canonicalFilePath();
  if (block.isEmpty()) return {};
  return QFileInfo::exists(block + "/partition") ? QFileInfo(block).absolutePath() : block;
}

bool removable_disk(const QString& deviceName) {
  const QString disk = disk_folder(deviceName);
  if (disk.isEmpty()) return false;
  if (disk.contains("/usb")) return true;
  QFile flag(disk + "/removable");
  return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

bool under_media(const QString& rootPath) {
  return rootPath.startsWith("/media/") || rootPath.startsWith("/run/media/");
}

}  // namespace

DriveKind drive_kind_of_mount(const QByteArray& fileSystemType, const QByteArray& device,
                              const QString& rootPath) {
  if (remote_file_system(fileSystemType)) return DriveKind::Remote;
  const QString name = device_name(device);
  if (one_of(fileSystemType, {"iso9660", "udf"}) || has_number_after(name, "sr") ||
      has_number_after(name, "scd"))
    return DriveKind::CDROM;
  if (one_of(fileSystemType, {"tmpfs", "ramfs", "devtmpfs"}) || has_number_after(name, "zram") ||
      has_number_after(name, "ram"))
    return DriveKind::RAMDisk;
  if (under_media(rootPath) || (!name.isEmpty() && removable_disk(name)))
    return DriveKind::Removable;
  if (!name.isEmpty() || one_of(fileSystemType, {"overlay", "aufs", "zfs", "virtiofs"}))
    return DriveKind::Fixed;
  return DriveKind::Other;
}

DriveKind drive_kind(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (!QFileInfo(folder).isDir()) return DriveKind::Missing;
  const QStorageInfo storage(folder);
  if (!storage.isValid()) return DriveKind::Other;
  return drive_kind_of_mount(storage.fileSystemType(), storage.device(), storage.rootPath());
}

}  // namespace vocanta
