#include <gtest/gtest.h>

#include <QByteArray>
#include <QIODevice>
#include <QLabel>
#include <QTest>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "core/document/session.h"
#include "core/model/curve_commands.h"
#include "core/model/edit_commands.h"
#include "core/model/parameter_table.h"
#include "core/soundfile/sample_file_info.h"
#include "gui/main/started_window.h"
#include "gui/platform/audio_output.h"
#include "gui/playback/voice_player.h"

namespace vocanta::testing {
namespace {

const QString kSungVowel = VOCANTA_SOURCE_DIR "/examples/sung_vowel_a.vta";

// A sound card that plays nothing: it pulls from the source as a card does, a period
// at a time, and keeps what it was given.
class RecordingOutput : public AudioOutput {
 public:
  QString missing;
  QIODevice* source = nullptr;
  int samplingFrequency = 0;
  int starts = 0;
  std::vector<int16_t> heard;

  QString missing_device() const override { return missing; }
  QString start(QIODevice& s, int fs) override {
    source = &s;
    samplingFrequency = fs;
    ++starts;
    return {};
  }
  void stop() override { source = nullptr; }
  qint64 played_usecs() const override {
    return samplingFrequency ? qint64(heard.size()) * 1000000 / samplingFrequency : 0;
  }
  void pull(qint64 bytes) {
    const QByteArray b = source->read(bytes);
    const auto* s = reinterpret_cast<const int16_t*>(b.data());
    heard.insert(heard.end(), s, s + b.size() / 2);
    if (source->atEnd()) emit ran_dry();
  }
};

struct Playing : Started {
  Playing() : Started({kSungVowel}) {
    auto recording = std::make_unique<RecordingOutput>();
    output = recording.get();
    main.desktop().set_audio_output(std::move(recording));
  }
  RecordingOutput* output;
};

std::vector<int16_t> samples_of(const std::string& smp) {
  const SampleFileInfo info = read_sample_file_info(smp);
  const std::string bytes = read_file(smp);
  std::vector<int16_t> samples(static_cast<size_t>(info.samples));
  // The samples end the file, after a header of any length.
  std::memcpy(samples.data(), bytes.data() + bytes.size() - samples.size() * 2, samples.size() * 2);
  return samples;
}

TEST(Playback, TheDeviceGetsTheSamplesABuildWrites) {
  Playing p;
  action(p.main, "playAction").trigger();
  ASSERT_EQ(p.output->starts, 1);
  EXPECT_TRUE(action(p.main, "stopAction").isEnabled());
  // The card pulls while the rest is rendered ahead on the source's thread.
  while (p.output->source) {
    p.output->pull(8820);
    QTest::qWait(1);
  }
  EXPECT_FALSE(p.main.desktop().player().playing());
  EXPECT_FALSE(action(p.main, "stopAction").isEnabled());

  TempDir dir;
  p.main.desktop().session().build_voice(dir.file("a.smp"));
  EXPECT_EQ(p.output->samplingFrequency, 44100);
  EXPECT_EQ(p.output->heard, samples_of(dir.file("a.smp")));
}

TEST(Playback, StopAndABuildEndTheSound) {
  Playing p;
  action(p.main, "playAction").trigger();
  p.output->pull(4096);
  action(p.main, "stopAction").trigger();
  EXPECT_EQ(p.output->source, nullptr);
  EXPECT_FALSE(p.main.desktop().player().playing());
  EXPECT_EQ(p.output->heard.size(), 2048u);

  action(p.main, "playAction").trigger();
  ASSERT_TRUE(p.main.desktop().player().playing());
  TempDir dir;
  p.main.desktop().session().build_voice(dir.file("a.smp"));
  EXPECT_FALSE(p.main.desktop().player().playing());
  EXPECT_EQ(p.output->source, nullptr);
  EXPECT_TRUE(action(p.main, "playAction").isEnabled());
}

TEST(Playback, TheVoiceIsRenderedAheadOnItsOwnThreadAndEditsAreNotHeard) {
  Playing p;
  TempDir dir;
  Session& session = p.main.desktop().session();
  session.build_voice(dir.file("a.smp"));
  action(p.main, "playAction").trigger();
  ASSERT_NE(p.output->source, nullptr);
  // The window thread runs no event here, and still the samples come.
  const qint64 first = p.output->source->bytesAvailable();
  for (int i = 0; i < 200 && p.output->source->bytesAvailable() <= first; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GT(p.output->source->bytesAvailable(), first);

  p.output->pull(8192);
  // Every point of the curves the renderer walks, taken while it stands on them, and
  // a voice laid out anew: the sound goes on with the voice as it was.
  for (int index : {param::kF0, param::kOverallLevel, param::kVibratoAmplitude, param::kFormants})
    while (TCurve* c = session.voice().parameter(index).state.curves)
      session.apply(std::make_unique<DeletePointCommand>(index, c->points));
  session.apply(std::make_unique<TweenieCountCommand>(4));
  ASSERT_TRUE(p.main.desktop().player().playing());
  while (p.output->source) {
    p.output->pull(8820);
    QTest::qWait(1);
  }
  EXPECT_EQ(p.output->heard, samples_of(dir.file("a.smp")));
}

TEST(Playback, AMissingDeviceIsToldOnce) {
  Playing p;
  p.output->missing = "No audio output device";
  action(p.main, "playAction").trigger();
  action(p.main, "playAction").trigger();
  EXPECT_EQ(p.prompter->shown, std::vector<std::string>{"No audio output device"});
  EXPECT_EQ(p.output->starts, 0);
  EXPECT_EQ(child<QLabel>(p.main, "progresslabel").text(), "Cannot play");
}

}  // namespace
}  // namespace vocanta::testing
