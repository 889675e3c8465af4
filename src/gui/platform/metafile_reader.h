#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace vocanta {

// Record types of a metafile that this program draws or must know about.
namespace wmf {
constexpr uint16_t kEof = 0x0000;
constexpr uint16_t kSaveDc = 0x001E;
constexpr uint16_t kCreatePalette = 0x00F7;
constexpr uint16_t kSetBkMode = 0x0102;
constexpr uint16_t kSetMapMode = 0x0103;
constexpr uint16_t kSetPolyFillMode = 0x0106;
constexpr uint16_t kRestoreDc = 0x0127;
constexpr uint16_t kSelectObject = 0x012D;
constexpr uint16_t kSetTextAlign = 0x012E;
constexpr uint16_t kDibCreatePatternBrush = 0x0142;
constexpr uint16_t kDeleteObject = 0x01F0;
constexpr uint16_t kCreatePatternBrush = 0x01F9;
constexpr uint16_t kSetBkColor = 0x0201;
constexpr uint16_t kSetTextColor = 0x0209;
constexpr uint16_t kSetWindowOrg = 0x020B;
constexpr uint16_t kSetWindowExt = 0x020C;
constexpr uint16_t kSetViewportOrg = 0x020D;
constexpr uint16_t kSetViewportExt = 0x020E;
constexpr uint16_t kLineTo = 0x0213;
constexpr uint16_t kMoveTo = 0x0214;
constexpr uint16_t kCreatePenIndirect = 0x02FA;
constexpr uint16_t kCreateFontIndirect = 0x02FB;
constexpr uint16_t kCreateBrushIndirect = 0x02FC;
constexpr uint16_t kPolygon = 0x0324;
constexpr uint16_t kPolyline = 0x0325;
constexpr uint16_t kEllipse = 0x0418;
constexpr uint16_t kRectangle = 0x041B;
constexpr uint16_t kTextOut = 0x0521;
constexpr uint16_t kPolyPolygon = 0x0538;
constexpr uint16_t kRoundRect = 0x061C;
constexpr uint16_t kCreateRegion = 0x06FF;
constexpr uint16_t kArc = 0x0817;
constexpr uint16_t kPie = 0x081A;
constexpr uint16_t kChord = 0x0830;
constexpr uint16_t kExtTextOut = 0x0A32;
constexpr uint16_t kDibStretchBlt = 0x0B41;
constexpr uint16_t kStretchDib = 0x0F43;
}  // namespace wmf

// One record: its type and its parameters, read as little-endian 16-bit words. Reading
// past its end raises, so a short record cannot make the painter read foreign bytes.
class MetafileRecord {
 public:
  MetafileRecord(uint16_t function, const char* params, size_t words)
      : function_(function), params_(params), words_(words) {}

  uint16_t function() const { return function_; }
  size_t words() const { return words_; }
  uint16_t word(size_t i) const;
  int16_t value(size_t i) const { return static_cast<int16_t>(word(i)); }
  uint32_t dword(size_t i) const { return word(i) | uint32_t{word(i + 1)} << 16; }
  // count bytes from word i on.
  QByteArray bytes(size_t i, size_t count) const;

 private:
  uint16_t function_;
  const char* params_;
  size_t words_;
};

// What the headers say about a metafile. A placeable header gives its frame in logical
// units and how many of them make an inch; without one the picture is sized from the
// window its records set up.
struct MetafileHeader {
  bool placeable = false;
  QRect frame;
  int unitsPerInch = 0;
  uint16_t objectCount = 0;
  size_t firstRecord = 0;
};

// Both raise VocantaError with the reason when the bytes are not a metafile or break off.
MetafileHeader read_metafile_header(const QByteArray& bytes);
// Calls visit for every record up to the end record, which must be there.
void for_each_metafile_record(const QByteArray& bytes, const MetafileHeader& header,
                              const std::function<void(const MetafileRecord&)>& visit);
// The size in pixels at 96 dots per inch; raises when it is empty or absurdly large.
QSize metafile_picture_size(const QByteArray& bytes, const MetafileHeader& header);

}  // namespace vocanta
