#include "gui/platform/metafile_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/support/vocanta_error.h"

namespace vocanta {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableBytes = 22;
constexpr size_t kHeaderWords = 9;
constexpr int kDotsPerInch = 96;
// A background lies under a diagram of a few hundred pixels; anything far beyond that
// is a damaged header, and its rendering would take gigabytes.
constexpr int kMaxSide = 8192;
constexpr qint64 kMaxPixels = qint64{1} << 24;
// Without a placeable header the window extent is in logical units, which may be fine
// ones; such a picture is scaled down to this size instead of being refused.
constexpr int kUnplacedSide = 1024;

uint16_t word_at(const QByteArray& bytes, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t dword_at(const QByteArray& bytes, size_t at) {
  return word_at(bytes, at) | uint32_t{word_at(bytes, at + 2)} << 16;
}

int16_t value_at(const QByteArray& bytes, size_t at) {
  return static_cast<int16_t>(word_at(bytes, at));
}

[[noreturn]] void fail(const std::string& reason) {
  throw VocantaError(reason);
}

QSize checked(qint64 width, qint64 height) {
  if (width < 1 || height < 1) fail("the picture has no size");
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    fail("the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) +
         " pixels)");
  return QSize(int(width), int(height));
}

}  // namespace

uint16_t MetafileRecord::word(size_t i) const {
  if (i >= words_) fail("a record of type " + std::to_string(function_) + " is too short");
  const auto* p = reinterpret_cast<const unsigned char*>(params_) + 2 * i;
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

QByteArray MetafileRecord::bytes(size_t i, size_t count) const {
  if (i > words_ || count > 2 * (words_ - i))
    fail("a record of type " + std::to_string(function_) + " is too short");
  return QByteArray(params_ + 2 * i, static_cast<qsizetype>(count));
}

MetafileHeader read_metafile_header(const QByteArray& bytes) {
  MetafileHeader h;
  const size_t size = static_cast<size_t>(bytes.size());
  if (size >= 4 && dword_at(bytes, 0) == kPlaceableKey) {
    if (size < kPlaceableBytes) fail("the file ends inside its header");
    h.placeable = true;
    const int left = value_at(bytes, 6), top = value_at(bytes, 8);
    h.frame = QRect(left, top, value_at(bytes, 10) - left, value_at(bytes, 12) - top);
    h.unitsPerInch = word_at(bytes, 14);
    h.firstRecord = kPlaceableBytes;
  }
  const size_t at = h.firstRecord;
  if (size < at + 2 * kHeaderWords) fail("the file is too short for a metafile");
  const uint16_t type = word_at(bytes, at);
  if ((type != 1 && type != 2) || word_at(bytes, at + 2) != kHeaderWords)
    fail("the file is not a metafile");
  h.objectCount = word_at(bytes, at + 10);
  h.firstRecord = at + 2 * kHeaderWords;
  return h;
}

void for_each_metafile_record(const QByteArray& bytes, const MetafileHeader& header,
                              const std::function<void(const MetafileRecord&)>& visit) {
  const size_t size = static_cast<size_t>(bytes.size());
  size_t at = header.firstRecord;
  for (size_t number = 1;; ++number) {
    if (size - at < 6) fail("the file ends before its last record");
    const uint32_t words = dword_at(bytes, at);
    const uint16_t function = word_at(bytes, at + 4);
    if (words < 3)
      fail("record " + std::to_string(number) + " has the impossible size " +
           std::to_string(words));
    if (words > (size - at) / 2)
      fail("record " + std::to_string(number) + " runs past the end of the file");
    if (function == wmf::kEof) return;
    visit(MetafileRecord(function, bytes.constData() + at + 6, words - 3));
    at += 2 * size_t{words};
  }
}

QSize metafile_picture_size(const QByteArray& bytes, const MetafileHeader& header) {
  if (header.placeable) {
    if (header.unitsPerInch == 0) fail("its header gives no units per inch");
    const auto pixels = [&](int units) {
      return std::llround(std::abs(double(units)) * kDotsPerInch / header.unitsPerInch);
    };
    return checked(pixels(header.frame.width()), pixels(header.frame.height()));
  }
  QSize extent;
  for_each_metafile_record(bytes, header, [&](const MetafileRecord& r) {
    if (r.function() == wmf::kSetWindowExt && extent.isEmpty())
      extent = QSize(std::abs(int{r.value(1)}), std::abs(int{r.value(0)}));
  });
  if (extent.isEmpty()) fail("it sets up no window, so its size is unknown");
  const double scale =
      std::min(1.0, double(kUnplacedSide) / std::max(extent.width(), extent.height()));
  return checked(std::max(1LL, std::llround(extent.width() * scale)),
                 std::max(1LL, std::llround(extent.height() * scale)));
}

}  // namespace vocanta
