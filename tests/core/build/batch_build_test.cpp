#include "core/build/batch_build.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/build/build_run.h"
#include "core/model/batch_list.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

using Labels = std::vector<std::string>;

// Notes each voice's label with the values its batch points take while it is built, in
// the copy of the voice that the build renders.
class Recorder : public BatchProgress {
 public:
  explicit Recorder(BuildRun& run) : run_(run) {}
  void show_label(const std::string& label) override {
    if (label.empty()) return;
    labels.push_back(label);
    Voice& voice = run_.rendered_voice();
    f0.push_back(curve_value(voice.parameter(param::kF0).state, 1, 0));
    factor.push_back(curve_value(voice.parameter(param::kF0Factor).state, 1, 0));
  }
  void clear() {
    labels.clear();
    f0.clear();
    factor.clear();
  }
  Labels labels;
  std::vector<double> f0, factor;

 private:
  BuildRun& run_;
};

// Batches Pitch (N = 1) on F0, 50 Hz plain, 100 to 200 Hz stepped, and Vowel (N = 2)
// on the F0 factor, 1 plain, 2 to 3 stepped; voices of 80 samples.
class BatchBuildTest : public ::testing::Test {
 protected:
  BatchBuildTest() {
    reset_to_new(voice);
    voice.settings.duration = "0.005";
    voice.add_point(param::kF0, "Pitch", 1, 0, 50, 100, 100);
    voice.add_point(param::kF0Factor, "Vowel", 1, 0, 1, 2, 1);
    batch("Pitch")->nSteps = 1;
    batch("Vowel")->nSteps = 2;
  }
  tbatchitem* batch(const std::string& name) {
    return voice.batches.find_batch(voice.batches.find_batch_id(name));
  }
  BatchBuildChoice choice(bool combinations, bool includeWithout, std::vector<bool> selected = {}) {
    BatchBuildChoice c;
    c.combinations = combinations;
    c.includeWithout = includeWithout;
    c.entries = sorted_batch_names(voice.batches);
    c.selectedOnly = !selected.empty();
    c.selected = std::move(selected);
    return c;
  }
  int64_t count(BatchBuildChoice c) { return BatchBuild(run, voice.batches, std::move(c)).count(); }
  Labels build(BatchBuildChoice c, const std::string& name = "b.smp") {
    recorder.clear();
    BatchBuild(run, voice.batches, std::move(c), &recorder).build(dir.file(name));
    return recorder.labels;
  }

  testing::TempDir dir;
  Voice voice;
  testing::EventHost host;
  BuildRun run{voice, host};
  Recorder recorder{run};
};

TEST_F(BatchBuildTest, CountsOfBothModes) {
  EXPECT_EQ(count(choice(false, false)), 5);
  EXPECT_EQ(count(choice(false, true)), 6);
  EXPECT_EQ(count(choice(true, false)), 6);
  EXPECT_EQ(count(choice(true, true)), 12);
  EXPECT_EQ(count(choice(true, false, {true, false})), 2);
  EXPECT_EQ(count(choice(true, true, {true, false})), 3);
  EXPECT_EQ(count(choice(false, false, {true, false})), 2);
  // Nothing counted: only the voice without batch, if it is asked for.
  EXPECT_EQ(count(choice(true, false, {false, false})), 0);
  EXPECT_EQ(count(choice(true, true, {false, false})), 1);
  EXPECT_EQ(count(choice(false, true, {false, false})), 1);

  batch("Vowel")->nSteps = -3;  // builds none of its steps
  EXPECT_EQ(count(choice(false, false)), 2);
  EXPECT_EQ(count(choice(true, false)), 0);
  EXPECT_EQ(count(choice(true, true)), 3);

  voice.batches.clear_batches();
  EXPECT_EQ(count(choice(false, true)), 1);
  EXPECT_EQ(count(choice(false, false)), 0);
  EXPECT_EQ(count(choice(true, true)), 1);
  EXPECT_EQ(count(choice(true, false)), 0);
}

TEST_F(BatchBuildTest, EachBatchSeparately) {
  const std::string path = dir.file("b.smp");
  EXPECT_EQ(build(choice(false, false)),
            (Labels{"Pitch 0", "Pitch 1", "Vowel 0", "Vowel 1", "Vowel 2"}));
  EXPECT_EQ(recorder.f0, (std::vector<double>{100, 200, 50, 50, 50}));
  EXPECT_EQ(recorder.factor, (std::vector<double>{1, 1, 2, 2.5, 3}));
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
  EXPECT_EQ(testing::read_file(dir.file("b.CSV")),
            path +
                "\r\n0,80,Pitch 0\r\n80,80,Pitch 1\r\n160,80,Vowel 0\r\n240,80,Vowel 1\r\n"
                "320,80,Vowel 2\r\n");
  const std::string bytes = testing::read_file(path);
  EXPECT_EQ(bytes.size(), 1024u + 2 * 400);
  EXPECT_NE(bytes.find("\r\nlabels=" + dir.file("b.CSV") + "\r\nproc0=Vocanta \r\n"),
            std::string::npos);
  // A finished batch keeps the value of its last step.
  EXPECT_EQ(batch("Vowel")->step, -2);
  EXPECT_EQ(curve_value(voice.parameter(param::kF0Factor).state, 1, 0), 3);

  const Labels labels = build(choice(false, true));
  ASSERT_EQ(labels.size(), 6u);
  EXPECT_EQ(labels[0], "No batch");
  EXPECT_EQ(recorder.f0[0], 50);
  EXPECT_EQ(recorder.factor[0], 1);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

TEST_F(BatchBuildTest, AllCombinations) {
  EXPECT_EQ(build(choice(true, false)),
            (Labels{" Pitch 0 Vowel 0", " Pitch 0 Vowel 1", " Pitch 0 Vowel 2", " Pitch 1 Vowel 0",
                    " Pitch 1 Vowel 1", " Pitch 1 Vowel 2"}));
  EXPECT_EQ(recorder.f0, (std::vector<double>{100, 100, 100, 200, 200, 200}));
  EXPECT_EQ(recorder.factor, (std::vector<double>{2, 2.5, 3, 2, 2.5, 3}));
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);

  EXPECT_EQ(build(choice(true, true)),
            (Labels{"No batch", " Vowel 0", " Vowel 1", " Vowel 2", " Pitch 0", " Pitch 0 Vowel 0",
                    " Pitch 0 Vowel 1", " Pitch 0 Vowel 2", " Pitch 1", " Pitch 1 Vowel 0",
                    " Pitch 1 Vowel 1", " Pitch 1 Vowel 2"}));
  EXPECT_EQ(recorder.f0[4], 100);
  EXPECT_EQ(recorder.factor[4], 1);  // Vowel left out
  EXPECT_EQ(run.samples_in_file(), 12 * 80);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);

  // A batch that is not selected stays at the start of its range.
  EXPECT_EQ(build(choice(true, false, {true, false})), (Labels{" Pitch 0", " Pitch 1"}));
  EXPECT_EQ(recorder.f0, (std::vector<double>{100, 200}));
  EXPECT_EQ(recorder.factor, (std::vector<double>{2, 2}));
}

TEST_F(BatchBuildTest, SingleStepAndEmptyLists) {
  batch("Pitch")->nSteps = 0;
  EXPECT_EQ(build(choice(false, false, {true, false})), Labels{"Pitch 0"});
  EXPECT_EQ(recorder.f0, std::vector<double>{100});

  voice.batches.clear_batches();
  const std::string path = dir.file("none.smp");
  EXPECT_EQ(build(choice(true, true), "none.smp"), Labels{"No batch"});
  EXPECT_EQ(testing::read_file(dir.file("none.CSV")), path + "\r\n0,80,No batch\r\n");
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);

  // A series without any voice is refused before the file is touched.
  testing::write_file(path, "keep");
  EXPECT_THROW(build(choice(true, false), "none.smp"), VocantaError);
  EXPECT_EQ(testing::read_file(path), "keep");
  EXPECT_FALSE(run.running());
}

TEST_F(BatchBuildTest, AnEntryWithoutItsBatchIsPassedOver) {
  // A list shown before a batch was removed must not step a batch that is gone forever.
  BatchBuildChoice c = choice(true, false);
  c.entries.insert(c.entries.begin() + 1, "Ghost");
  EXPECT_EQ(build(c), (Labels{" Pitch 0 Vowel 0", " Pitch 0 Vowel 1", " Pitch 0 Vowel 2",
                              " Pitch 1 Vowel 0", " Pitch 1 Vowel 1", " Pitch 1 Vowel 2"}));
  c.combinations = false;
  EXPECT_EQ(build(c).size(), 5u);
}

TEST_F(BatchBuildTest, VoicesShareTheRandomSequenceUnlessRandomized) {
  voice.add_point(param::kNoiseLevel, "", 1, 0, -20, 0, 0);
  voice.batches.get_batch("Still");
  batch("Still")->nSteps = 1;
  const auto voices = [&] {
    build(choice(false, false, {false, true, false}));
    const std::string bytes = testing::read_file(dir.file("b.smp"));
    return std::pair(bytes.substr(1024, 160), bytes.substr(1024 + 160));
  };
  auto [first, second] = voices();
  EXPECT_EQ(first, second);
  voice.settings.randomize = true;
  run.set_fixed_seed(7);
  std::tie(first, second) = voices();
  EXPECT_NE(first, second);
}

TEST_F(BatchBuildTest, BreakInTheSecondVoiceEndsTheSeries) {
  voice.settings.duration = "0.1";  // two blocks a voice: 1024 and 576 samples
  host.onEvents = [&] {
    if (run.samples_computed() > 1600) run.request_break();
  };
  const std::string path = dir.file("b.smp");
  EXPECT_EQ(build(choice(false, false)), (Labels{"Pitch 0", "Pitch 1"}));
  EXPECT_EQ(run.outcome(), BuildOutcome::Break);
  EXPECT_EQ(run.samples_in_file(), 1600 + 1024);
  EXPECT_EQ(testing::read_file(dir.file("b.CSV")),
            path + "\r\n0,1600,Pitch 0\r\n1600,1024,Pitch 1\r\n");
  EXPECT_EQ(testing::read_file(path).size(), 1024 + 2 * static_cast<size_t>(run.samples_in_file()));
}

TEST_F(BatchBuildTest, AShortWriteEndsTheSeries) {
  const std::string path = dir.file("b.smp");
  {
    // The first voice whole, 40 samples of the second.
    testing::FileSizeLimit limit(1024 + 2 * 120);
    build(choice(false, false));
  }
  EXPECT_EQ(recorder.labels, (Labels{"Pitch 0", "Pitch 1"}));
  EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete);
  EXPECT_NE(run.write_failure(), "");
  // A series cut short by a failure replaces neither an earlier file nor its labels.
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// Runs f on a thread with a stack of 64 KB, far less than a level per batch would need.
void on_small_stack(const std::function<void()>& f) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 64 * 1024);
  pthread_t thread;
  auto call = [](void* p) -> void* {
    (*static_cast<const std::function<void()>*>(p))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, call, const_cast<std::function<void()>*>(&f)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST_F(BatchBuildTest, AllCombinationsOfThousandsOfBatches) {
  voice.batches.clear_batches();
  voice.settings.duration = "0.0001";  // two samples a voice
  constexpr int kBatches = 1500;
  for (int i = 0; i < kBatches; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "B%05d", i);
    voice.batches.get_batch(name);
  }
  batch("B01499")->nSteps = 1;
  on_small_stack([&] { build(choice(true, false)); });
  ASSERT_EQ(recorder.labels.size(), 2u);
  EXPECT_EQ(recorder.labels[0].substr(0, 18), " B00000 0 B00001 0");
  EXPECT_EQ(recorder.labels[0].size(), 9u * kBatches);
  EXPECT_EQ(recorder.labels[1].substr(9 * (kBatches - 1)), " B01499 1");
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

TEST_F(BatchBuildTest, RefusedWhileAPlainBuildRuns) {
  voice.settings.duration = "0.1";  // a second block, whose events try the batch
  int refusals = 0;
  host.onEvents = [&] {
    if (refusals > 0) return;
    try {
      build(choice(false, false), "batch.smp");
    } catch (const VocantaError&) {
      ++refusals;
    }
  };
  run.build_voice(dir.file("plain.smp"));
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
  EXPECT_FALSE(std::filesystem::exists(dir.file("batch.smp")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("plain.CSV")));
  EXPECT_TRUE(recorder.labels.empty());
}

TEST_F(BatchBuildTest, ListIsSortedWithoutRegardToCase) {
  voice.batches.get_batch("Banana");
  voice.batches.get_batch("Apple");
  batch("Apple")->name = "apple";  // renamed as typed
  EXPECT_EQ(sorted_batch_names(voice.batches), (Labels{"apple", "Banana", "Pitch", "Vowel"}));
}

}  // namespace
}  // namespace vocanta
