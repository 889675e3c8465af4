#include "gui/platform/picture_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vocanta {

namespace {

// The names other programs put metafiles on the clipboard under; the first is ours.
constexpr const char* kMetafileTypes[] = {"image/x-wmf", "image/wmf", "application/x-wmf"};

}  // namespace

BackgroundPicture picture_from_clipboard(const QMimeData* data) {
  if (!data) return {};
  if (data->hasImage())
    return BackgroundPicture::from_bitmap(qvariant_cast<QImage>(data->imageData()));
  for (const char* type : kMetafileTypes)
    if (data->hasFormat(type))
      return BackgroundPicture::from_metafile(data->data(type), "the metafile on the clipboard");
  return {};
}

void put_on_clipboard(const BackgroundPicture& picture) {
  if (picture.isNull()) return;
  auto* data = new QMimeData;
  data->setImageData(picture.image());
  if (picture.kind() == BackgroundPicture::Kind::Metafile)
    data->setData(kMetafileTypes[0], picture.metafile_bytes());
  QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace vocanta
