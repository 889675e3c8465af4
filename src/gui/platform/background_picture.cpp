#include "gui/platform/background_picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include "core/support/vocanta_error.h"
#include "gui/platform/metafile_painter.h"
#include "gui/platform/metafile_reader.h"

namespace vocanta {

namespace {

// Far more than any drawing made to lie under a diagram; a larger file is not read into
// memory at all.
constexpr qint64 kMaxMetafileBytes = qint64{16} << 20;
constexpr int kMaxBitmapSide = 8192;
constexpr qint64 kMaxBitmapPixels = qint64{1} << 25;

[[noreturn]] void cannot_read(const QString& fileName, const std::string& reason) {
  throw VocantaError("Cannot read the picture " + fileName.toStdString() + ": " + reason);
}

[[noreturn]] void cannot_write(const QString& fileName, const QString& reason) {
  throw VocantaError("Cannot write the picture " + fileName.toStdString() + ": " +
                     reason.toStdString());
}

QByteArray read_metafile_bytes(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) cannot_read(fileName, file.errorString().toStdString());
  if (file.size() > kMaxMetafileBytes) cannot_read(fileName, "the file is too large");
  return file.readAll();
}

QImage read_bitmap(const QString& fileName, const QByteArray& format) {
  QImageReader reader(fileName, format);
  const QSize size = reader.size();
  if (size.width() > kMaxBitmapSide || size.height() > kMaxBitmapSide ||
      qint64{size.width()} * size.height() > kMaxBitmapPixels)
    cannot_read(fileName, "the picture is too large");
  QImage picture = reader.read();
  if (picture.isNull()) cannot_read(fileName, reader.errorString().toStdString());
  return picture;
}

// The format the file's extension names, where Qt can write it; a bitmap otherwise.
QByteArray format_to_write(const QString& fileName) {
  const QByteArray suffix = QFileInfo(fileName).suffix().toLower().toLatin1();
  return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray("bmp");
}

}  // namespace

BackgroundPicture BackgroundPicture::from_file(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix();
  if (suffix.compare("wmf", Qt::CaseInsensitive) == 0)
    return from_metafile(read_metafile_bytes(fileName), "the picture " + fileName);
  const QByteArray format = suffix.toLower().toLatin1();
  if (suffix.isEmpty() || !QImageReader::supportedImageFormats().contains(format))
    throw VocantaError("Unknown picture file extension (." + suffix.toStdString() + ")");
  return from_bitmap(read_bitmap(fileName, format));
}

BackgroundPicture BackgroundPicture::from_bitmap(const QImage& bitmap) {
  BackgroundPicture p;
  p.kind_ = bitmap.isNull() ? Kind::None : Kind::Bitmap;
  p.bitmap_ = bitmap;
  return p;
}

BackgroundPicture BackgroundPicture::from_metafile(const QByteArray& bytes, const QString& source) {
  BackgroundPicture p;
  try {
    if (bytes.size() > kMaxMetafileBytes) throw VocantaError("it is too large");
    const MetafileHeader header = read_metafile_header(bytes);
    p.rendered_ = render_metafile(bytes, header, metafile_picture_size(bytes, header));
    if (p.rendered_.isNull()) throw VocantaError("there is not enough memory to draw it");
  } catch (const VocantaError& e) {
    throw VocantaError("Cannot read " + source.toStdString() + ": " + e.what());
  }
  p.kind_ = Kind::Metafile;
  p.metafile_ = bytes;
  return p;
}

QSize BackgroundPicture::size() const {
  return image().size();
}

void BackgroundPicture::draw(QPainter& painter, QPoint topLeft) const {
  if (kind_ != Kind::None) painter.drawImage(topLeft, image());
}

bool BackgroundPicture::operator==(const BackgroundPicture& other) const {
  return kind_ == other.kind_ && bitmap_ == other.bitmap_ && metafile_ == other.metafile_;
}

void BackgroundPicture::save(const QString& fileName) const {
  if (kind_ == Kind::None) return;
  // The old file stays whole until the new one is written completely.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) cannot_write(fileName, file.errorString());
  if (kind_ == Kind::Metafile) {
    if (file.write(metafile_) != metafile_.size()) cannot_write(fileName, file.errorString());
  } else {
    QImageWriter writer(&file, format_to_write(fileName));
    if (!writer.write(bitmap_)) cannot_write(fileName, writer.errorString());
  }
  if (!file.commit()) cannot_write(fileName, file.errorString());
}

}  // namespace vocanta
