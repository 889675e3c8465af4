#include "core/document/session.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "core/model/batch_commands.h"
#include "core/model/curve_commands.h"
#include "core/model/edit_commands.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() { session.document().new_document(); }

  testing::ScriptedPrompter prompter;
  testing::EventHost build;
  Voice scratch;  // the pictures of the host's save command would go there; there are none
  testing::RecordingDocumentHost host{scratch};
  Session session{prompter, host, build};
  Voice& voice = session.voice();
};

TEST_F(SessionTest, StepsOfOneGroupMergeUntilUndoAndRedoWalkThem) {
  testing::ChangeLog log(voice.events);
  auto type = [&](const std::string& gain, uint64_t group) {
    BuildSettings after = voice.settings;
    after.gain = gain;
    session.apply(std::make_unique<SettingsCommand>(voice.settings, after), group);
  };

  const uint64_t visit = session.new_group();
  for (const char* text : {"-", "-1", "-12"}) type(text, visit);
  EXPECT_EQ(session.history().size(), 1u);
  EXPECT_EQ(session.history().undo_caption(), "Settings");
  EXPECT_FALSE(session.document().modified());  // settings never mark the document
  EXPECT_EQ(log.count(ModelChange::Kind::Settings), 3);

  type("-6", session.new_group());  // another visit: another step
  EXPECT_EQ(session.history().size(), 2u);
  session.undo();
  EXPECT_EQ(voice.settings.gain, "-12");
  // Only settings lie between this state and the one New left, and they never mark it.
  EXPECT_FALSE(session.document().modified());
  session.undo();
  EXPECT_EQ(voice.settings.gain, "-20");
  EXPECT_FALSE(session.history().can_undo());
  EXPECT_EQ(session.history().redo_caption(), "Settings");
  session.redo();
  EXPECT_EQ(voice.settings.gain, "-12");

  // After an undo the group is closed: a late keystroke of it is a step of its own, and
  // it drops what could have been redone.
  type("-13", visit);
  EXPECT_EQ(session.history().size(), 2u);
  EXPECT_FALSE(session.history().can_redo());
  session.undo();
  EXPECT_EQ(voice.settings.gain, "-12");
}

TEST_F(SessionTest, ATweenieCountKeepsTheClearedCurvesForUndoAndNewForgetsEverything) {
  Parameter& spectrum = voice.parameter(param::kTweenieSpectrum);
  voice.add_point(param::kTweenieSpectrum, "", 1, 0.5, -3, -3, 0);
  const double step = spectrum.xGridStep;

  voice.settings.tweenies = "3";
  int n = 0;
  ASSERT_TRUE(tweenie_count_changes(voice, n));
  session.apply(std::make_unique<TweenieCountCommand>(n));
  EXPECT_EQ(spectrum.state.curves, nullptr);
  EXPECT_EQ(voice.tweeniesInUse, 3);
  EXPECT_DOUBLE_EQ(spectrum.xGridStep, 0.25);
  EXPECT_FALSE(tweenie_count_changes(voice, n));  // in use now

  session.undo();
  ASSERT_NE(spectrum.state.curves, nullptr);
  EXPECT_EQ(curve_value(spectrum.state, 1, 0.5), -3);
  EXPECT_EQ(voice.tweeniesInUse, 1);
  EXPECT_DOUBLE_EQ(spectrum.xGridStep, step);
  session.redo();
  EXPECT_EQ(spectrum.state.curves, nullptr);

  voice.settings.tweenies = "many";
  EXPECT_THROW(tweenie_count_changes(voice, n), VocantaError);

  prompter.answers = {Answer::No};  // should New ask, the steps are given up
  session.document().new_document();
  EXPECT_FALSE(session.history().can_undo());
  EXPECT_FALSE(session.history().can_redo());
}

TEST_F(SessionTest, UndoAndRedoKnowTheSavedState) {
  testing::TempDir dir;
  double& f0 = voice.parameter(param::kF0).state.defaultValue;
  const auto set_f0 = [&](double value) {
    session.apply(std::make_unique<DefaultValueCommand>(param::kF0, f0, value));
  };
  const auto modified = [&] { return session.document().modified(); };

  set_f0(110);
  session.undo();
  EXPECT_FALSE(modified());  // back where New left it
  session.redo();
  EXPECT_TRUE(modified());

  const std::string path = dir.file("saved.vta");
  prompter.fileNames = {path};
  session.document().save_document_as();
  set_f0(120);
  EXPECT_TRUE(modified());
  session.undo();
  EXPECT_FALSE(modified());
  session.undo();
  EXPECT_TRUE(modified());
  session.redo();
  EXPECT_FALSE(modified());
  session.redo();
  EXPECT_TRUE(modified());
  session.undo();

  // A settings step on the saved state marks nothing, neither taken back nor made again.
  session.apply(std::make_unique<SettingsCommand>(voice.settings, voice.settings));
  session.undo();
  EXPECT_FALSE(modified());
  session.redo();
  EXPECT_FALSE(modified());

  // A step taken after undoing past the save drops the saved state: no undo reaches it.
  session.undo();
  session.undo();
  set_f0(130);
  session.undo();
  EXPECT_TRUE(modified());
  EXPECT_FALSE(session.history().can_undo());

  // What was read is the saved state too.
  session.document().load_document(path);
  EXPECT_FALSE(modified());
  set_f0(140);
  session.undo();
  EXPECT_FALSE(modified());
  EXPECT_EQ(f0, 110);
}

// A point of the F0 curve at x with value y, as a mouse press makes it.
std::unique_ptr<EditCommand> add_f0_point(double x, double y) {
  auto p = std::make_unique<TCurvePoint>();
  p->x = x;
  p->y = p->batchY = y;
  return std::make_unique<AddPointCommand>(param::kF0, std::move(p));
}

TEST_F(SessionTest, ABuildRendersTheVoiceAsItWasAtItsStartWhileTheUserEdits) {
  testing::TempDir dir;
  const std::string path = dir.file("v.smp");
  voice.settings.duration = "0.2";  // a few blocks, so that events run in between
  session.apply(add_f0_point(0.1, 150));
  BuildSettings louder = voice.settings;
  louder.gain = "-10";
  session.apply(std::make_unique<SettingsCommand>(voice.settings, louder));
  session.build_voice(path);
  const std::string unedited = testing::read_file(path);

  int calls = 0;
  build.onEvents = [&] {
    // Every kind of edit, at every chance: none may reach the samples of this build.
    if (calls++ == 0) {
      session.undo();  // the gain
      session.apply(std::make_unique<TweenieCountCommand>(5));
      BuildSettings other = voice.settings;
      other.duration = "0.1";
      other.samplingFrequency = "8000";
      session.apply(std::make_unique<SettingsCommand>(voice.settings, other));
      session.undo();
      session.redo();
    }
    session.apply(add_f0_point(0.05 * (calls % 4), 300 + calls));
  };
  session.build_voice(path);
  EXPECT_GT(calls, 1);
  EXPECT_TRUE(testing::read_file(path) == unedited);
  EXPECT_EQ(session.build_run().outcome(), BuildOutcome::Done);

  // The edits stay for the next build, which renders them.
  build.onEvents = nullptr;
  EXPECT_EQ(voice.settings.gain, "-20");
  EXPECT_EQ(voice.settings.duration, "0.1");
  EXPECT_EQ(voice.tweeniesInUse, 5);
  EXPECT_EQ(voice.parameter(param::kF0).state.curves->point_count(), 1 + calls);
  session.build_voice(path);
  EXPECT_EQ(session.build_run().settings().samplesPerVoice, 800);
  EXPECT_FALSE(testing::read_file(path) == unedited);
}

TEST_F(SessionTest, ABatchBuildStepsItsOwnBatchesWhileTheUserEditsThem) {
  testing::TempDir dir;
  const std::string path = dir.file("series.smp");
  voice.settings.duration = "0.1";
  voice.add_point(param::kF0, "Pitch", 1, 0, 100, 100, 50);
  voice.add_point(param::kF0, "Other", 1, 0.05, 120, 120, 30);
  const int16_t pitch = voice.batches.find_batch_id("Pitch");
  voice.batches.find_batch(pitch)->nSteps = 2;
  voice.batches.find_batch(voice.batches.find_batch_id("Other"))->nSteps = 1;
  BatchBuildChoice choice;
  choice.entries = sorted_batch_names(voice.batches);
  choice.combinations = true;
  const auto built = [&] {
    return testing::read_file(path) + testing::read_file(dir.file("series.CSV"));
  };
  session.build_batches(path, choice);
  const std::string unedited = built();
  const tbatchitem left = *voice.batches.find_batch(pitch);
  EXPECT_EQ(left.factor, 1.0);  // the series ran it through
  const uint32_t seed = voice.random.seed;

  bool edited = false;
  build.onEvents = [&] {
    if (std::exchange(edited, true)) return;
    session.apply(std::make_unique<BatchStepsCommand>(pitch, 2, 7));
    session.apply(std::make_unique<RemoveBatchCommand>(voice.batches.find_batch_id("Other")));
    session.apply(add_f0_point(0.02, 400));
  };
  session.build_batches(path, choice);
  ASSERT_TRUE(edited);
  EXPECT_TRUE(built() == unedited);
  // The batches left show the last voice's steps, as after a series built unedited.
  const tbatchitem* after = voice.batches.find_batch(pitch);
  EXPECT_EQ(after->nSteps, 7);
  EXPECT_EQ(after->step, left.step);
  EXPECT_EQ(after->factor, left.factor);
  EXPECT_EQ(after->active, left.active);
  EXPECT_EQ(voice.batches.batch_count(), 1);
  EXPECT_EQ(voice.random.seed, seed);
}

TEST_F(SessionTest, ABuildNeverWritesOverTheOpenDocument) {
  testing::TempDir dir;
  const std::string path = dir.file("saved.vta");
  prompter.fileNames = {path};
  session.document().save_document_as();  // named by the save, not by a load
  const std::string saved = testing::read_file(path);
  try {
    session.build_voice(path);
    ADD_FAILURE() << "the document was built over";
  } catch (const VocantaError& e) {
    EXPECT_NE(std::string(e.what()).find("would overwrite the document " + path),
              std::string::npos);
  }
  EXPECT_EQ(testing::read_file(path), saved);
}

TEST_F(SessionTest, TheUsersDecimalSeparatorReachesTheDocumentAndTheBuilds) {
  testing::TempDir dir;
  session.set_decimal_separator(',');
  voice.settings.gain = "-12,5";
  voice.settings.duration = "0,01";
  const std::string path = dir.file("comma.vta");
  prompter.fileNames = {path};
  session.document().save_document_as();
  EXPECT_NE(testing::read_file(path).find("Gain=-12.5\r\n"), std::string::npos);

  voice.settings.gain = "0";
  session.document().load_document(path);
  EXPECT_EQ(voice.settings.gain, "-12,5");
  session.build_voice(dir.file("v.smp"));
  EXPECT_EQ(session.build_run().settings().samplesPerVoice, 160);
}

TEST_F(SessionTest, AxisLimitsAndBackgroundNamesAreToldButAreNoSteps) {
  testing::ChangeLog log(voice.events);
  session.set_x_limits(param::kF0, {"0", "2"});
  session.set_y_limits(param::kF0, {"50", "300"});
  session.set_background_file(param::kF0, "/p/f0.bmp");
  const Parameter& f0 = voice.parameter(param::kF0);
  EXPECT_EQ(f0.xMax, "2");
  EXPECT_EQ(f0.yMin, "50");
  EXPECT_EQ(f0.backgroundFile, "/p/f0.bmp");
  EXPECT_EQ(log.count(ModelChange::Kind::AxisLimits), 2);
  EXPECT_EQ(log.count(ModelChange::Kind::Background), 1);
  EXPECT_EQ(log.changes.back().index, param::kF0);
  EXPECT_FALSE(log.modified());
  EXPECT_FALSE(session.document().modified());
  EXPECT_EQ(session.history().size(), 0u);
}

}  // namespace
}  // namespace vocanta
