#include "core/build/series_jobs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/soundfile/sample_sink.h"
#include "test_support.h"

namespace vocanta {
namespace {

// Keeps what a build hands its destination, and can refuse samples beyond a count.
class MemorySink : public SampleSink {
 public:
  void begin(const SinkFormat&) override {}
  size_t write(const int16_t* samples, size_t count) override {
    const size_t kept = std::min(count, room - std::min(room, this->samples.size()));
    this->samples.insert(this->samples.end(), samples, samples + kept);
    return kept;
  }
  void voice_done(int64_t start, int64_t count, const std::string& label) override {
    voices.push_back(std::to_string(start) + "," + std::to_string(count) + "," + label);
  }
  void finish() noexcept override {}
  std::vector<int16_t> samples;
  std::vector<std::string> voices;
  size_t room = SIZE_MAX;
};

struct Series {
  std::vector<int16_t> samples;
  std::vector<std::string> voices, recorded;
  uint32_t seedAfter = 0;
  BuildOutcome outcome = BuildOutcome::None;
  bool operator==(const Series&) const = default;
};

// A randomizing voice with a noise and a stepped F0 curve: 3 x 4 combinations with the
// voice without batch, on jobs threads (0: the run's default, the machine's cores).
Series series_on(int jobs, size_t room = SIZE_MAX) {
  Voice voice;
  reset_to_new(voice);
  voice.settings.duration = "0.02";
  voice.settings.randomize = true;
  voice.add_point(param::kF0, "Pitch", 1, 0, 100, 150, 50);
  voice.add_point(param::kF0, "", 1, 0.01, 120, 0, 0);
  voice.add_point(param::kF0, "", 1, 0.01, 180, 0, 0);  // a step: cursors matter
  voice.add_point(param::kNoiseLevel, "Noise", 1, 0, -30, -10, 10);
  voice.batches.find_batch(voice.batches.find_batch_id("Pitch"))->nSteps = 1;
  voice.batches.find_batch(voice.batches.find_batch_id("Noise"))->nSteps = 2;
  testing::EventHost host;
  BuildRun run(voice, host);
  run.set_jobs(jobs);
  run.set_fixed_seed(12345);
  BatchBuildChoice choice;
  choice.combinations = true;
  choice.includeWithout = true;
  choice.entries = sorted_batch_names(voice.batches);
  BatchBuild batch(run, voice.batches, choice);
  Series s;
  batch.set_recorder([&](const BuiltVoice& v) {
    s.recorded.push_back(v.label + "@" + std::to_string(v.start) + "+" + std::to_string(v.length));
  });
  MemorySink sink;
  sink.room = room;
  batch.build_into(sink, "series");
  s.samples = sink.samples;
  s.voices = sink.voices;
  s.seedAfter = voice.random.seed;
  s.outcome = run.outcome();
  return s;
}

TEST(SeriesJobs, AnyNumberOfThreadsWritesWhatOneWrites) {
  const Series one = series_on(1);
  ASSERT_EQ(one.outcome, BuildOutcome::Done);
  ASSERT_EQ(one.voices.size(), 12u);
  EXPECT_EQ(one.recorded.size(), 12u);
  for (const int jobs : {2, 3, 5, 0}) EXPECT_EQ(series_on(jobs), one) << jobs << " threads";
  // The series is not one voice over and over: voices differ, so order counts.
  const auto length = static_cast<std::ptrdiff_t>(one.samples.size() / 12);
  const auto voice = [&](std::ptrdiff_t k) {
    return std::vector<int16_t>(one.samples.begin() + k * length,
                                one.samples.begin() + (k + 1) * length);
  };
  EXPECT_NE(voice(4), voice(5));
}

TEST(SeriesJobs, AFullDestinationEndsTheSeriesWhereOneThreadEndsIt) {
  const size_t length = series_on(1).samples.size() / 12;
  // Four voices and half of the fifth.
  const size_t room = 4 * length + length / 2;
  const Series one = series_on(1, room);
  EXPECT_EQ(one.outcome, BuildOutcome::NotComplete);
  ASSERT_EQ(one.voices.size(), 5u);
  EXPECT_EQ(one.voices.back().substr(0, one.voices.back().rfind(',')),
            std::to_string(4 * length) + "," + std::to_string(length / 2));
  for (const int jobs : {2, 3}) {
    const Series many = series_on(jobs, room);
    EXPECT_EQ(many.samples, one.samples) << jobs;
    EXPECT_EQ(many.voices, one.voices) << jobs;
    EXPECT_EQ(many.recorded, one.recorded) << jobs;
    EXPECT_EQ(many.outcome, one.outcome) << jobs;
    // Not the random sequence left behind: one thread stops it inside the voice it was
    // rendering, the threads where the last whole voice left it, and every build starts
    // a sequence of its own.
  }
}

}  // namespace
}  // namespace vocanta
