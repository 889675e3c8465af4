#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

namespace vocanta {

// The background picture of a diagram: a bitmap, or a metafile kept as the bytes it was
// read from, so that saving it writes the very file back. Copies share their data.
class BackgroundPicture {
 public:
  enum class Kind { None, Bitmap, Metafile };

  // Chosen by the file's extension. Raises "Unknown picture file extension (.ext)" for
  // an extension no reader knows, and a message naming the file when it cannot be read.
  static BackgroundPicture from_file(const QString& fileName);
  static BackgroundPicture from_bitmap(const QImage& bitmap);
  // Raises when the bytes are not a metafile this program can draw; the message begins
  // "Cannot read " + source.
  static BackgroundPicture from_metafile(const QByteArray& bytes,
                                         const QString& source = "the metafile");

  Kind kind() const { return kind_; }
  bool isNull() const { return kind_ == Kind::None; }
  // The size it is drawn at, in pixels.
  QSize size() const;
  void draw(QPainter& painter, QPoint topLeft) const;
  // Writes the picture in its own format (a metafile byte for byte as read); raises
  // when the file cannot be written.
  void save(const QString& fileName) const;

  const QImage& bitmap() const { return bitmap_; }
  const QByteArray& metafile_bytes() const { return metafile_; }
  // What is drawn: the bitmap, or the rendering of the metafile.
  const QImage& image() const { return kind_ == Kind::Metafile ? rendered_ : bitmap_; }
  // The same kind with the same pixels or bytes.
  bool operator==(const BackgroundPicture& other) const;

 private:
  Kind kind_ = Kind::None;
  QImage bitmap_;
  QByteArray metafile_;
  // A metafile is drawn from this rendering, made once when it is read.
  QImage rendered_;
};

}  // namespace vocanta
