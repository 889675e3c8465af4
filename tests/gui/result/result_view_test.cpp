#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <utility>

#include "core/build/batch_build.h"
#include "core/document/session.h"
#include "core/soundfile/sound_file_reader.h"
#include "core/support/vocanta_error.h"
#include "gui/main/settings_dialog.h"
#include "gui/main/started_window.h"
#include "gui/platform/settings_store.h"
#include "gui/result/result_painter.h"
#include "gui/result/result_window.h"
#include "gui/result/result_window_view.h"
#include "gui/result/short_time_spectra.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::action;
using testing::child;

constexpr QSize kPicture(600, 400);

std::shared_ptr<SoundSamples> tone(double hz, int fs, double seconds) {
  auto sound = std::make_shared<SoundSamples>();
  sound->samplingFrequency = fs;
  for (int m = 0; m < static_cast<int>(seconds * fs); ++m)
    sound->samples.push_back(
        static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * hz * m / fs)));
  return sound;
}

QImage paint(ResultPainter& painter) {
  QImage image(kPicture, QImage::Format_RGB32);
  QPainter p(&image);
  painter.paint(p, kPicture);
  return image;
}

// The rows of column x whose pixels match, from the top.
std::vector<int> rows_where(const QImage& image, int x, const std::function<bool(QColor)>& match) {
  std::vector<int> rows;
  const QRect area = ResultLayout(image.size()).spectrum;
  for (int y = area.top(); y <= area.bottom(); ++y)
    if (match(image.pixelColor(x, y))) rows.push_back(y);
  return rows;
}

TEST(ResultView, PureTonePeaksInItsRow) {
  const auto sound = tone(1000, 16000, 0.5);
  Spectrogram spectrogram;
  const SpectrogramFrames frames = spectrogram.compute(sound->samples.data(), sound->samples.size(),
                                                       16000, 320, FramePlacement{800, 700, 10});
  for (int f = 0; f < frames.frames; ++f) {
    int strongest = 0;
    for (int b = 1; b < frames.bins; ++b)
      if (frames.at(f, b) > frames.at(f, strongest)) strongest = b;
    EXPECT_NEAR(strongest * frames.binHz, 1000, frames.binHz / 2) << "frame " << f;
    EXPECT_NEAR(frames.at(f, strongest), 20 * std::log10(10000 / 32768.0), 0.5);
  }

  ResultPainter painter;
  painter.set_sound(sound);
  painter.set_options(ResultOptions{0.02, 70, 5000, true});
  const QImage image = paint(painter);
  const QRect area = ResultLayout(kPicture).spectrum;
  for (int x : {area.left() + 20, area.center().x(), area.right() - 20}) {
    int darkest = area.top();
    for (int y = area.top(); y <= area.bottom(); ++y)
      if (qGray(image.pixel(x, y)) < qGray(image.pixel(x, darkest))) darkest = y;
    EXPECT_NEAR(darkest, painter.frequency_y(1000, kPicture), 2) << "column " << x;
  }
}

// The darkest row of column x of the spectrogram.
int darkest_row(const QImage& image, int x) {
  const QRect area = ResultLayout(image.size()).spectrum;
  int darkest = area.top();
  for (int y = area.top(); y <= area.bottom(); ++y)
    if (qGray(image.pixel(x, y)) < qGray(image.pixel(x, darkest))) darkest = y;
  return darkest;
}

TEST(ResultView, TheTopFrequencyBelowHalfTheSamplingFrequencyIsTheTopRow) {
  ResultPainter painter;
  // 40 ms: a narrow band, so that a tone lights only the rows next to its own.
  painter.set_options(ResultOptions{0.04, 70, 5000, false});
  const QRect area = ResultLayout(kPicture).spectrum;
  const int x = area.center().x();
  painter.set_sound(tone(5000, 16000, 0.5));
  ASSERT_EQ(painter.top_frequency(), 5000);
  QImage image = paint(painter);
  EXPECT_EQ(darkest_row(image, x), area.top());
  EXPECT_LT(qGray(image.pixel(x, area.top())), 50);
  // Half the top frequency is half-way down; a tone above the top is not shown at all.
  painter.set_sound(tone(2500, 16000, 0.5));
  EXPECT_NEAR(darkest_row(paint(painter), x), area.top() + area.height() / 2.0, 1);
  painter.set_sound(tone(7000, 16000, 0.5));
  image = paint(painter);
  for (int y = area.top(); y <= area.bottom(); ++y)
    ASSERT_GT(qGray(image.pixel(x, y)), 200) << "row " << y;
}

TEST(ResultView, TheAnalysisCostsNoMoreAboveTheHighestRateAccepted) {
  const auto bytes = [](const SpectrogramSize& z) { return size_t(z.frames) * z.bins * 4; };
  // 40 ms at 768 kHz is analysed whole, up to the highest top frequency offered.
  const SpectrogramSize highest = spectrogram_size(768000, 30720, 1 << 20, 48000);
  EXPECT_EQ(highest.windowLength, 30720);
  EXPECT_EQ(highest.frames, kMaxFrames);
  for (const int fs : {768001, 100000000, 2147483647}) {
    const SpectrogramSize z =
        spectrogram_size(fs, static_cast<int>(std::min(0.04 * fs, 2e9)), 1 << 20, 48000);
    EXPECT_LE(z.windowLength, kMaxWindowSamples) << fs;
    EXPECT_LE(z.transformLength, highest.transformLength) << fs;
    EXPECT_LE(bytes(z), bytes(highest)) << fs;
    // The bins kept still reach past the top frequency.
    EXPECT_GE((z.bins - 1) * double(fs) / z.transformLength, 48000) << fs;
  }

  // Such a sound is shown without its spectrogram, saying why.
  ResultPainter painter;
  auto sound = tone(100, 16000, 0.1);
  sound->samplingFrequency = 2147483647;
  painter.set_sound(sound);
  EXPECT_FALSE(painter.analyses());
  const QImage image = paint(painter);
  const QRect area = ResultLayout(kPicture).spectrum;
  int text = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      text += image.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(text, 100);

  // A picture wider than the frames of one spectrogram shares frames among its columns.
  painter.set_sound(tone(1000, 16000, 0.5));
  ASSERT_TRUE(painter.analyses());
  const QSize wide(2 * kMaxFrames + 300, 300);
  QImage wideImage(wide, QImage::Format_RGB32);
  QPainter p(&wideImage);
  painter.paint(p, wide);
  for (int x : {ResultLayout(wide).spectrum.left() + 50, ResultLayout(wide).spectrum.right() - 50})
    EXPECT_NEAR(darkest_row(wideImage, x), painter.frequency_y(1000, wide), 2) << "column " << x;
}

TEST(ResultView, TimeMapsToColumnsAndBackAlsoZoomed) {
  ResultPainter painter;
  painter.set_sound(tone(200, 10000, 2.0));
  ResultTimeAxis axis = painter.axis(kPicture);
  EXPECT_DOUBLE_EQ(axis.x_of(0), ResultLayout(kPicture).spectrum.left());
  EXPECT_DOUBLE_EQ(axis.x_of(2.0), ResultLayout(kPicture).spectrum.left() + axis.width);
  const double x = axis.left + 0.25 * axis.width;
  painter.zoom(0.5, x, kPicture);
  axis = painter.axis(kPicture);
  // The time under the pointer stays there; half as much time is shown.
  EXPECT_NEAR(axis.t_of(x), 0.5, 1e-9);
  EXPECT_NEAR(axis.span(), 1.0, 1e-9);
  for (double t : {0.1, 0.5, 0.77}) EXPECT_NEAR(axis.t_of(axis.x_of(t)), t, 1e-12);
  painter.pan(-axis.width, kPicture);  // back past the start stops at the start
  EXPECT_DOUBLE_EQ(painter.axis(kPicture).start, 0);
  painter.zoom(1e-9, x, kPicture);  // no closer than a few periods
  EXPECT_NEAR(painter.axis(kPicture).span(), 32 / 10000.0, 1e-12);
}

// A voice whose first formant glides from 500 to 1500 Hz over its 0.2 s, built at 16 kHz.
std::string gliding_voice(const testing::TempDir& dir) {
  const std::string path = dir.file("glide.vta");
  testing::write_file(path,
                      "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nSamplingFrequency=16000\r\n"
                      "TotalDuration=0.2\r\n[F0]\r\n0=150\r\n[Formant_1]\r\n0=500\r\n0.2=1500\r\n"
                      "[Formant_2]\r\n0=2500\r\n");
  return path;
}

TEST(ResultView, BuiltFileShowsWithTheFormantCurvesOverIt) {
  const testing::TempDir dir;
  const std::string document = gliding_voice(dir);
  testing::Started s({QString::fromStdString(document)});
  auto& window = child<ResultWindow>(s.main, "ResultWindow");
  s.prompter->fileNames.push_back(dir.file("glide.smp"));
  action(s.main, "buildAction").trigger();
  action(s.main, "resultAction").trigger();
  QTest::qWait(20);
  ASSERT_TRUE(window.isVisible());
  EXPECT_EQ(window.shown_path().toStdString(), dir.file("glide.smp"));
  EXPECT_EQ(window.windowTitle(), "Result – glide.smp");
  EXPECT_NEAR(window.painter().duration(), 0.2, 1e-3);

  ResultPainter& painter = window.painter();
  const QImage image = paint(painter);
  const ResultTimeAxis axis = painter.axis(kPicture);
  const auto red = [](QColor c) { return c == ResultPainter::kFormantColour; };
  for (double t : {0.02, 0.1, 0.18}) {
    const int x = static_cast<int>(axis.x_of(t));
    const double f1 = 500 + 1000 * axis.t_of(x + 0.5) / 0.2;
    const std::vector<int> rows = rows_where(image, x, red);
    ASSERT_FALSE(rows.empty()) << "t=" << t;
    EXPECT_NEAR(rows.back(), painter.frequency_y(f1, kPicture), 2) << "t=" << t;
    EXPECT_NEAR(rows.front(), painter.frequency_y(2500, kPicture), 2) << "t=" << t;
  }
  int64_t playedFrom = -1;
  window.set_play_handler([&](const std::vector<int16_t>& samples, int fs, int64_t from) {
    EXPECT_EQ(samples.size(), 3200u);
    EXPECT_EQ(fs, 16000);
    playedFrom = from;
  });
  window.set_cursor_time(0.1);
  child<QPushButton>(window, "playButton").click();
  EXPECT_EQ(playedFrom, 1600);
  s.prompter->fileNames.push_back(dir.file("glide.png"));
  child<QPushButton>(window, "exportButton").click();
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("glide.png"))).size(), window.view().size());
  EXPECT_THROW(window.load_file(QString::fromStdString(document)), VocantaError);
  // An audio file of the same build holds the same samples.
  const std::string wav = dir.file("glide.wav");
  ASSERT_EQ(
      std::system(
          (std::string(VOCANTA_CLI) + " convert " + dir.file("glide.smp") + " " + wav).c_str()),
      0);
  EXPECT_EQ(read_sound_file(wav).samples, painter.sound()->samples);

  painter.set_options(ResultOptions{0.005, 70, 5000, false});
  EXPECT_TRUE(rows_where(paint(painter), axis.left + axis.width / 2, red).empty());
}

TEST(ResultView, AnAudioFileBuiltWithAutosaveOnIsTheOneShown) {
  const testing::TempDir dir;
  testing::Started s({QString::fromStdString(gliding_voice(dir))});
  // Autosave points the sample path at the saved document's own sample file.
  s.main.desktop().settings_dialog().set_autosave(true);
  s.prompter->fileNames.push_back(dir.file("glide.wav"));
  action(s.main, "buildAction").trigger();
  EXPECT_EQ(s.main.desktop().session().document().documentPath, dir.file("glide.vta"));
  action(s.main, "resultAction").trigger();
  QTest::qWait(20);
  auto& window = child<ResultWindow>(s.main, "ResultWindow");
  EXPECT_EQ(window.shown_path().toStdString(), dir.file("glide.wav"));
  EXPECT_NEAR(window.painter().duration(), 0.2, 1e-3);
  EXPECT_EQ(s.prompter->shown, std::vector<std::string>{"Build file as"});
}

TEST(ResultView, SpaceInThePicturePlaysAndStops) {
  const testing::TempDir dir;
  testing::Started s({QString::fromStdString(gliding_voice(dir))});
  s.prompter->fileNames.push_back(dir.file("glide.smp"));
  action(s.main, "buildAction").trigger();
  action(s.main, "resultAction").trigger();
  auto& window = child<ResultWindow>(s.main, "ResultWindow");
  QApplication::setActiveWindow(&window);
  window.view().setFocus();
  QTest::qWait(20);
  int played = 0;
  bool playing = false;
  window.set_play_handler([&](const std::vector<int16_t>&, int, int64_t) {
    ++played;
    playing = true;
  });
  window.set_stop_handler([&] { return std::exchange(playing, false); });
  QTest::keyClick(&window.view(), Qt::Key_Space);
  EXPECT_EQ(played, 1);
  QTest::keyClick(&window.view(), Qt::Key_Space);
  EXPECT_EQ(played, 1);
  EXPECT_FALSE(playing);
  QTest::keyClick(&window.view(), Qt::Key_Space);
  EXPECT_EQ(played, 2);
  // A button keeps its own Space.
  child<QPushButton>(window, "wholeButton").setFocus();
  QTest::keyClick(&child<QPushButton>(window, "wholeButton"), Qt::Key_Space);
  EXPECT_EQ(played, 2);
}

TEST(ResultView, EachVoiceOfASeriesShowsTheFormantsItWasBuiltWith) {
  const testing::TempDir dir;
  testing::Started s({VOCANTA_SOURCE_DIR "/examples/templates/men_ih_eh_f1_continuum.vta"});
  s.main.desktop().session().document().samplePath = dir.file("f1.smp");
  BatchBuildChoice choice;
  choice.entries = {"F1"};
  choice.selected = {false};
  s.main.desktop().session().build_batches(dir.file("f1.smp"), choice);
  action(s.main, "resultAction").trigger();
  QTest::qWait(20);
  ResultPainter& painter = child<ResultWindow>(s.main, "ResultWindow").painter();
  ASSERT_NEAR(painter.duration(), 3.5, 1e-3);
  // Up to 1 kHz, a step of the continuum is some pixels apart.
  painter.set_options(ResultOptions{0.005, 70, 1000, true});
  const QImage image = paint(painter);
  const ResultTimeAxis axis = painter.axis(kPicture);
  const auto red = [](QColor c) { return c == ResultPainter::kFormantColour; };
  for (int k = 0; k <= 6; ++k) {
    const std::vector<int> rows =
        rows_where(image, static_cast<int>(axis.x_of(0.5 * k + 0.25)), red);
    ASSERT_FALSE(rows.empty()) << "voice " << k;
    EXPECT_NEAR(rows.back(), painter.frequency_y(390 + 140.0 * k / 6, kPicture), 1.5)
        << "voice " << k;
  }
}

TEST(ResultView, SpectrogramSettingsComeBackNextRun) {
  const testing::TempDir dir;
  SettingsStore store(dir.file("vocanta.ini"));
  {
    testing::Started s;
    auto& window = child<ResultWindow>(s.main, "ResultWindow");
    child<QComboBox>(window, "windowLengthBox").setCurrentIndex(3);
    child<QSpinBox>(window, "rangeBox").setValue(90);
    child<QCheckBox>(window, "overlaysCheck").setChecked(false);
    window.write_options(store);
  }
  testing::Started s;
  auto& window = child<ResultWindow>(s.main, "ResultWindow");
  window.read_options(store);
  EXPECT_EQ(window.painter().options(), (ResultOptions{0.04, 90, 5000, false}));
  // A length the box does not offer leaves the one shown.
  store.WriteInteger("Result", "WindowMs", 7);
  window.read_options(store);
  EXPECT_EQ(window.painter().options().windowSeconds, 0.04);
}

}  // namespace
}  // namespace vocanta
