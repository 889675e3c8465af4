#pragma once

#include <QIcon>
#include <QPixmap>

namespace vocanta {

// The name under which the desktop entry, the icon and the metainfo are installed.
inline constexpr const char* kDesktopId = "com.zarvekdata.Vocanta";

// A few periods of a voiced wave on a blue square: the about box's picture and the
// window icon, drawn at any size rather than shipped as a file.
QPixmap voice_picture(int size = 64);

// The installed theme icon, or the drawn picture where none is installed.
QIcon program_icon();

}  // namespace vocanta
