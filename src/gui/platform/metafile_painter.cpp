#include "gui/platform/metafile_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <string>

#include "core/support/vocanta_error.h"

namespace vocanta {

namespace {

// The object table has 16-bit indexes; a file that creates more without deleting any
// is damaged, and growing the table further would only eat memory.
constexpr size_t kMaxObjects = 0xFFFF;
// Each saved state is a copy; a file of nothing but saves must not eat the memory.
constexpr size_t kMaxSaved = 256;
constexpr uint16_t kMapIsotropic = 7;
constexpr uint16_t kBrushNull = 1, kBrushHatched = 2;
constexpr uint16_t kPenNull = 5;
constexpr uint16_t kOpaque = 2, kWinding = 2;

QColor colour(const MetafileRecord& r, size_t i) {
  const uint32_t c = r.dword(i);
  return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

Qt::BrushStyle hatch_style(uint16_t hatch) {
  static constexpr Qt::BrushStyle kStyles[] = {Qt::HorPattern,   Qt::VerPattern,
                                               Qt::FDiagPattern, Qt::BDiagPattern,
                                               Qt::CrossPattern, Qt::DiagCrossPattern};
  return hatch < std::size(kStyles) ? kStyles[hatch] : Qt::SolidPattern;
}

QPen qt_pen(const MetafilePen& m, double xScale) {
  const int kind = m.style & 0x0F;
  if (kind == kPenNull) return QPen(Qt::NoPen);
  QPen pen(m.color);
  // Thin pens are one pixel wide whatever the scale, as on a screen.
  const double width = std::min(std::abs(m.width * xScale), 16384.0);
  pen.setWidthF(width < 1.5 ? 0 : width);
  static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                             Qt::DashDotLine, Qt::DashDotDotLine};
  pen.setStyle(kind < 5 ? kStyles[kind] : Qt::SolidLine);
  const int cap = m.style & 0x0F00, join = m.style & 0xF000;
  pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
  pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
  return pen;
}

QBrush qt_brush(const MetafileBrush& m) {
  if (m.style == kBrushNull) return Qt::NoBrush;
  return QBrush(m.color, m.style == kBrushHatched ? hatch_style(m.hatch) : Qt::SolidPattern);
}

MetafileFont read_font(const MetafileRecord& r) {
  MetafileFont f;
  f.height = r.value(0);
  f.escapement = r.value(2);
  f.weight = r.value(4);
  const QByteArray flags = r.bytes(5, 3);
  f.italic = flags[0] != 0;
  f.underline = flags[1] != 0;
  f.strikeout = flags[2] != 0;
  if (r.words() > 9) {
    const QByteArray name = r.bytes(9, std::min<size_t>(32, 2 * (r.words() - 9)));
    f.face = QString::fromLatin1(name.left(name.indexOf('\0')));
  }
  return f;
}

// The angle of a point on the ellipse inscribed in box, as Qt's arcs count it.
double angle_on(const QRectF& box, QPointF p) {
  const QPointF c = box.center();
  const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
  return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / std::numbers::pi;
}

}  // namespace

QImage render_metafile(const QByteArray& bytes, const MetafileHeader& header, QSize size,
                       MetafileWork* work) {
  QImage picture(size, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  MetafileWork own;
  MetafilePainter player(painter, header, size, work ? *work : own);
  for_each_metafile_record(bytes, header, [&](const MetafileRecord& r) { player.play(r); });
  return picture;
}

MetafilePainter::MetafilePainter(QPainter& painter, const MetafileHeader& header, QSize size,
                                 MetafileWork& work)
    : p_(painter), size_(size), objects_(header.objectCount), work_(work) {
  std::vector<uint16_t> places(header.objectCount);
  std::iota(places.begin(), places.end(), uint16_t{0});
  // Ascending, so already in the order the queue keeps.
  free_ = decltype(free_)(std::greater<>(), std::move(places));
  // A placeable picture's records speak in the units of its frame until they set up a
  // window of their own.
  s_.windowOrg = header.placeable ? header.frame.topLeft() : QPoint();
  s_.windowExt = header.placeable ? header.frame.size() : size;
}

void MetafilePainter::play(const MetafileRecord& r) {
  ++work_.records;
  charge(kRecordPixels);
  if (play_state(r) || play_object(r) || play_shape(r)) return;
  switch (r.function()) {
    case wmf::kTextOut:
      return text_out(r);
    case wmf::kExtTextOut:
      return ext_text_out(r);
    case wmf::kDibStretchBlt:
      // The short form copies within the picture itself, which here holds nothing yet.
      if (r.words() > 10) stretch_bitmap(r, 10);
      return;
    case wmf::kStretchDib:
      return stretch_bitmap(r, 11);
    default:
      return;  // records that draw nothing here, such as palettes and clipping
  }
}

bool MetafilePainter::play_state(const MetafileRecord& r) {
  switch (r.function()) {
    case wmf::kSaveDc:
      if (saved_.size() < kMaxSaved) saved_.push_back(s_);
      return true;
    case wmf::kRestoreDc: {
      // Negative counts back from the latest save, positive names a level from the first.
      const int n = r.value(0);
      const long level = n < 0 ? long(saved_.size()) + n : long(n) - 1;
      if (level >= 0 && level < long(saved_.size())) {
        s_ = saved_[size_t(level)];
        saved_.resize(size_t(level));
      }
      return true;
    }
    case wmf::kSetBkColor:
      s_.bkColor = colour(r, 0);
      return true;
    case wmf::kSetBkMode:
      s_.opaque = r.word(0) == kOpaque;
      return true;
    case wmf::kSetPolyFillMode:
      s_.fillRule = r.word(0) == kWinding ? Qt::WindingFill : Qt::OddEvenFill;
      return true;
    case wmf::kSetTextColor:
      s_.textColor = colour(r, 0);
      return true;
    case wmf::kSetTextAlign:
      s_.textAlign = r.word(0);
      return true;
    default:
      return play_window(r);
  }
}

bool MetafilePainter::play_window(const MetafileRecord& r) {
  switch (r.function()) {
    case wmf::kSetMapMode:
      s_.mapMode = r.word(0);
      return true;
    case wmf::kSetWindowOrg:
      s_.windowOrg = QPoint(r.value(1), r.value(0));
      return true;
    case wmf::kSetWindowExt:
      if (r.value(0) != 0 && r.value(1) != 0) s_.windowExt = QSize(r.value(1), r.value(0));
      return true;
    case wmf::kMoveTo:
      s_.position = QPointF(r.value(1), r.value(0));
      return true;
    default:
      // The picture's own frame is the viewport, so the records' viewport is not used.
      return r.function() == wmf::kSetViewportOrg || r.function() == wmf::kSetViewportExt;
  }
}

bool MetafilePainter::play_object(const MetafileRecord& r) {
  switch (r.function()) {
    case wmf::kCreatePenIndirect:
      create(MetafilePen{r.word(0), r.value(1), colour(r, 3)});
      return true;
    case wmf::kCreateBrushIndirect:
      create(MetafileBrush{r.word(0), colour(r, 1), r.word(3)});
      return true;
    case wmf::kCreateFontIndirect:
      create(read_font(r));
      return true;
    case wmf::kCreatePalette:
    case wmf::kCreatePatternBrush:
    case wmf::kDibCreatePatternBrush:
    case wmf::kCreateRegion:
      create(MetafileOtherObject{});
      return true;
    case wmf::kSelectObject:
      select(r.word(0));
      return true;
    case wmf::kDeleteObject: {
      MetafileObject& deleted = object(r.word(0));
      if (!std::holds_alternative<std::monostate>(deleted)) free_.push(r.word(0));
      deleted = std::monostate();
      return true;
    }
    default:
      return false;
  }
}

void MetafilePainter::create(MetafileObject created) {
  if (!free_.empty()) {
    objects_[free_.top()] = std::move(created);
    free_.pop();
  } else {
    if (objects_.size() >= kMaxObjects) throw VocantaError("it creates too many objects");
    objects_.push_back(std::move(created));
  }
}

MetafileObject& MetafilePainter::object(uint16_t index) {
  if (index >= objects_.size())
    throw VocantaError("it uses object " + std::to_string(index) + " of only " +
                       std::to_string(objects_.size()));
  return objects_[index];
}

void MetafilePainter::select(uint16_t index) {
  // Selecting a deleted object fails on a screen too, and leaves the state as it was.
  const MetafileObject& o = object(index);
  if (const auto* pen = std::get_if<MetafilePen>(&o)) s_.pen = *pen;
  if (const auto* brush = std::get_if<MetafileBrush>(&o)) s_.brush = *brush;
  if (const auto* font = std::get_if<MetafileFont>(&o)) s_.font = *font;
}

QPointF MetafilePainter::scale() const {
  double sx = double(size_.width()) / s_.windowExt.width();
  double sy = double(size_.height()) / s_.windowExt.height();
  if (s_.mapMode == kMapIsotropic) {
    const double s = std::min(std::abs(sx), std::abs(sy));
    sx = std::copysign(s, sx);
    sy = std::copysign(s, sy);
  }
  return {sx, sy};
}

QPointF MetafilePainter::map(double x, double y) const {
  const QPointF s = scale();
  return {(x - s_.windowOrg.x()) * s.x(), (y - s_.windowOrg.y()) * s.y()};
}

QRectF MetafilePainter::rect(const MetafileRecord& r, size_t bottomAt) const {
  const QPointF topLeft = map(r.value(bottomAt + 3), r.value(bottomAt + 2));
  return QRectF(topLeft, map(r.value(bottomAt + 1), r.value(bottomAt))).normalized();
}

std::vector<QPointF> MetafilePainter::points(const MetafileRecord& r, size_t at,
                                             size_t count) const {
  if (count == 0) return {};
  r.word(at + 2 * count - 1);  // raises before anything is reserved for a short record
  std::vector<QPointF> out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i)
    out.push_back(map(r.value(at + 2 * i), r.value(at + 2 * i + 1)));
  return out;
}

void MetafilePainter::fill_and_stroke(const QPainterPath& path) {
  const QBrush brush = qt_brush(s_.brush);
  const QPen pen = qt_pen(s_.pen, scale().x());
  charge_figure(path, brush.style() != Qt::NoBrush, pen);
  // A hatch leaves its gaps in the background colour unless the mode is transparent.
  if (s_.brush.style == kBrushHatched && s_.opaque) p_.fillPath(path, s_.bkColor);
  p_.setBrush(brush);
  p_.setPen(pen);
  p_.drawPath(path);
}

void MetafilePainter::stroke(const QPainterPath& path) {
  const QPen pen = qt_pen(s_.pen, scale().x());
  charge_figure(path, false, pen);
  p_.setBrush(Qt::NoBrush);
  p_.setPen(pen);
  p_.drawPath(path);
}

bool MetafilePainter::play_shape(const MetafileRecord& r) {
  QPainterPath path;
  path.setFillRule(s_.fillRule);
  switch (r.function()) {
    case wmf::kLineTo: {
      const QPointF to(r.value(1), r.value(0));
      path.moveTo(map(s_.position.x(), s_.position.y()));
      path.lineTo(map(to.x(), to.y()));
      s_.position = to;
      stroke(path);
      return true;
    }
    case wmf::kPolyline:
    case wmf::kPolygon: {
      const std::vector<QPointF> v = points(r, 1, r.word(0));
      if (v.empty()) return true;
      path.addPolygon(QPolygonF(QList<QPointF>(v.begin(), v.end())));
      if (r.function() == wmf::kPolyline) {
        stroke(path);
      } else {
        path.closeSubpath();
        fill_and_stroke(path);
      }
      return true;
    }
    case wmf::kPolyPolygon:
      poly_polygon(r);
      return true;
    default:
      return play_figure(r);
  }
}

bool MetafilePainter::play_figure(const MetafileRecord& r) {
  QPainterPath path;
  switch (r.function()) {
    case wmf::kRectangle:
      path.addRect(rect(r, 0));
      fill_and_stroke(path);
      return true;
    case wmf::kRoundRect: {
      const QPointF s = scale();
      path.addRoundedRect(rect(r, 2), std::abs(r.value(1) * s.x()) / 2,
                          std::abs(r.value(0) * s.y()) / 2);
      fill_and_stroke(path);
      return true;
    }
    case wmf::kEllipse:
      path.addEllipse(rect(r, 0));
      fill_and_stroke(path);
      return true;
    case wmf::kArc:
    case wmf::kPie:
    case wmf::kChord:
      arc(r);
      return true;
    default:
      return false;
  }
}

void MetafilePainter::poly_polygon(const MetafileRecord& r) {
  const size_t polygons = r.word(0);
  size_t at = 1 + polygons;
  QPainterPath path;
  path.setFillRule(s_.fillRule);
  for (size_t i = 0; i < polygons; ++i) {
    const size_t count = r.word(1 + i);
    const std::vector<QPointF> v = points(r, at, count);
    at += 2 * count;
    if (v.empty()) continue;
    path.addPolygon(QPolygonF(QList<QPointF>(v.begin(), v.end())));
    path.closeSubpath();
  }
  fill_and_stroke(path);
}

void MetafilePainter::arc(const MetafileRecord& r) {
  const QRectF box = rect(r, 4);
  const double start = angle_on(box, point(r, 2));
  double span = angle_on(box, point(r, 0)) - start;
  // Counter-clockwise from the start to the end; the same point twice is a whole turn.
  while (span <= 0) span += 360;
  QPainterPath path;
  // A pie's arc is joined to the centre, where its outline begins.
  if (r.function() == wmf::kPie)
    path.moveTo(box.center());
  else
    path.arcMoveTo(box, start);
  path.arcTo(box, start, span);
  if (r.function() == wmf::kArc) return stroke(path);
  path.closeSubpath();
  fill_and_stroke(path);
}

}  // namespace vocanta
