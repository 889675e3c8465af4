#include "gui/diagram/parameter_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "core/model/curve_state.h"
#include "core/support/vocanta_error.h"
#include "gui/diagram/diagram_view.h"
#include "gui/diagram/fake_window_host.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

using testing::FakeWindowHost;

constexpr unsigned kRed = 0xFF0000, kBlack = 0, kBlue = 0x0000FF, kGreen = 0x008000;
// The offscreen platform's window background is white as well.
constexpr unsigned kWhite = 0xFFFFFF, kGrey = 0x808080, kWindow = 0xFFFFFF;

unsigned rgb(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFFu;
}

// Shows the window and sizes it so that its diagram is w by h pixels.
void show_with_diagram(ParameterWindow& win, int w, int h) {
  win.show();
  win.resize(win.width() + w - win.image()->width(), win.height() + h - win.image()->height());
}

// F0 over 0..1 s and 0..200 Hz on 401 by 201 pixels: every pixel is 1/400 s and 1 Hz.
ParameterWindow& f0_window(FakeWindowHost& host) {
  ParameterWindow& win = host.window(param::kF0);
  show_with_diagram(win, 401, 201);
  return win;
}

std::string caption(const ParameterWindow& win) {
  return win.windowTitle().toStdString();
}

TEST(ParameterWindowGrid, FollowsTheStepRules) {
  AxisGrid g = axis_grid(385, 0, 5, 0);  // n = nice_step(385 div 15) = 20
  EXPECT_DOUBLE_EQ(g.minor.step, 0.2);
  EXPECT_EQ(g.minor.count, 25);
  EXPECT_DOUBLE_EQ(g.major.step, 1);
  EXPECT_DOUBLE_EQ(axis_grid(1000, 0, 5, 1).minor.step, 1);
  g = axis_grid(385, 1, 5, 0);
  EXPECT_DOUBLE_EQ(g.minor.start, 1);
  EXPECT_DOUBLE_EQ(g.major.start, 1);

  FakeWindowHost host;
  ParameterWindow& win = host.window(param::kF0);
  show_with_diagram(win, 385, 200);
  win.xmaxedit->setText("5");
  win.lay_out();
  EXPECT_DOUBLE_EQ(win.x_grid().minor.step, 0.2);
  EXPECT_EQ(win.x_grid().minor.count, 25);
  // The diagram fills the space between the axis fields, and its picture has its size.
  const QRect d = win.image()->geometry();
  EXPECT_EQ(d.width(), 385);
  EXPECT_EQ(d.left(), win.xminedit->x());
  EXPECT_EQ(d.right(), win.xmaxedit->geometry().right());
  EXPECT_EQ(d.bottom(), win.yminedit->geometry().bottom());
  EXPECT_EQ(win.diagram().size(), d.size());
  // Too small a window grows to hold the fields and captions.
  win.resize(20, 20);
  EXPECT_EQ(win.width(), 6 + win.xlabel->width() + 3 * win.xminedit->width());
  EXPECT_EQ(win.height(), 6 + win.ylabel->height() + 3 * win.xminedit->height());
}

TEST(ParameterWindowMapping, RoundsTiesToEvenAndSnaps) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  for (int X = 0; X < 401; ++X) EXPECT_EQ(win.value_to_x(win.x_to_value(X)), X);
  for (int Y = 0; Y < 201; ++Y) EXPECT_EQ(win.value_to_y(win.y_to_value(Y)), Y);
  EXPECT_EQ(win.x_to_value(400), 1);
  EXPECT_EQ(win.y_to_value(0), 200);
  // 2.5 and 3.5 Hz lie half-way between rows 198/197 and 197/196.
  EXPECT_EQ(win.value_to_y(2.5), 198);
  EXPECT_EQ(win.value_to_y(3.5), 196);

  // The subharmonic spectrum snaps x to k + 0.5.
  ParameterWindow& sub = host.window(param::kSubharmonicSpectrum);
  show_with_diagram(sub, 300, 200);
  for (int X = 0; X < 300; X += 7) {
    const double v = sub.x_to_value(X);
    EXPECT_EQ(v - 0.5, std::floor(v)) << X;
    EXPECT_LE(std::abs(v - 20.0 * X / 299), 0.5) << X;
  }
}

TEST(ParameterWindowCaption, ReportsTheValueUnderTheMouse) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  QTest::mousePress(win.image(), Qt::LeftButton, {}, QPoint(200, 100));
  EXPECT_EQ(caption(win), "F0 Time=0.500s Freq=100.000Hz  100.000Hz by default");

  Voice& voice = host.voice();
  voice.add_point(param::kF0, "", 1, 0, 100, 100, 0);
  voice.add_point(param::kF0, "", 1, 1, 200, 200, 0);
  win.show_cursor_position(200, 100);
  EXPECT_EQ(caption(win), "F0 Time=0.500s Freq=100.000Hz  ");
  CurveState& s = voice.parameter(param::kF0).state;
  s.currentCurve = s.curves;
  win.show_cursor_position(100, 50);
  EXPECT_EQ(caption(win), "F0 Time=0.250s Freq=150.000Hz  125.000Hz 1");

  host.session().set_decimal_separator(',');
  win.show_cursor_position(1, 50);
  EXPECT_EQ(caption(win), "F0 Time=0,003s Freq=150,000Hz  100,250Hz 1");

  ParameterWindow& formants = host.window(param::kFormants);
  show_with_diagram(formants, 401, 201);  // 0..1 s, 0..5000 Hz
  formants.show_cursor_position(200, 100);
  EXPECT_EQ(caption(formants), "Formants Time=0,500s Freq=2500,000Hz  ");
}

TEST(ParameterWindowDrawing, DefaultLineGivesWayToTheCurve) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  EXPECT_EQ(rgb(win.diagram(), 10, 100), kRed);
  EXPECT_TRUE(win.displayed() == win.diagram());

  Parameter& f0 = host.voice().parameter(param::kF0);
  f0.state.selectedPoint = host.voice().add_point(param::kF0, "", 1, 0.5, 150, 150, 0);
  win.redraw();
  EXPECT_EQ(rgb(win.diagram(), 10, 100), kGrey);   // the major grid line, no default line
  EXPECT_EQ(rgb(win.diagram(), 10, 50), kBlack);   // flat to the left edge
  EXPECT_EQ(rgb(win.diagram(), 390, 50), kBlack);  // and to the right edge
  EXPECT_EQ(rgb(win.diagram(), 200 + 3, 50), kGreen);
  EXPECT_EQ(rgb(win.diagram(), 200 + 2, 50), kRed);
  EXPECT_EQ(rgb(win.diagram(), 200 + 1, 50), kWhite);
  EXPECT_EQ(rgb(win.diagram(), 10, 49), kWindow);  // no white edge without a picture
  win.show_cursor_position(200, 100);
  EXPECT_EQ(caption(win).find("by default"), std::string::npos);

  // A curve made by New curve and still empty draws nothing.
  new_curve(f0.state);
  const QImage before = win.diagram().copy();
  win.redraw();
  EXPECT_TRUE(before == win.diagram());
}

TEST(ParameterWindowDrawing, BatchRangesAndOtherCurves) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  // Batch from 120 Hz over a range of 40 at 0.5 s; the point itself at 100 Hz.
  host.voice().add_point(param::kF0, "b", 1, 0.5, 100, 120, 40);
  win.redraw();
  const QImage& d = win.diagram();
  EXPECT_EQ(rgb(d, 200, 90), kBlack);  // from the point up to batchY
  EXPECT_EQ(rgb(d, 200, 50), kBlue);   // on to batchY + batchRange
  EXPECT_EQ(rgb(d, 10, 40), kBlue);    // the batch end line at the left edge
  EXPECT_EQ(rgb(d, 10, 80), kGreen);   // the batch start line
  EXPECT_EQ(rgb(d, 10, 100), kBlack);  // the curve itself

  ParameterWindow& formants = host.window(param::kFormants);
  show_with_diagram(formants, 401, 201);  // 25 Hz a pixel
  Voice& voice = host.voice();
  voice.add_point(param::kFormants, "", 1, 0.5, 500, 500, 0);
  voice.add_point(param::kFormants, "", 2, 0.5, 2500, 2500, 0);
  CurveState& s = voice.parameter(param::kFormants).state;
  s.currentCurve = s.curves;
  formants.redraw();
  const QImage& f = formants.diagram();
  EXPECT_EQ(rgb(f, 202, 180), kRed);
  int grey = 0;
  for (int i = -2; i <= 2; ++i) {
    EXPECT_NE(rgb(f, 200 + i, 98), kRed);
    grey += (rgb(f, 200 + i, 98) == kGrey) + (rgb(f, 200 + i, 102) == kGrey);
  }
  EXPECT_GT(grey, 0);
  int gaps1 = 0, gaps2 = 0;
  for (int x = 210; x < 240; ++x) {
    gaps1 += rgb(f, x, 180) != kBlack;
    gaps2 += rgb(f, x, 100) != kBlack;
  }
  EXPECT_EQ(gaps1, 0);  // the current curve is solid
  EXPECT_GT(gaps2, 5);  // the other one dotted
}

TEST(ParameterWindowSyncCursor, DrawsWhereTheQuantityIsShown) {
  FakeWindowHost host;
  host.syncCursor = true;
  ParameterWindow& f0 = f0_window(host);
  ParameterWindow& level = host.window(param::kOverallLevel);
  show_with_diagram(level, 401, 201);
  ParameterWindow& response = host.window(param::kFrequencyResponse);
  show_with_diagram(response, 401, 201);
  ParameterWindow& bandwidth = host.window(param::kFormantBandwidth);
  show_with_diagram(bandwidth, 401, 201);
  ParameterWindow& hidden = host.window(param::kF0Factor);

  f0.show_cursor_position(100, 50);  // 0.25 s, 150 Hz
  EXPECT_EQ(f0.syncX, 100);
  EXPECT_EQ(f0.syncY, 50);
  EXPECT_EQ(level.syncX, 100);
  EXPECT_EQ(level.syncY, -1);
  EXPECT_EQ(response.syncX, response.value_to_x(150));  // its x axis is an F0 frequency
  EXPECT_EQ(response.syncY, -1);
  EXPECT_EQ(bandwidth.syncX, -1);
  EXPECT_EQ(bandwidth.syncY, -1);
  EXPECT_TRUE(bandwidth.displayed() == bandwidth.diagram());
  EXPECT_TRUE(hidden.syncErased);

  const QImage& shown = level.displayed();
  for (int y = 0; y < 201; y += 5)
    EXPECT_EQ(rgb(shown, 100, y), ~rgb(level.diagram(), 100, y) & 0xFFFFFFu) << y;
  // Where the two lines of the window under the mouse cross, the pixel is inverted twice.
  EXPECT_EQ(rgb(f0.displayed(), 100, 50), rgb(f0.diagram(), 100, 50));
  EXPECT_EQ(rgb(f0.displayed(), 300, 50), ~rgb(f0.diagram(), 300, 50) & 0xFFFFFFu);

  f0.show_cursor_position(300, 50);
  for (int y = 0; y < 201; y += 5) {
    EXPECT_EQ(rgb(shown, 100, y), rgb(level.diagram(), 100, y)) << y;
    EXPECT_EQ(rgb(shown, 300, y), ~rgb(level.diagram(), 300, y) & 0xFFFFFFu) << y;
  }
  level.redraw();
  EXPECT_TRUE(level.syncErased);
  EXPECT_TRUE(level.displayed() == level.diagram());

  host.syncCursor = false;
  f0.show_cursor_position(200, 50);
  EXPECT_EQ(level.syncX, 300);
  EXPECT_TRUE(level.syncErased);
}

TEST(ParameterWindowBackground, LoadsAsksAndClears) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  testing::TempDir dir;
  QImage picture(60, 60, QImage::Format_RGB32);
  picture.fill(QColor(255, 255, 0));
  const QString bmp = QString::fromStdString(dir.file("back.bmp"));
  ASSERT_TRUE(picture.save(bmp));
  host.voice().add_point(param::kF0, "", 1, 0.5, 150, 150, 0);

  win.load_background(bmp);
  Parameter& f0 = host.voice().parameter(param::kF0);
  EXPECT_TRUE(win.backgroundVisible);
  EXPECT_EQ(f0.backgroundFile, bmp.toStdString());
  EXPECT_EQ(rgb(win.diagram(), 10, 10), 0xFFFF00u);
  EXPECT_EQ(rgb(win.diagram(), 10, 49), kWhite);  // the curve's white edge
  EXPECT_EQ(rgb(win.diagram(), 10, 51), kWhite);

  const std::string unknown = dir.file("back.xyz");
  testing::write_file(unknown, "not a picture");
  try {
    win.load_background(QString::fromStdString(unknown));
    ADD_FAILURE() << "no error";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_FALSE(win.backgroundVisible);
  EXPECT_EQ(f0.backgroundFile, "");
  EXPECT_EQ(rgb(win.diagram(), 10, 10), kWindow);

  const std::string missing = dir.file("gone.bmp");
  host.prompts.answers = {Answer::No, Answer::Yes};
  win.load_background(QString::fromStdString(missing));
  win.load_background(QString::fromStdString(missing));
  ASSERT_EQ(host.prompts.shown.size(), 2u);
  EXPECT_EQ(host.prompts.shown[0], missing + ", background for F0, was not found. Search?");
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "search " + missing + " 5"), 1);

  win.load_background(bmp);
  win.clear_background();
  EXPECT_FALSE(win.backgroundVisible);
  EXPECT_TRUE(win.background.isNull());
  EXPECT_EQ(f0.backgroundFile, "");
  EXPECT_EQ(rgb(win.diagram(), 10, 10), kWindow);
}

TEST(ParameterWindowAxisFields, EnterAppliesThemOrRefusesBadOnes) {
  FakeWindowHost host;
  ParameterWindow& win = f0_window(host);
  Parameter& f0 = host.voice().parameter(param::kF0);

  win.xmaxedit->setText("2");
  QTest::keyClick(&win, Qt::Key_Return);
  EXPECT_EQ(f0.xMax, "2");
  EXPECT_EQ(win.x_to_value(400), 2);

  const QImage before = win.diagram().copy();
  const AxisGrid grid = win.x_grid();
  win.xminedit->setText("abc");
  win.ymaxedit->setText("300");
  // The error leaves the event handler and reaches the program's handler, which shows it.
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  QTest::keyClick(win.xminedit, Qt::Key_Enter);
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
  EXPECT_EQ(shown, QStringList{"'abc' is not a valid floating point value"});
  EXPECT_EQ(win.xminedit->text(), "0");  // the limit the drawing still uses
  EXPECT_EQ(win.ymaxedit->text(), "300");
  EXPECT_TRUE(before == win.diagram());
  EXPECT_EQ(win.x_grid().minor.step, grid.minor.step);
  EXPECT_EQ(f0.yMax, "200");
  EXPECT_EQ(win.y_to_value(0), 200);

  win.xminedit->setText("2");
  win.ymaxedit->setText("-5");
  QTest::keyClick(win.ymaxedit, Qt::Key_Return);
  EXPECT_EQ(host.prompts.shown,
            (std::vector<std::string>{
                "The upper limit of the x axis must be greater than the lower limit",
                "The upper limit of the y axis must be greater than the lower limit"}));
  EXPECT_EQ(win.xminedit->text(), "0");
  EXPECT_EQ(win.xmaxedit->text(), "2");
  EXPECT_EQ(win.ymaxedit->text(), "200");
  EXPECT_EQ(win.x_to_value(400), 2);
}

TEST(ParameterWindowLifecycle, ShowCloseActivateAndCursor) {
  FakeWindowHost host;
  host.voice().settings.duration = "2.5";
  ParameterWindow& win = host.window(param::kF0);
  win.xminedit->setText("1");
  win.show();
  EXPECT_EQ(win.xminedit->text(), "0");
  EXPECT_EQ(win.xmaxedit->text(), "2.5");
  EXPECT_EQ(host.voice().parameter(param::kF0).xMax, "2.5");

  ParameterWindow& spectrum = host.window(param::kHarmonicSpectrum);
  spectrum.show();
  EXPECT_EQ(spectrum.xmaxedit->text(), "20");  // not a time axis

  win.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&win));
  win.close();
  EXPECT_FALSE(win.isVisible());
  EXPECT_EQ(host.calls.front(), "shown 5");
  EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), "activated 5"), host.calls.end());
  EXPECT_EQ(host.calls.back(), "closed 5");

  EXPECT_EQ(win.image()->cursor().shape(), Qt::CrossCursor);
  win.set_edit_mode(EditMode::Delete);
  EXPECT_EQ(win.image()->cursor().shape(), Qt::ForbiddenCursor);
  win.set_edit_mode(EditMode::Mark);
  EXPECT_EQ(win.image()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace vocanta
