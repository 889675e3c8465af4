#include "core/build/build_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

// Records everything a build shows, on a clock the test drives.
class RecordingHost : public BuildHost {
 public:
  uint32_t now = 1000;
  uint32_t refreshCost = 0;  // milliseconds one progress refresh takes
  std::function<void()> onEvents;

  std::vector<std::string> statistics, outcomes, percents;
  std::vector<double> times;
  std::vector<OverloadState> overloads;
  std::vector<bool> running;
  int refreshes = 0, events = 0, beeps = 0, finished = 0;

  uint32_t tick_count() override { return now; }
  uint32_t clock_seed() override { return 4711; }
  void add_statistics_line(const std::string& line) override { statistics.push_back(line); }
  void build_running(bool r) override { running.push_back(r); }
  void autosave(const std::string&) override {}
  void refresh_progress(double t, const std::string& percent) override {
    ++refreshes;
    times.push_back(t);
    percents.push_back(percent);
    now += refreshCost;
  }
  void process_events() override {
    ++events;
    if (onEvents) onEvents();
  }
  void overload_state(OverloadState state) override { overloads.push_back(state); }
  void outcome(BuildOutcome outcome) override { outcomes.emplace_back(shown_text(outcome)); }
  void beep() override { ++beeps; }
  void build_finished() override { ++finished; }
};

class BuildRunTest : public ::testing::Test {
 protected:
  BuildRunTest() {
    reset_to_new(voice);
    voice.settings.duration = "0.01";
  }
  std::string build(const std::string& name) {
    run.build_voice(dir.file(name));
    return testing::read_file(dir.file(name));
  }

  testing::TempDir dir;
  Voice voice;
  RecordingHost host;
  BuildRun run{voice, host};
};

TEST(BuildRunPaths, ChangeExtensionReplacesOnlyTheFileNamesExtension) {
  EXPECT_EQ(change_extension("/a/voice.smp", ".CSV"), "/a/voice.CSV");
  EXPECT_EQ(change_extension("/a/x.tar.gz", ".CSV"), "/a/x.tar.CSV");
  EXPECT_EQ(change_extension("/a.b/voice", ".CSV"), "/a.b/voice.CSV");
  EXPECT_EQ(change_extension("voice", ".VTA"), "voice.VTA");
}

TEST_F(BuildRunTest, ReadsTheSettingsTexts) {
  char separator = '.';
  SynthesisSettings s = read_synthesis_settings(voice, separator);
  EXPECT_EQ(s.fs, 16000);
  EXPECT_EQ(s.maxHarmonics, 1000);
  EXPECT_EQ(s.tweenies, 1);
  EXPECT_DOUBLE_EQ(s.gain, 0.1);
  EXPECT_EQ(s.samplesPerVoice, 160);

  // Both roundings go to the even neighbour on a tie.
  voice.settings.samplingFrequency = "10.5";
  voice.settings.duration = "0.25";
  s = read_synthesis_settings(voice, separator);
  EXPECT_EQ(s.fs, 10);
  EXPECT_EQ(s.samplesPerVoice, 2);
  voice.settings.samplingFrequency = "9.5";
  voice.settings.duration = "0.75";
  EXPECT_EQ(read_synthesis_settings(voice, separator).samplesPerVoice, 8);
  separator = ',';
  voice.settings.samplingFrequency = "10";
  voice.settings.duration = "0,25";
  EXPECT_EQ(read_synthesis_settings(voice, separator).samplesPerVoice, 2);
  voice.settings.duration = "-1";  // a voice of no length is refused
  EXPECT_THROW(read_synthesis_settings(voice, separator), VocantaError);

  separator = '.';
  voice.settings.samplingFrequency = "16000";
  voice.settings.duration = "134217.7279375";
  EXPECT_EQ(read_synthesis_settings(voice, separator).samplesPerVoice, 2147483647);
  voice.settings.duration = "134217.728";
  EXPECT_THROW(read_synthesis_settings(voice, separator), VocantaError);
  voice.settings.duration = "1";
  voice.settings.samplingFrequency = "3000000000";
  EXPECT_THROW(read_synthesis_settings(voice, separator), VocantaError);

  voice.settings.samplingFrequency = "16000";
  voice.settings.maxHarmonics = "1.5";
  EXPECT_THROW(read_synthesis_settings(voice, separator), VocantaError);
}

TEST_F(BuildRunTest, DefaultBuildWritesHeaderStatisticsAndOutcome) {
  voice.settings.duration = "1";
  run.set_document_path("/docs/voice.vta");
  const std::string path = dir.file("v.smp");
  const std::string bytes = build("v.smp");
  ASSERT_EQ(bytes.size(), 1024u + 32000u);
  const std::string text =
      "file=samp\r\nsftot=16000\r\nnchans=1\r\nmsb=last\r\nproc0=Vocanta /docs/voice.vta\r\n=\r\n" +
      std::string("\x00\x04\x1A", 3);
  EXPECT_EQ(bytes.substr(0, text.size()), text);
  EXPECT_EQ(bytes.find_first_not_of('\0', text.size()), 1024u);

  EXPECT_EQ(host.statistics,
            (std::vector<std::string>{"---------------------", "Build of " + path + " started",
                                      "Done", "Build took 0.000s"}));
  EXPECT_EQ(host.outcomes, std::vector<std::string>{"Done!"});
  EXPECT_EQ(host.overloads,
            (std::vector<OverloadState>{OverloadState::Unknown, OverloadState::Clear}));
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
  EXPECT_EQ(host.finished, 1);
  EXPECT_EQ(host.beeps, 0);
  EXPECT_FALSE(run.running());
  // The clock stands still, so only the first look at it refreshes: a break check
  // inside the first block, which the partials counted so far reached.
  EXPECT_EQ(host.percents, std::vector<std::string>{"00.00%"});
  ASSERT_EQ(host.times.size(), 1u);
  EXPECT_LT(host.times[0], 1024.0 / 16000);
}

TEST_F(BuildRunTest, ShowProgressIsThrottledOnAWrappingClock) {
  run.set_decimal_separator(',');
  run.show_progress(0);  // the very first call refreshes at once
  EXPECT_EQ(host.percents, std::vector<std::string>{"00,00%"});
  EXPECT_EQ(host.events, 0);

  // The refresh cost is averaged from 10 ms: 0.8 * 10 = 8 now, so 20 * 8 = 160 ms pass
  // before the next refresh; window messages wait 50 ms after one.
  host.now = 1160;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(host.events, 1);
  host.now = 1161;
  host.refreshCost = 100;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 2);
  EXPECT_EQ(host.events, 1);  // not right after a refresh
  host.refreshCost = 0;
  host.now = 1161 + 528;  // 20 * (0.2 * 100 + 0.8 * 8): not yet
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 2);
  host.now = 1161 + 529;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 3);

  for (int i = 0; i < 10; ++i) {  // free refreshes bring the average down to its floor
    host.now += 1000;
    run.show_progress(0);
  }
  host.now = 4294967000u;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 14);
  const int events = host.events;
  host.now = 4294967050u;  // 50 ms later: neither
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 14);
  EXPECT_EQ(host.events, events);
  host.now = 4294967051u;
  run.show_progress(0);
  EXPECT_EQ(host.events, events + 1);
  host.now = 4294967100u;  // 20 * 5 ms: the average never falls below 5
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 14);
  host.now = 100;  // past the wrap, 396 ms later
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 15);
  host.now = 200;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 15);
  host.now = 201;
  run.show_progress(0);
  EXPECT_EQ(host.refreshes, 16);
}

TEST_F(BuildRunTest, BeepsOnlyAfterMoreThanFifteenSeconds) {
  host.refreshCost = 15000;  // the one refresh of this short build takes the time
  build("a.smp");
  EXPECT_EQ(host.statistics.back(), "Build took 15.000s");
  EXPECT_EQ(host.beeps, 0);

  RecordingHost slow;
  slow.refreshCost = 16000;
  BuildRun other(voice, slow);
  other.build_voice(dir.file("b.smp"));
  EXPECT_EQ(slow.statistics.back(), "Build took 16.000s");
  EXPECT_EQ(slow.beeps, 1);
}

TEST_F(BuildRunTest, ClippingKeepsTheIndicatorRedAlsoAfterABreak) {
  voice.settings.gain = "60";
  voice.settings.duration = "0.2";
  host.refreshCost = 100;  // leaves the refreshes more than 50 ms behind, so events run
  host.onEvents = [&] { run.request_break(); };
  const std::string bytes = build("loud.smp");
  EXPECT_EQ(run.outcome(), BuildOutcome::Break);
  EXPECT_EQ(host.statistics[2], "Break!");
  EXPECT_LT(bytes.size(), 1024u + 2 * 1024);  // a check inside the first block broke it
  EXPECT_EQ(run.overload_state(), OverloadState::Clipped);
  EXPECT_EQ(host.overloads.back(), OverloadState::Clipped);
  EXPECT_NE(bytes.find("\xFF\x7F"), std::string::npos);  // 32767, least significant first
}

TEST_F(BuildRunTest, RefusesASecondBuildWhileOneRuns) {
  voice.settings.duration = "0.1";
  host.refreshCost = 100;
  std::vector<std::string> refusals;
  host.onEvents = [&] {
    // After the first block is in the file, so that a reset count would show.
    if (run.samples_computed() < 1100 || !refusals.empty()) return;
    try {
      run.build_voice(dir.file("second.smp"));
    } catch (const VocantaError& e) {
      refusals.push_back(e.what());
    }
  };
  const std::string bytes = build("first.smp");
  ASSERT_EQ(refusals.size(), 1u);
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
  EXPECT_EQ(bytes.size(), 1024u + 3200u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("second.smp")));
  EXPECT_EQ(host.statistics.size(), 4u);
}

TEST_F(BuildRunTest, AnErrorStillFinishesTheBuild) {
  voice.settings.duration = "0.1";  // two blocks: the events after the second one throw
  host.refreshCost = 100;
  host.onEvents = [] { throw std::runtime_error("disk gone"); };
  EXPECT_THROW(build("a.smp"), std::runtime_error);
  EXPECT_FALSE(run.running());
  EXPECT_EQ(host.running, (std::vector<bool>{true, false}));
  EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete);
  EXPECT_EQ(host.statistics[2], "Not Complete");
  host.onEvents = nullptr;
  build("a.smp");
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);

  // A voice of no length is refused at the start rather than built "Done!" as a bare
  // header.
  voice.settings.duration = "0";
  EXPECT_THROW(build("empty.smp"), VocantaError);
  EXPECT_FALSE(std::filesystem::exists(dir.file("empty.smp")));
  EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete);
  voice.settings.duration = "0.1";
  // Refused settings leave the file of an earlier build as it was.
  voice.settings.gain = "abc";
  testing::write_file(dir.file("bad.smp"), "earlier");
  try {
    build("bad.smp");
    ADD_FAILURE() << "gain abc accepted";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(testing::read_file(dir.file("bad.smp")), "earlier");
  voice.settings.gain = "-20";
  voice.settings.samplingFrequency = "1e12";
  EXPECT_THROW(run.build_voice(dir.file("fs.smp")), VocantaError);
  EXPECT_FALSE(std::filesystem::exists(dir.file("fs.smp")));
  EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete);
  EXPECT_FALSE(run.running());
}

TEST_F(BuildRunTest, AnAbsurdTweenieCountStillBreaksInsideTheFirstSample) {
  // Billions of rows for one sample: the break must not wait for the sample's end.
  voice.settings.tweenies = "2147483647";
  host.refreshCost = 100;  // leaves the refresh more than 50 ms behind, so events run
  host.onEvents = [&] { run.request_break(); };
  build("absurd.smp");
  EXPECT_EQ(run.outcome(), BuildOutcome::Break);
  // The first check refreshed, the second one's events broke and the sample was given
  // up; the end of the block let events run once more.
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(host.events, 2);
  EXPECT_EQ(run.samples_computed(), 0);
  EXPECT_EQ(run.samples_in_file(), 0);
  EXPECT_EQ(testing::read_file(dir.file("absurd.smp")).size(), 1024u);
  EXPECT_DOUBLE_EQ(voice.parameter(param::kTweenieSpectrum).xGridStep, 1.0 / 2147483648.0);

  // With no partial at all the rows add nothing and cost nothing: the samples come
  // quickly, and the break still ends the build.
  voice.settings.maxHarmonics = "-1";
  build("none.smp");
  EXPECT_EQ(run.outcome(), BuildOutcome::Break);
  EXPECT_LT(run.samples_in_file(), 16000);
}

TEST_F(BuildRunTest, AShortWriteSaysWhy) {
  voice.settings.duration = "0.1";  // 1600 samples; the file takes 1000 and a half
  const std::string path = dir.file("full.smp");
  {
    testing::FileSizeLimit limit(1024 + 2 * 1000 + 1);
    run.build_voice(path);
  }
  const std::string reason = "Cannot write to " + path + ": " + std::strerror(EFBIG);
  EXPECT_EQ(run.write_failure(), reason);
  EXPECT_EQ(host.statistics,
            (std::vector<std::string>{"---------------------", "Build of " + path + " started",
                                      reason, "Not Complete", "Build took 0.000s"}));
  EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete);
  EXPECT_EQ(run.samples_in_file(), 1000);
  EXPECT_EQ(testing::read_file(path).size(), 1024u + 2 * 1000);  // whole samples only

  host.statistics.clear();
  build("fine.smp");
  EXPECT_EQ(run.write_failure(), "");
  EXPECT_EQ(host.statistics[2], "Done");
}

TEST_F(BuildRunTest, RefusesToWriteOverTheDocument) {
  const std::string doc = dir.file("doc.smp");
  const std::string table = dir.file("doc.CSV");
  testing::write_file(doc, "the document");
  testing::write_file(table, "another document");
  run.set_document_path(doc);
  std::filesystem::create_directory(dir.file("sub"));
  std::filesystem::create_symlink(doc, dir.file("link.smp"));
  const auto refused = [&](const std::function<void()>& build, const std::string& text) {
    try {
      build();
      ADD_FAILURE() << "accepted: " << text;
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), text);
    }
    EXPECT_EQ(testing::read_file(doc), "the document");
    EXPECT_EQ(testing::read_file(table), "another document");
    EXPECT_FALSE(run.running());
    EXPECT_TRUE(host.statistics.empty());  // refused before the build began
  };
  for (const std::string& same : {doc, dir.file("sub/../doc.smp"), dir.file("link.smp")})
    refused([&] { run.build_voice(same); }, "The sample file " + same +
                                                " would overwrite the document " + doc +
                                                "; choose another name for the sample file");

  // A labelled series also writes the label file, which must not be the document either.
  run.set_document_path(table);
  const auto series = [&](const std::string& path) {
    return [&, path] { run.run_series(path, 1, [&] { run.render_voice("x"); }); };
  };
  refused(series(dir.file("doc.smp")), "The label file " + table +
                                           " would overwrite the document " + table +
                                           "; choose another name for the sample file");
  // Nor the sample file itself; a document that is not there yet is compared by name.
  run.set_document_path(dir.file("new.vta"));
  refused(series(dir.file("doc.CSV")), "The label file of " + table +
                                           " would be the sample file itself; choose a name "
                                           "that does not end in \".CSV\"");
  EXPECT_FALSE(std::filesystem::exists(dir.file("new.vta")));
  refused([&] { run.build_voice(dir.file("./new.vta")); },
          "The sample file " + dir.file("./new.vta") + " would overwrite the document " +
              dir.file("new.vta") + "; choose another name for the sample file");

  run.build_voice(dir.file("other.smp"));
  EXPECT_EQ(run.outcome(), BuildOutcome::Done);
}

}  // namespace
}  // namespace vocanta
