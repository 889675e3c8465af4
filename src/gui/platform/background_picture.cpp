#include "gui/platform/background_picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include "core/support/vocanta_error.h"

namespace vocanta {

BackgroundPicture BackgroundPicture::from_file(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix();
  const QByteArray format = suffix.toLower().toLatin1();
  if (suffix.isEmpty() || !QImageReader::supportedImageFormats().contains(format))
    throw VocantaError("Unknown picture file extension (." + suffix.toStdString() + ")");
  QImageReader reader(fileName, format);
  QImage picture = reader.read();
  if (picture.isNull())
    throw VocantaError("Cannot read the picture " + fileName.toStdString() + ": " +
                       reader.errorString().toStdString());
  return from_bitmap(picture);
}

BackgroundPicture BackgroundPicture::from_bitmap(const QImage& bitmap) {
  BackgroundPicture p;
  p.kind_ = bitmap.isNull() ? Kind::None : Kind::Bitmap;
  p.bitmap_ = bitmap;
  return p;
}

BackgroundPicture BackgroundPicture::from_metafile(const QByteArray&) {
  throw VocantaError("Metafiles cannot be read yet");
}

QSize BackgroundPicture::size() const {
  return kind_ == Kind::Bitmap ? bitmap_.size() : rendered_.size();
}

void BackgroundPicture::draw(QPainter& painter, QPoint topLeft) const {
  if (kind_ == Kind::Bitmap) painter.drawImage(topLeft, bitmap_);
  if (kind_ == Kind::Metafile) painter.drawImage(topLeft, rendered_);
}

void BackgroundPicture::save(const QString&) const {}

}  // namespace vocanta
