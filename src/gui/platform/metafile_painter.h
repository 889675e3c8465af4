#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <queue>
#include <variant>
#include <vector>

#include "gui/platform/metafile_reader.h"

class QPainter;

namespace vocanta {

// The work of drawing a metafile, counted as it goes. Any picture thus opens in a
// fraction of a second or is refused: a file of a few megabytes can ask for thousands of
// shapes over the whole picture, minutes of drawing for nothing a diagram could show.
struct MetafileWork {
  size_t records = 0;
  // What the records paint, in pixels of the picture, and their fixed costs in the same
  // unit: each record, each point of a figure, each letter and each change of font.
  double pixels = 0;
};
// A tenth of a second of drawing or so: some two hundred and fifty times the area of a
// picture as large as a diagram's window.
constexpr double kMaxMetafilePixels = double(1 << 28);

// Draws the records of a metafile into a transparent picture of the given size, so that
// whatever the records leave untouched shows the diagram through. Raises VocantaError
// with the reason when a record is damaged or the picture asks for too much work; work,
// when given, holds what was done up to the end or the refusal.
QImage render_metafile(const QByteArray& bytes, const MetafileHeader& header, QSize size,
                       MetafileWork* work = nullptr);

// The drawing objects a metafile creates, as its records describe them.
struct MetafilePen {
  uint16_t style = 0;
  int16_t width = 0;
  QColor color = Qt::black;
};
struct MetafileBrush {
  uint16_t style = 0;
  QColor color = Qt::white;
  uint16_t hatch = 0;
};
struct MetafileFont {
  int16_t height = 0;
  int16_t escapement = 0;
  int16_t weight = 400;
  bool italic = false, underline = false, strikeout = false;
  QString face;
};
// Palettes, regions and pattern brushes are not drawn, but they take their place in the
// object table like the others, or later indexes would point at the wrong objects.
struct MetafileOtherObject {};
using MetafileObject =
    std::variant<std::monostate, MetafilePen, MetafileBrush, MetafileFont, MetafileOtherObject>;

// Plays records one by one, keeping the state a drawing context would keep.
class MetafilePainter {
 public:
  MetafilePainter(QPainter& painter, const MetafileHeader& header, QSize size, MetafileWork& work);
  void play(const MetafileRecord& r);

 private:
  struct State {
    MetafilePen pen;
    MetafileBrush brush;
    MetafileFont font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool opaque = true;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    uint16_t textAlign = 0;
    uint16_t mapMode = 1;
    QPoint windowOrg;
    QSize windowExt;
    QPointF position;  // logical
  };

  bool play_state(const MetafileRecord& r);
  bool play_window(const MetafileRecord& r);
  bool play_object(const MetafileRecord& r);
  bool play_shape(const MetafileRecord& r);
  bool play_figure(const MetafileRecord& r);
  void create(MetafileObject object);
  MetafileObject& object(uint16_t index);
  void select(uint16_t index);

  QPointF map(double x, double y) const;
  QPointF point(const MetafileRecord& r, size_t yAt) const {
    return map(r.value(yAt + 1), r.value(yAt));
  }
  QRectF rect(const MetafileRecord& r, size_t bottomAt) const;
  QPointF scale() const;
  std::vector<QPointF> points(const MetafileRecord& r, size_t at, size_t count) const;

  void fill_and_stroke(const QPainterPath& path);
  void stroke(const QPainterPath& path);
  void arc(const MetafileRecord& r);
  void poly_polygon(const MetafileRecord& r);

  // metafile_text.cpp
  void text_out(const MetafileRecord& r);
  void ext_text_out(const MetafileRecord& r);
  void draw_text(QPointF logical, const QByteArray& text, const std::vector<int16_t>& dx);
  QFont device_font() const;
  // metafile_bitmap.cpp
  void stretch_bitmap(const MetafileRecord& r, size_t first);
  // metafile_work.cpp
  static constexpr double kRecordPixels = 256;
  void charge(double pixels);
  double visible_area(const QRectF& device) const;
  void charge_figure(const QPainterPath& path, bool filled, const QPen& pen);
  void charge_font(const QFont& font);

  QPainter& p_;
  QSize size_;
  State s_;
  std::vector<State> saved_;
  std::vector<MetafileObject> objects_;
  // The empty places in objects_, lowest first: a new object takes the lowest, as on a
  // screen, without a search through the table.
  std::priority_queue<uint16_t, std::vector<uint16_t>, std::greater<>> free_;
  MetafileWork& work_;
  std::vector<QFont> fontsUsed_;
};

}  // namespace vocanta
