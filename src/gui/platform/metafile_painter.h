#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

#include "gui/platform/metafile_reader.h"

class QPainter;

namespace vocanta {

// Draws the records of a metafile into a transparent picture of the given size, so that
// whatever the records leave untouched shows the diagram through. Raises VocantaError
// with the reason when a record is damaged.
QImage render_metafile(const QByteArray& bytes, const MetafileHeader& header, QSize size);

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
  MetafilePainter(QPainter& painter, const MetafileHeader& header, QSize size);
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

  void apply_pen();
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

  QPainter& p_;
  QSize size_;
  State s_;
  std::vector<State> saved_;
  std::vector<MetafileObject> objects_;
};

}  // namespace vocanta
