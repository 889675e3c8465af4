#include "gui/platform/background_picture.h"

#include <gtest/gtest.h>

#include <QFile>

#include "core/support/vocanta_error.h"
#include "gui/platform/metafile_bytes.h"
#include "gui/platform/metafile_painter.h"
#include "gui/platform/metafile_reader.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::MetafileBytes;

// 200 x 100 units at 192 an inch make 100 x 50 pixels, two units a pixel.
QByteArray sample_metafile() {
  MetafileBytes m;
  m.record(wmf::kSetWindowOrg, {0, 0});
  m.record(wmf::kSetWindowExt, {100, 200});
  m.record(wmf::kCreateBrushIndirect, {0, 0x00FF, 0, 0});  // 0: red
  m.record(wmf::kCreatePenIndirect, {5, 0, 0, 0, 0});      // 1: no pen
  m.record(wmf::kSelectObject, {0});
  m.record(wmf::kSelectObject, {1});
  m.record(wmf::kRectangle, {80, 100, 20, 20});             // pixels 10..49 x 10..39
  m.record(wmf::kCreatePenIndirect, {0, 0, 0, 0, 0x00FF});  // 2: blue
  m.record(wmf::kSelectObject, {2});
  m.record(wmf::kMoveTo, {90, 120});
  m.record(wmf::kLineTo, {90, 180});  // row 45
  // 2 x 2 pixels, the lower row green, the upper yellow, over pixels 70..89 x 5..14.
  m.record(wmf::kStretchDib,
           {0x0020, 0x00CC, 0, 2, 2, 0,      0, 20,     40, 10,     140,    40,     0,
            2,      0,      2, 0, 1, 24,     0, 0,      0,  0,      0,      0,      0,
            0,      0,      0, 0, 0, 0xFF00, 0, 0x00FF, 0,  0xFF00, 0x00FF, 0xFFFF, 0});
  m.record(wmf::kCreateFontIndirect,
           {-20, 0, 0, 0, 700, 0, 0, 0, 0, 'S' | 'a' << 8, 'n' | 's' << 8, 0});
  m.record(wmf::kSelectObject, {3});
  m.record(wmf::kExtTextOut, {84, 0, 2, 0, 'H' | 'i' << 8});
  return m.file(200, 100, 192, 4);
}

std::string error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const VocantaError& e) {
    return e.what();
  }
  return "no error";
}

TEST(BackgroundPicture, DrawsAMetafileAndSavesItsBytes) {
  testing::TempDir dir;
  const QString file = QString::fromStdString(dir.file("sketch.WMF"));
  testing::write_file(file.toStdString(), sample_metafile().toStdString());
  const BackgroundPicture p = BackgroundPicture::from_file(file);
  ASSERT_EQ(p.kind(), BackgroundPicture::Kind::Metafile);
  EXPECT_EQ(p.size(), QSize(100, 50));
  const QImage& im = p.image();
  EXPECT_EQ(im.pixel(30, 25), 0xFFFF0000u);
  EXPECT_EQ(im.pixel(75, 45), 0xFF0000FFu);
  EXPECT_EQ(im.pixel(75, 7), 0xFFFFFF00u);
  EXPECT_EQ(im.pixel(75, 13), 0xFF00FF00u);
  EXPECT_EQ(qAlpha(im.pixel(5, 5)), 0);  // untouched: the diagram shows through
  EXPECT_EQ(qAlpha(im.pixel(55, 25)), 0);

  const std::string copy = dir.file("copy.wmf");
  testing::write_file(copy, "an older file");
  p.save(QString::fromStdString(copy));
  EXPECT_EQ(QByteArray::fromStdString(testing::read_file(copy)), sample_metafile());
}

TEST(BackgroundPicture, RefusesDamagedMetafiles) {
  const QByteArray good = sample_metafile();
  for (qsizetype n = 0; n < good.size(); ++n)
    EXPECT_THROW(BackgroundPicture::from_metafile(good.left(n)), VocantaError) << n;
  // Any one byte spoilt either still draws or is refused, never more.
  for (qsizetype i = 0; i < good.size(); ++i) {
    QByteArray bad = good;
    bad[i] = char(0xFF);
    try {
      BackgroundPicture::from_metafile(bad);
    } catch (const VocantaError&) {
    }
  }

  testing::TempDir dir;
  const std::string cut = dir.file("cut.wmf");
  testing::write_file(cut, good.left(good.size() - 10).toStdString());
  EXPECT_EQ(error_of([&] { BackgroundPicture::from_file(QString::fromStdString(cut)); }),
            "Cannot read the picture " + cut + ": record 15 runs past the end of the file");
  QByteArray zero = good;
  zero[40] = zero[41] = 0;  // the size of the first record
  EXPECT_EQ(error_of([&] { BackgroundPicture::from_metafile(zero); }),
            "Cannot read the metafile: record 1 has the impossible size 0");
  MetafileBytes far;
  far.record(wmf::kSelectObject, {40000});
  EXPECT_EQ(error_of([&] { BackgroundPicture::from_metafile(far.file(10, 10, 96, 2)); }),
            "Cannot read the metafile: it uses object 40000 of only 2");
  EXPECT_EQ(error_of([&] { BackgroundPicture::from_metafile(far.file(30000, 100, 1, 2)); }),
            "Cannot read the metafile: the picture is too large (2880000 x 9600 pixels)");
}

// A picture of side x side pixels that fills itself with count red ellipses.
QByteArray ellipses(int side, int count) {
  MetafileBytes m;
  m.record(wmf::kCreateBrushIndirect, {0, 0x00FF, 0, 0});
  m.record(wmf::kSelectObject, {0});
  for (int i = 0; i < count; ++i) m.record(wmf::kEllipse, {side, side, 0, 0});
  return m.file(side, side, 96, 1);
}

TEST(BackgroundPicture, AMetafileThatDrawsTooMuchIsRefusedAfterBoundedWork) {
  const auto play = [](const QByteArray& file, MetafileWork& work) {
    const MetafileHeader header = read_metafile_header(file);
    return error_of([&] { render_metafile(file, header, QSize(1024, 1024), &work); });
  };
  // Two thousand ellipses over the whole frame are refused after some 230 of them.
  MetafileWork work;
  EXPECT_EQ(play(ellipses(1024, 2000), work).substr(0, 31), "it draws too much to be shown (");
  EXPECT_GT(work.records, 200u);
  EXPECT_LT(work.records, 260u);
  EXPECT_LE(work.pixels, kMaxMetafilePixels + 2 * 1024 * 1024);
  EXPECT_EQ(error_of([&] { BackgroundPicture::from_metafile(ellipses(1024, 2000)); }).substr(0, 57),
            "Cannot read the metafile: it draws too much to be shown (");
  // An ordinary drawing of many shapes, some of them over the whole frame, opens.
  work = {};
  EXPECT_EQ(play(ellipses(1024, 100), work), "no error");
  EXPECT_EQ(work.records, 102u);
  MetafileBytes small;
  for (int i = 0; i < 20000; ++i) small.record(wmf::kRectangle, {i % 1000 + 8, 8, i % 1000, 0});
  work = {};
  const QByteArray many = small.file(1024, 1024, 96, 0);
  EXPECT_EQ(play(many, work), "no error");
  EXPECT_EQ(work.records, 20000u);
}

TEST(BackgroundPicture, ANewObjectTakesTheLowestFreePlaceInTheTable) {
  MetafileBytes m;
  const auto pen = [&](int red, int green, int blue) {
    m.record(wmf::kCreatePenIndirect, {0, 0, 0, red | green << 8, blue});
  };
  pen(0xFF, 0, 0);  // 0
  pen(0, 0xFF, 0);  // 1
  pen(0, 0, 0xFF);  // 2
  m.record(wmf::kDeleteObject, {1});
  m.record(wmf::kDeleteObject, {0});
  m.record(wmf::kDeleteObject, {0});  // a second time changes nothing
  pen(0xFF, 0xFF, 0);                 // takes 0
  pen(0, 0xFF, 0xFF);                 // takes 1
  pen(0xFF, 0, 0xFF);                 // a new place: 3
  for (const int object : {0, 1, 2, 3}) {
    m.record(wmf::kSelectObject, {object});
    m.record(wmf::kMoveTo, {object, 0});
    m.record(wmf::kLineTo, {object, 10});
  }
  const BackgroundPicture p = BackgroundPicture::from_metafile(m.file(10, 4, 96, 3));
  ASSERT_EQ(p.size(), QSize(10, 4));
  EXPECT_EQ(p.image().pixel(5, 0), 0xFFFFFF00u);
  EXPECT_EQ(p.image().pixel(5, 1), 0xFF00FFFFu);
  EXPECT_EQ(p.image().pixel(5, 2), 0xFF0000FFu);
  EXPECT_EQ(p.image().pixel(5, 3), 0xFFFF00FFu);
}

TEST(BackgroundPicture, ReadsAndWritesBitmapsByExtension) {
  testing::TempDir dir;
  QImage square(8, 6, QImage::Format_RGB32);
  square.fill(QColor(0, 128, 255));
  const QString png = QString::fromStdString(dir.file("square.png"));
  ASSERT_TRUE(square.save(png));
  const BackgroundPicture p = BackgroundPicture::from_file(png);
  EXPECT_EQ(p.kind(), BackgroundPicture::Kind::Bitmap);
  EXPECT_EQ(p.size(), QSize(8, 6));
  const QString saved = QString::fromStdString(dir.file("saved.bmp"));
  p.save(saved);
  EXPECT_EQ(QImage(saved, "BMP").pixel(3, 3), square.pixel(3, 3));
  EXPECT_EQ(
      error_of([&] { BackgroundPicture::from_file(QString::fromStdString(dir.file("a.xyz"))); }),
      "Unknown picture file extension (.xyz)");
  EXPECT_THROW(p.save(QString::fromStdString(dir.file("missing/folder.bmp"))), VocantaError);
}

}  // namespace
}  // namespace vocanta
