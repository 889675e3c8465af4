#pragma once

#include <QByteArray>
#include <QString>

#include "core/document/recent_files.h"

namespace vocanta {

// The kind of drive that holds the file at path (a full path), from the mounted file
// system that holds its folder. A folder that does not exist gives Missing.
DriveKind drive_kind(const QString& path);

// The same from a mount's file system type, device and mount point, as the mount
// table names them; the block device's facts come from /sys.
DriveKind drive_kind_of_mount(const QByteArray& fileSystemType, const QByteArray& device,
                              const QString& rootPath);

}  // namespace vocanta
