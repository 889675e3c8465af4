#include <QPainter>
#include <QtEndian>
#include <cstdlib>

#include "core/support/vocanta_error.h"
#include "gui/platform/metafile_painter.h"

namespace vocanta {

namespace {

constexpr uint32_t kCoreHeader = 12, kInfoHeader = 40;
constexpr uint32_t kBitFields = 3;
constexpr int kMaxSide = 8192;
constexpr qint64 kMaxPixels = qint64{1} << 24;

uint32_t u32(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<uint32_t>(b.constData() + at);
}
uint16_t u16(const QByteArray& b, qsizetype at) {
  return qFromLittleEndian<uint16_t>(b.constData() + at);
}

[[noreturn]] void damaged() {
  throw VocantaError("a bitmap in it is damaged");
}

struct DibLayout {
  qint64 width = 0, height = 0;  // height < 0: the rows run top down
  qint64 bitsOffset = 0;         // from the start of the header
};

DibLayout layout_of(const QByteArray& dib) {
  if (dib.size() < qsizetype(kCoreHeader)) damaged();
  const uint32_t header = u32(dib, 0);
  DibLayout d;
  qint64 colours = 0, entry = 4, masks = 0;
  if (header == kCoreHeader) {
    d.width = u16(dib, 4);
    d.height = u16(dib, 6);
    const int bits = u16(dib, 10);
    colours = bits <= 8 ? qint64{1} << bits : 0;
    entry = 3;
  } else {
    if (header < kInfoHeader || dib.size() < qsizetype(kInfoHeader)) damaged();
    d.width = qint32(u32(dib, 4));
    d.height = qint32(u32(dib, 8));
    const int bits = u16(dib, 14);
    const uint32_t used = u32(dib, 32);
    colours = used != 0 ? used : bits <= 8 ? qint64{1} << bits : 0;
    if (header == kInfoHeader && u32(dib, 16) == kBitFields) masks = 12;
  }
  if (d.width <= 0 || d.height == 0 || d.width > kMaxSide || std::abs(d.height) > kMaxSide ||
      d.width * std::abs(d.height) > kMaxPixels)
    damaged();
  d.bitsOffset = header + colours * entry + masks;
  if (d.bitsOffset > dib.size()) damaged();
  return d;
}

// A bitmap in a metafile is a bitmap file without its first 14 bytes; with them put
// back, Qt's reader takes every depth and compression it may have.
QImage decode_dib(const QByteArray& dib, const DibLayout& d) {
  QByteArray file("BM");
  const auto put32 = [&](uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    file.append(b, 4);
  };
  put32(uint32_t(14 + dib.size()));
  put32(0);
  put32(uint32_t(14 + d.bitsOffset));
  file.append(dib);
  QImage image;
  if (!image.loadFromData(file, "BMP")) throw VocantaError("a bitmap in it cannot be read");
  return image;
}

}  // namespace

void MetafilePainter::stretch_bitmap(const MetafileRecord& r, size_t first) {
  const QByteArray dib = r.bytes(first, 2 * (r.words() - first));
  const DibLayout d = layout_of(dib);
  // A compressed bitmap of a few bytes may unpack to millions of pixels.
  charge(double(d.width) * double(std::abs(d.height)));
  const QImage image = decode_dib(dib, d);
  const int srcHeight = r.value(first - 8), srcWidth = r.value(first - 7);
  const int ySrc = r.value(first - 6), xSrc = r.value(first - 5);
  // Rows of a bottom-up bitmap are counted from its lower edge.
  const int top = d.height > 0 ? image.height() - ySrc - srcHeight : ySrc;
  const QRect source = QRect(xSrc, top, srcWidth, srcHeight).normalized() & image.rect();
  if (source.isEmpty()) return;
  const int destHeight = r.value(first - 4), destWidth = r.value(first - 3);
  const int yDest = r.value(first - 2), xDest = r.value(first - 1);
  const QPointF a = map(xDest, yDest), b = map(xDest + destWidth, yDest + destHeight);
  // Flipped axes turn the bitmap over, as they do every other figure.
  charge(visible_area(QRectF(a, b)));
  const QImage part = image.copy(source).mirrored(b.x() < a.x(), b.y() < a.y());
  p_.drawImage(QRectF(a, b).normalized(), part);
}

}  // namespace vocanta
