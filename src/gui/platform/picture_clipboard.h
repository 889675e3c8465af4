#pragma once

#include "gui/platform/background_picture.h"

class QMimeData;

namespace vocanta {

// The picture the clipboard data offer: a bitmap first, else a metafile; a null picture
// when they hold neither.
BackgroundPicture picture_from_clipboard(const QMimeData* data);
// Puts the picture on the system clipboard: a bitmap as Qt offers images, a metafile as
// its bytes together with a bitmap of it for programs that take only bitmaps.
void put_on_clipboard(const BackgroundPicture& picture);

}  // namespace vocanta
