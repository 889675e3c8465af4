#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "core/support/vocanta_error.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

class Throwing : public QWidget {
 protected:
  void mousePressEvent(QMouseEvent*) override {
    throw VocantaError("'abc' is not a valid integer value");
  }
};

TEST(Application, AnErrorInAnEventHandlerIsShownAndTheProgramGoesOn) {
  QStringList shown;
  set_error_handler([&](const QString& m) { shown << m; });
  Throwing w;
  w.show();
  QTest::mouseClick(&w, Qt::LeftButton);
  QTest::mouseClick(&w, Qt::LeftButton);
  EXPECT_EQ(shown, QStringList({"'abc' is not a valid integer value",
                                "'abc' is not a valid integer value"}));
  EXPECT_TRUE(w.isVisible());
  set_error_handler(
      [](const QString& m) { ADD_FAILURE() << "unexpected error: " << m.toStdString(); });
}

}  // namespace
}  // namespace vocanta
