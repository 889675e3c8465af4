#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "gui/platform/metafile_painter.h"

namespace vocanta {

namespace {

constexpr uint16_t kUpdatePosition = 0x0001;
constexpr uint16_t kAlignRight = 0x0002, kAlignCentre = 0x0006;
constexpr uint16_t kAlignBottom = 0x0008, kAlignBaseline = 0x0018;
constexpr uint16_t kTextOpaque = 0x0002, kTextClipped = 0x0004;
// Letters of a damaged font height would take seconds each to draw, for nothing that
// fits into a background anyway.
constexpr int kMaxFontPixels = 1024;
constexpr int kDefaultFontPixels = 12;

// Texts in metafiles are bytes of a Western code page; Latin-1 agrees with it on all
// letters that matter for labels.
QString decode(const QByteArray& text) {
  return QString::fromLatin1(text);
}

}  // namespace

void MetafilePainter::text_out(const MetafileRecord& r) {
  const size_t count = r.word(0);
  const size_t after = 1 + (count + 1) / 2;
  draw_text(QPointF(r.value(after + 1), r.value(after)), r.bytes(1, count), {});
}

void MetafilePainter::ext_text_out(const MetafileRecord& r) {
  const QPointF at(r.value(1), r.value(0));
  const size_t count = r.word(2);
  const uint16_t options = r.word(3);
  size_t text = 4;
  const bool boxed = options & (kTextOpaque | kTextClipped);
  QRectF box;
  if (boxed) {
    box = QRectF(map(r.value(4), r.value(5)), map(r.value(6), r.value(7))).normalized();
    text = 8;
  }
  const QByteArray bytes = r.bytes(text, count);
  // The advances of the letters are optional; a writer that leaves them out lets the
  // font decide.
  std::vector<int16_t> dx;
  const size_t dxAt = text + (count + 1) / 2;
  if (count > 0 && r.words() >= dxAt + count)
    for (size_t i = 0; i < count; ++i) dx.push_back(r.value(dxAt + i));
  if (options & kTextOpaque) charge(visible_area(box));
  p_.save();
  if (options & kTextOpaque) p_.fillRect(box, s_.bkColor);
  if (options & kTextClipped) p_.setClipRect(box);
  draw_text(at, bytes, dx);
  p_.restore();
}

QFont MetafilePainter::device_font() const {
  QFont font;
  if (!s_.font.face.isEmpty()) font.setFamily(s_.font.face);
  const double wanted =
      s_.font.height == 0 ? kDefaultFontPixels : std::abs(s_.font.height * scale().y());
  const auto pixels = [](double v) { return std::clamp(int(std::lround(v)), 1, kMaxFontPixels); };
  font.setPixelSize(pixels(wanted));
  // A positive height is that of the whole cell, leading included; a negative one that
  // of the letters alone.
  if (s_.font.height > 0) font.setPixelSize(pixels(wanted * wanted / QFontMetricsF(font).height()));
  font.setWeight(
      QFont::Weight(std::clamp(int(s_.font.weight == 0 ? 400 : s_.font.weight), 1, 1000)));
  font.setItalic(s_.font.italic);
  font.setUnderline(s_.font.underline);
  font.setStrikeOut(s_.font.strikeout);
  return font;
}

void MetafilePainter::draw_text(QPointF logical, const QByteArray& bytes,
                                const std::vector<int16_t>& dx) {
  const bool fromPosition = s_.textAlign & kUpdatePosition;
  if (fromPosition) logical = s_.position;
  const QString text = decode(bytes);
  const QFont font = device_font();
  const QFontMetricsF metrics(font);
  const double xScale = std::abs(scale().x());
  const double width = dx.empty() ? metrics.horizontalAdvance(text)
                                  : std::accumulate(dx.begin(), dx.end(), 0.0) * xScale;
  const uint16_t horizontal = s_.textAlign & kAlignCentre;
  const uint16_t vertical = s_.textAlign & kAlignBaseline;
  const double left = horizontal == kAlignCentre  ? -width / 2
                      : horizontal == kAlignRight ? -width
                                                  : 0;
  const double baseline = vertical == kAlignBaseline ? 0
                          : vertical == kAlignBottom ? -metrics.descent()
                                                     : metrics.ascent();
  QTransform placed;
  const QPointF origin = map(logical.x(), logical.y());
  placed.translate(origin.x(), origin.y());
  placed.rotate(-s_.font.escapement / 10.0);
  charge_font(font);
  charge(visible_area(
             placed.mapRect(QRectF(left, baseline - metrics.ascent(), width, metrics.height()))) +
         text.size() * kRecordPixels);
  p_.save();
  p_.setTransform(placed, true);
  if (s_.opaque)
    p_.fillRect(QRectF(left, baseline - metrics.ascent(), width, metrics.height()), s_.bkColor);
  p_.setFont(font);
  p_.setPen(s_.textColor);
  if (dx.empty()) {
    p_.drawText(QPointF(left, baseline), text);
  } else {
    double x = left;
    for (qsizetype i = 0; i < text.size(); ++i) {
      p_.drawText(QPointF(x, baseline), QString(text[i]));
      x += dx[size_t(i)] * xScale;
    }
  }
  p_.restore();
  if (fromPosition && horizontal == 0) s_.position.rx() += width / scale().x();
}

}  // namespace vocanta
