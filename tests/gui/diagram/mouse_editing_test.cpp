#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include "core/model/curve_commands.h"
#include "gui/diagram/diagram_view.h"
#include "gui/diagram/fake_window_host.h"
#include "gui/diagram/parameter_window.h"

namespace vocanta {
namespace {

using testing::FakeWindowHost;

// A mouse event as the diagram gets it, with the keys held and the buttons down.
void mouse(ParameterWindow& win, QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = {}) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, win.image()->mapToGlobal(at), button, held, keys);
  QCoreApplication::sendEvent(win.image(), &event);
}

void drag(ParameterWindow& win, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {}) {
  mouse(win, QEvent::MouseButtonPress, from, keys);
  mouse(win, QEvent::MouseMove, (from + to) / 2, keys);
  mouse(win, QEvent::MouseMove, to, keys);
  mouse(win, QEvent::MouseButtonRelease, to, keys);
}

void click(ParameterWindow& win, QPoint at) {
  mouse(win, QEvent::MouseButtonPress, at);
  mouse(win, QEvent::MouseButtonRelease, at);
}

// F0 over 0..1 s and 0..200 Hz on 401 by 201 pixels: pixel (X, Y) is X/400 s, 200 - Y Hz.
class MouseEditing : public ::testing::Test {
 protected:
  MouseEditing() : win(host.window(param::kF0)) {
    win.show();
    win.resize(win.width() + 401 - win.image()->width(),
               win.height() + 201 - win.image()->height());
  }
  CurveState& s() { return host.voice().parameter(param::kF0).state; }
  TCurvePoint* add(int16_t n, double x, double y, double batchY = 0, double range = 0) {
    return host.voice().add_point(param::kF0, range != 0 ? "b" : "", n, x, y,
                                  range != 0 ? batchY : y, range);
  }
  Session& session() { return host.session(); }

  FakeWindowHost host;
  ParameterWindow& win;
};

TEST_F(MouseEditing, HitTestTakesTheNearestHandleWithinReachAndTheFirstOnTies) {
  TCurvePoint* a = add(1, 0.25, 100, 80, 40);  // handles at rows 100, 120, 80
  TCurvePoint* b = add(2, 0.25, 100);          // the same spot as a's value
  EXPECT_EQ(win.hit_test(100, 100), a);
  EXPECT_EQ(a->hitHandle, PointHandle::Value);
  EXPECT_EQ(s().currentCurve, s().curves);
  EXPECT_EQ(win.hit_test(100, 119), a);
  EXPECT_EQ(a->hitHandle, PointHandle::BatchStart);
  EXPECT_EQ(win.hit_test(100, 70), a);
  EXPECT_EQ(a->hitHandle, PointHandle::BatchEnd);
  // 40 pixels still reach; b's handles tie with a's and never win.
  EXPECT_EQ(win.hit_test(100, 160), a);
  EXPECT_EQ(win.hit_test(100, 161), nullptr);
  EXPECT_EQ(s().currentCurve, nullptr);
  EXPECT_EQ(b->hitHandle, PointHandle::None);
}

TEST_F(MouseEditing, AddClicksMakeCurveOneAndADragPlacesThePointAtTheRelease) {
  click(win, QPoint(100, 50));
  ASSERT_NE(s().curves, nullptr);
  TCurvePoint* p = s().curves->points;
  EXPECT_EQ(s().curves->number, 1);
  EXPECT_EQ(p->x, 0.25);
  EXPECT_EQ(p->y, 150);
  EXPECT_EQ(s().selectedPoint, p);
  EXPECT_EQ(host.shownPoint, p);
  EXPECT_TRUE(session().document().modified());

  drag(win, QPoint(300, 150), QPoint(200, 100));
  EXPECT_EQ(p->next->x, 0.5);
  EXPECT_EQ(p->next->y, 100);
  EXPECT_EQ(p->next->batchY, 100);
  EXPECT_EQ(session().history().undo_caption(), "Add point");
  session().undo();
  session().undo();
  EXPECT_EQ(s().curves, nullptr);
  EXPECT_EQ(s().selectedPoint, nullptr);
  session().redo();
  EXPECT_EQ(s().curves->points, p);

  // A release without its press links nothing.
  mouse(win, QEvent::MouseButtonRelease, QPoint(10, 10));
  EXPECT_EQ(s().curves->points->next, nullptr);
}

TEST_F(MouseEditing, MoveFollowsTheHandleAndTheKeysAndIsOneStepSortedAtTheRelease) {
  TCurvePoint* a = add(1, 0.25, 100, 100, 20);
  TCurvePoint* b = add(1, 0.5, 150);
  win.set_edit_mode(EditMode::Move);
  drag(win, QPoint(101, 101), QPoint(300, 90));  // past b
  EXPECT_EQ(a->x, 0.75);
  EXPECT_EQ(a->y, 110);
  EXPECT_EQ(s().curves->points, b);
  EXPECT_EQ(session().history().size(), 1u);
  session().undo();
  EXPECT_EQ(s().curves->points, a);
  EXPECT_EQ(a->x, 0.25);
  EXPECT_EQ(a->y, 100);

  drag(win, QPoint(100, 100), QPoint(120, 60), Qt::ControlModifier);  // time only
  EXPECT_EQ(a->x, 0.3);
  EXPECT_EQ(a->y, 100);
  drag(win, QPoint(120, 100), QPoint(100, 60), Qt::ShiftModifier);  // value only
  EXPECT_EQ(a->x, 0.3);
  EXPECT_EQ(a->y, 140);
  drag(win, QPoint(120, 60), QPoint(10, 10), Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(a->x, 0.3);
  EXPECT_EQ(a->y, 140);
  // The range's end handle dragged below the batch value gives a negative range.
  drag(win, QPoint(120, 80), QPoint(120, 130));
  EXPECT_EQ(a->batchY, 100);
  EXPECT_EQ(a->batchRange, -30);
  // Taking hold of a point leaves its numbers as they were.
  a->x = 0.30001;
  mouse(win, QEvent::MouseButtonPress, QPoint(121, 61));
  mouse(win, QEvent::MouseMove, QPoint(120, 60));  // where the press put the pointer
  mouse(win, QEvent::MouseButtonRelease, QPoint(120, 60));
  EXPECT_EQ(a->x, 0.30001);
}

TEST_F(MouseEditing, DeleteTakesPointsOrBatchesAndRenumbersCurves) {
  add(1, 0.25, 100);
  TCurvePoint* only = add(2, 0.5, 50);
  add(3, 0.75, 150);
  TCurvePoint* batched = add(3, 0.9, 120, 100, 40);
  win.set_edit_mode(EditMode::Delete);
  // Released out of reach: nothing goes.
  drag(win, QPoint(200, 150), QPoint(200, 60));
  EXPECT_EQ(s().curves->next->points, only);

  click(win, QPoint(200, 150));
  EXPECT_EQ(s().curves->next->number, 2);
  EXPECT_EQ(s().curves->next->points->x, 0.75);
  EXPECT_EQ(session().history().undo_caption(), "Delete point");
  // The batch end handle: the batch goes, the point stays.
  click(win, QPoint(360, 60));
  EXPECT_EQ(batched->batch, 0);
  EXPECT_EQ(batched->y, 120);
  EXPECT_EQ(batched->batchY, 120);
  EXPECT_EQ(batched->batchRange, 0);

  session().undo();
  session().undo();
  EXPECT_EQ(s().curves->next->points, only);
  EXPECT_EQ(s().curves->next->next->number, 3);
  EXPECT_NE(batched->batch, 0);
}

TEST_F(MouseEditing, ReleasesPastAnEdgeGrowTheAxes) {
  click(win, QPoint(100, -10));
  EXPECT_EQ(win.ymaxedit->text(), "210.000");
  click(win, QPoint(-20, 100));
  EXPECT_EQ(win.xminedit->text(), "-0.050");
  EXPECT_EQ(s().curves->points->x, -0.05);
  // Each growth changes the pixel scale for the next.
  const auto fixed3 = [](double v) { return QString::number(v, 'f', 3); };
  const QString right = fixed3(win.x_to_value(450));
  click(win, QPoint(450, 100));
  EXPECT_EQ(win.xmaxedit->text(), right);
  const QString bottom = fixed3(win.y_to_value(win.image()->height() + 30));
  click(win, QPoint(100, win.image()->height() + 30));
  EXPECT_EQ(win.yminedit->text(), bottom);
}

TEST_F(MouseEditing, MarkAndMoveChooseTheCurveThatTheNextAddsGoTo) {
  ParameterWindow& formants = host.window(param::kFormants);
  formants.show();
  host.voice().add_point(param::kFormants, "", 1, 0.5, 500, 500, 0);
  TCurvePoint* second = host.voice().add_point(param::kFormants, "", 2, 0.5, 1500, 1500, 0);
  formants.lay_out();
  CurveState& fs = host.voice().parameter(param::kFormants).state;
  formants.set_edit_mode(EditMode::Mark);
  const QPoint at(formants.value_to_x(0.5), formants.value_to_y(1500));
  click(formants, at);
  EXPECT_EQ(fs.selectedPoint, second);
  EXPECT_EQ(fs.currentCurve, fs.curves->next);
  formants.set_edit_mode(EditMode::Add);
  click(formants, at + QPoint(30, 0));
  EXPECT_EQ(fs.curves->next->points->next->x, formants.x_to_value(at.x() + 30));
  // Out of reach there is no current curve: the next point goes to the first.
  formants.set_edit_mode(EditMode::Move);
  click(formants, QPoint(0, 0));
  EXPECT_EQ(fs.currentCurve, nullptr);
  formants.set_edit_mode(EditMode::Add);
  click(formants, at);
  EXPECT_EQ(fs.curves->points->next->y, formants.y_to_value(at.y()));
}

TEST_F(MouseEditing, TheBackgroundMovesByTheDragAsOneStep) {
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  win.background = BackgroundPicture::from_bitmap(picture);
  win.backgroundVisible = true;
  win.set_edit_mode(EditMode::MoveBackground);
  drag(win, QPoint(10, 10), QPoint(30, 15));
  EXPECT_EQ(win.backgroundLeft, 20);
  EXPECT_EQ(win.backgroundTop, 5);
  drag(win, QPoint(30, 15), QPoint(40, 35), Qt::ControlModifier);
  EXPECT_EQ(win.backgroundLeft, 30);
  EXPECT_EQ(win.backgroundTop, 5);
  EXPECT_EQ(win.diagram().pixel(30, 5), QColor(Qt::blue).rgb());
  EXPECT_EQ(session().history().undo_caption(), "Move background");
  session().undo();
  EXPECT_EQ(win.backgroundLeft, 20);
}

}  // namespace
}  // namespace vocanta
