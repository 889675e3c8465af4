#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "core/support/vocanta_error.h"
#include "gui/diagram/fake_window_host.h"
#include "gui/platform/metafile_bytes.h"
#include "gui/platform/metafile_reader.h"

namespace vocanta {
namespace {

using testing::FakeWindowHost;
using Kind = BackgroundPicture::Kind;

QByteArray green_square_metafile() {
  testing::MetafileBytes m;
  m.record(wmf::kCreateBrushIndirect, {0, 0xFF00, 0, 0});
  m.record(wmf::kSelectObject, {0});
  m.record(wmf::kRectangle, {96, 96, 0, 0});
  return m.file(96, 96, 96, 1);
}

unsigned rgb(const ParameterWindow& win, int x, int y) {
  return win.diagram().pixel(x, y) & 0xFFFFFFu;
}

TEST(BackgroundSteps, PasteIsOneStepThatUndoTakesBack) {
  FakeWindowHost host;
  ParameterWindow& win = host.window(param::kF0);
  win.majorGrid = win.minorGrid = false;
  Session& session = host.session();
  QClipboard* clipboard = QGuiApplication::clipboard();

  clipboard->setText("no picture");
  win.paste_background();
  EXPECT_EQ(host.prompts.shown, std::vector<std::string>{"Unsupported clipboard data format"});
  EXPECT_TRUE(win.background.isNull());
  EXPECT_FALSE(win.backgroundVisible);
  EXPECT_EQ(session.history().size(), 0u);

  QImage yellow(40, 40, QImage::Format_RGB32);
  yellow.fill(QColor(255, 255, 0));
  clipboard->setImage(yellow);
  win.backgroundLeft = 7;
  win.paste_background();
  EXPECT_EQ(win.background.kind(), Kind::Bitmap);
  EXPECT_EQ(win.parameter().backgroundFile, "*.bmp");
  EXPECT_TRUE(win.backgroundVisible);
  EXPECT_EQ(win.backgroundLeft, 0);
  EXPECT_TRUE(session.document().modified());
  EXPECT_EQ(session.history().undo_caption(), "Paste background");
  EXPECT_EQ(rgb(win, 5, 5), 0xFFFF00u);

  auto* data = new QMimeData;
  data->setData("application/x-wmf", green_square_metafile());
  clipboard->setMimeData(data);
  win.paste_background();
  EXPECT_EQ(win.background.kind(), Kind::Metafile);
  EXPECT_EQ(win.parameter().backgroundFile, "*.wmf");
  EXPECT_EQ(rgb(win, 5, 5), 0x00FF00u);

  session.undo();
  EXPECT_EQ(win.background.kind(), Kind::Bitmap);
  EXPECT_EQ(rgb(win, 5, 5), 0xFFFF00u);
  session.undo();
  EXPECT_TRUE(win.background.isNull());
  EXPECT_EQ(win.parameter().backgroundFile, "");
  EXPECT_EQ(win.backgroundLeft, 7);
  session.redo();
  EXPECT_EQ(win.parameter().backgroundFile, "*.bmp");
  EXPECT_TRUE(win.backgroundVisible);

  // Copy offers the picture to other programs, and a metafile as its very bytes too.
  session.redo();
  win.copy_background();
  EXPECT_EQ(clipboard->mimeData()->data("image/x-wmf"), green_square_metafile());
  EXPECT_TRUE(clipboard->mimeData()->hasImage());
}

TEST(BackgroundSteps, StepsReachTheWindowThatShowsTheParameterNow) {
  FakeWindowHost host;
  Session& session = host.session();
  QImage yellow(40, 40, QImage::Format_RGB32);
  yellow.fill(QColor(255, 255, 0));
  QGuiApplication::clipboard()->setImage(yellow);
  host.window(param::kF0).paste_background();

  ParameterWindow& renewed = host.renew(param::kF0);
  renewed.majorGrid = renewed.minorGrid = false;
  session.undo();
  EXPECT_TRUE(renewed.background.isNull());
  EXPECT_EQ(renewed.parameter().backgroundFile, "");
  session.redo();
  EXPECT_EQ(renewed.background.kind(), Kind::Bitmap);
  EXPECT_EQ(renewed.parameter().backgroundFile, "*.bmp");
  EXPECT_EQ(rgb(renewed, 5, 5), 0xFFFF00u);
}

TEST(BackgroundSteps, OpenAndClearAreStepsAndSaveWritesTheFile) {
  FakeWindowHost host;
  ParameterWindow& win = host.window(param::kF0);
  win.majorGrid = win.minorGrid = false;
  Session& session = host.session();
  testing::TempDir dir;
  const std::string wmf = dir.file("square.wmf");
  testing::write_file(wmf, green_square_metafile().toStdString());

  win.open_background(QString::fromStdString(wmf));
  EXPECT_EQ(win.parameter().backgroundFile, wmf);
  EXPECT_EQ(session.history().undo_caption(), "Open background");
  session.undo();
  EXPECT_TRUE(win.background.isNull());
  session.redo();
  EXPECT_EQ(win.background.kind(), Kind::Metafile);

  // A file that cannot be read changes nothing and leaves no step.
  const std::string broken = dir.file("broken.wmf");
  testing::write_file(broken, "not a metafile");
  EXPECT_THROW(win.open_background(QString::fromStdString(broken)), VocantaError);
  EXPECT_EQ(win.parameter().backgroundFile, wmf);
  EXPECT_TRUE(win.backgroundVisible);
  EXPECT_EQ(session.history().size(), 1u);

  const std::string saved = dir.file("saved.wmf");
  host.prompts.fileNames = {saved};
  session.document().save_background(param::kF0);
  EXPECT_EQ(testing::read_file(saved), testing::read_file(wmf));
  EXPECT_EQ(win.parameter().backgroundFile, saved);

  win.clear_background_step();
  EXPECT_TRUE(win.background.isNull());
  EXPECT_EQ(session.history().undo_caption(), "Clear background");
  win.clear_background_step();
  EXPECT_EQ(session.history().size(), 2u);
  session.undo();
  EXPECT_EQ(win.parameter().backgroundFile, saved);
  EXPECT_EQ(rgb(win, 5, 5), 0x00FF00u);
}

}  // namespace
}  // namespace vocanta
