#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "gui/diagram/parameter_window.h"
#include "gui/diagram/parameter_windows.h"
#include "gui/diagram/point_editor.h"
#include "gui/main/started_window.h"
#include "gui/main/template_dialog.h"
#include "gui/platform/settings_store.h"
#include "gui/platform/window_arrangement.h"

namespace vocanta {
namespace {

using testing::action;
using testing::Started;

const QString kTemplates = VOCANTA_SOURCE_DIR "/examples/templates";

TEST(Templates, ListedByNameAndOpenedAsAnUntitledCopy) {
  const QList<TemplateEntry> entries = list_templates(kTemplates);
  ASSERT_EQ(entries.size(), 31);
  EXPECT_EQ(entries[0].caption, "Men – /i/ (heed)");
  TemplateDialog dialog(entries);
  EXPECT_EQ(dialog.chosen(), kTemplates + "/men_i.vta");

  testing::TempDir dir;
  const std::string original = testing::read_file(entries[0].path.toStdString());
  testing::write_file(dir.file("men_i.vta"), original);
  Started s;
  DocumentLifecycle& document = s.main.desktop().session().document();
  document.set_modified(true);
  s.prompter->answers = {Answer::No};  // the save question for the changed document
  s.main.desktop().open_template(QString::fromStdString(dir.file("men_i.vta")));
  EXPECT_TRUE(s.prompter->answers.empty());
  EXPECT_TRUE(document.documentPath.empty());
  EXPECT_EQ(s.main.windowTitle(), "Vocanta (untitled)");
  EXPECT_FALSE(document.modified());
  EXPECT_EQ(
      curve_value(s.main.desktop().session().voice().parameter(param::kFormants).state, 1, 0.2),
      270);

  s.prompter->fileNames = {dir.file("mine.vta")};
  document.save_document();
  EXPECT_EQ(document.documentPath, dir.file("mine.vta"));
  EXPECT_EQ(testing::read_file(dir.file("men_i.vta")), original);
}

void expect_apart(const std::vector<QRect>& rects, const QRect& area) {
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_TRUE(area.contains(rects[i])) << i;
    for (size_t j = i + 1; j < rects.size(); ++j)
      EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " " << j;
  }
}

TEST(Arrange, AllTwentyThreeWindowsReadableOnA1280By800Screen) {
  Started s;
  action(s.main, "showAllAction").trigger();
  // A window manager's frame around each: a title bar and borders.
  const QSize frame(4, 24);
  // Readable: room for the curves beside the axis fields and labels.
  const QSize readable(240, 120);
  ArrangeRequest q{QRect(0, 24, 1280, 800 - 24),
                   s.main.frameGeometry().size() + frame,
                   s.main.desktop().parameter_windows().point_editor().size() + frame,
                   s.main.desktop().parameter_windows().window(0).size() + frame,
                   {}};
  for (int i = 0; i < kParameterCount; ++i)
    q.smallestFrames.push_back(s.main.desktop().parameter_windows().window(i).smallest_size() +
                               readable + frame);
  const Arrangement a = arrange_windows(q);
  ASSERT_EQ(a.windows.size(), size_t(kParameterCount));
  expect_apart({a.main, a.editor}, q.available);
  for (int i = 0; i < kParameterCount; ++i) {
    const QRect& w = a.windows[size_t(i)];
    EXPECT_TRUE(q.available.contains(w)) << i;
    EXPECT_FALSE(w.intersects(a.main) || w.intersects(a.editor)) << i;
    EXPECT_EQ(w.size().expandedTo(q.smallestFrames[size_t(i)]), w.size()) << i;
    // They overlap in a cascade: the next window leaves the title bar's corner in sight.
    if (i + 1 < kParameterCount) {
      EXPECT_FALSE(a.windows[size_t(i + 1)].contains(w.topLeft() + QPoint(2, 2))) << i;
    }
    for (int j = 0; j < i; ++j) EXPECT_NE(a.windows[size_t(j)].topLeft(), w.topLeft()) << i;
  }
}

TEST(Arrange, ASingleWindowGetsAUsefulSize) {
  Started s;
  ParameterWindow& f0 = s.main.desktop().parameter_windows().window(param::kF0);
  s.main.desktop().parameter_windows().show_parameter(param::kF0);
  f0.resize(f0.smallest_size());
  action(s.main, "arrangeAction").trigger();
  EXPECT_GE(f0.frameGeometry().width(), 600);
  EXPECT_GE(f0.frameGeometry().height(), 400);
  expect_apart({s.main.frameGeometry(), f0.frameGeometry()}, s.main.screen()->availableGeometry());
}

TEST(Arrange, TheMenuCommandPlacesTheVisibleWindowsReadablyBesideTheMainWindow) {
  Started s;
  ParameterWindows& windows = s.main.desktop().parameter_windows();
  for (int i : {param::kF0, param::kFormants, param::kOverallLevel, param::kFormantBandwidth})
    windows.show_parameter(i);
  windows.sync_editor_visibility();
  action(s.main, "arrangeAction").trigger();
  const QRect area = s.main.screen()->availableGeometry();
  const QRect column = s.main.frameGeometry().united(windows.point_editor().frameGeometry());
  expect_apart({s.main.frameGeometry(), windows.point_editor().frameGeometry()}, area);
  for (int i : {param::kF0, param::kFormants, param::kOverallLevel, param::kFormantBandwidth}) {
    const ParameterWindow& w = windows.window(i);
    EXPECT_TRUE(area.contains(w.frameGeometry())) << i;
    // Beside the column where the screen has room for a readable window there.
    if (area.right() - column.right() >= w.frameGeometry().width()) {
      EXPECT_FALSE(w.frameGeometry().intersects(column)) << i;
    }
    EXPECT_EQ(w.size().expandedTo(w.smallest_size() + QSize(240, 120)), w.size()) << i;
  }
}

TEST(WindowPlaces, RememberedBetweenRunsWhenOnAScreen) {
  SettingsStore().EraseSection("Windows");
  const QRect place(120, 90, 350, 240);
  {
    Started s;
    ParameterWindow& f0 = s.main.desktop().parameter_windows().window(param::kF0);
    f0.show();
    f0.move(place.topLeft());
    f0.resize(place.size());
    s.main.move(40, 30);
    s.main.close();
  }
  SettingsStore().WriteString("Windows", "Statistics", "9000,9000,300,200");  // no such screen now
  Started s;
  ParameterWindow& f0 = s.main.desktop().parameter_windows().window(param::kF0);
  f0.show();
  EXPECT_EQ(QRect(f0.pos(), f0.size()), place);
  EXPECT_EQ(s.main.pos(), QPoint(40, 30));
  EXPECT_LT(s.main.findChild<QWidget*>("TForm9")->pos().x(), 9000);
  SettingsStore().EraseSection("Windows");
}

TEST(WindowPlaces, ARestoredWindowLiesWhollyInTheAvailableArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  SettingsStore().EraseSection("Windows");
  // A title bar above the screen's top, a window beyond its right edge, one taller than it.
  SettingsStore().WriteString("Windows", "Main", "299,-20,430,90");
  SettingsStore().WriteString("Windows", "Batch",
                              QString("%1,40,500,400").arg(area.right() - 100).toStdString());
  SettingsStore().WriteString("Windows", "F0",
                              QString("10,10,300,%1").arg(area.height() + 300).toStdString());
  Started s;
  QWidget& batch = *s.main.findChild<QWidget*>("TForm3");
  batch.show();
  ParameterWindow& f0 = s.main.desktop().parameter_windows().window(param::kF0);
  f0.show();
  EXPECT_EQ(s.main.frameGeometry().topLeft(), QPoint(299, area.top()));
  EXPECT_EQ(batch.frameGeometry().topLeft(),
            QPoint(area.right() + 1 - batch.frameGeometry().width(), 40));
  EXPECT_EQ(batch.size(), QSize(500, 400));
  EXPECT_TRUE(area.contains(f0.frameGeometry()));
  EXPECT_EQ(f0.width(), 300);
  SettingsStore().EraseSection("Windows");
}

TEST(WindowPlaces, TheBatchWindowFirstOpensWhollyOnTheScreenBesideTheMainWindow) {
  SettingsStore().EraseSection("Windows");
  Started s;
  const QRect area = s.main.screen()->availableGeometry();
  s.main.move(area.right() - s.main.width() - 20, area.bottom() - s.main.height() - 20);
  action(s.main, "batchEditorAction").trigger();
  QWidget* batch = s.main.findChild<QWidget*>("TForm3");
  ASSERT_NE(batch, nullptr);
  EXPECT_TRUE(area.contains(QRect(batch->pos(), batch->size())));
}

}  // namespace
}  // namespace vocanta
