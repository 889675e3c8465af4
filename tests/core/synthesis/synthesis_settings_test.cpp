#include "core/synthesis/synthesis_settings.h"

#include <gtest/gtest.h>

#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

class PrepareRender : public ::testing::Test {
 protected:
  PrepareRender() {
    reset_to_new(voice);
    voice.settings.tweenies = "4";
    voice.settings.randomize = true;
    batch = voice.batches.get_batch("vowel");  // stands active, as a new batch does
  }
  double tweenie_step() const { return voice.parameter(param::kTweenieSpectrum).xGridStep; }
  bool batch_active() const { return voice.batches.find_batch(batch)->active; }

  Voice voice;
  int16_t batch = 0;
};

TEST_F(PrepareRender, RefusedSettingsChangeNothingTheUserSees) {
  const double before = tweenie_step();
  ASSERT_NE(before, tweenie_grid_step(4));
  voice.settings.gain = "loud";
  bool claimed = false;
  try {
    prepare_render(voice, 77, '.', RenderBatches::Off,
                   [&](const SynthesisSettings&) { claimed = true; });
    ADD_FAILURE() << "gain loud accepted";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'loud' is not a valid floating point value");
  }
  EXPECT_FALSE(claimed);
  EXPECT_EQ(tweenie_step(), before);
  EXPECT_TRUE(batch_active());
}

TEST_F(PrepareRender, AVoiceOfNoLengthIsRefusedNamingTheField) {
  const auto refusal = [&](const char* fs, const char* duration) {
    voice.settings.samplingFrequency = fs;
    voice.settings.duration = duration;
    bool claimed = false;
    try {
      prepare_render(voice, 77, ',', RenderBatches::Off,
                     [&](const SynthesisSettings&) { claimed = true; });
    } catch (const VocantaError& e) {
      EXPECT_FALSE(claimed) << fs << " " << duration;
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  // Also rates far above any device's, which no 32-bit number or memory would hold.
  for (const char* fs : {"0", "0,4", "-16000", "768000,6", "2147483647", "1e300"})
    EXPECT_EQ(refusal(fs, "1"),
              std::string("The sampling frequency must be from 1 to 768000 Hz, not ") + fs);
  for (const char* duration : {"0", "-0,5"})
    EXPECT_EQ(refusal("16000", duration),
              std::string("The voice duration must be greater than 0 s, not ") + duration);
  EXPECT_EQ(refusal("0,6", "1"), "accepted");  // one sample at 1 Hz is a voice
  EXPECT_EQ(refusal("768000,4", "0,01"), "accepted");
}

TEST_F(PrepareRender, ADocumentAtARateOutsideTheRangeIsReadButNotBuilt) {
  testing::ScriptedPrompter prompter;
  const ReadResult read = read_document_text(
      voice, '.', "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\nSamplingFrequency=2147483647\r\n",
      "huge.vta", ReadSelection{}, prompter);
  ASSERT_TRUE(read.accepted);
  EXPECT_EQ(voice.settings.samplingFrequency, "2147483647");
  try {
    prepare_render(voice, 77, '.', RenderBatches::Off);
    ADD_FAILURE() << "built at 2147483647 Hz";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "The sampling frequency must be from 1 to 768000 Hz, not 2147483647");
  }
}

TEST_F(PrepareRender, TheDestinationIsClaimedBeforeTheVoiceChanges) {
  const double before = tweenie_step();
  int claims = 0;
  const SynthesisSettings s =
      prepare_render(voice, 77, '.', RenderBatches::Off, [&](const SynthesisSettings& claimed) {
        ++claims;
        EXPECT_EQ(claimed.tweenies, 4);
        EXPECT_EQ(tweenie_step(), before);
        EXPECT_TRUE(batch_active());
      });
  EXPECT_EQ(claims, 1);
  EXPECT_EQ(s.tweenies, 4);
  EXPECT_EQ(voice.tweeniesInUse, 4);
  EXPECT_EQ(tweenie_step(), tweenie_grid_step(4));
  EXPECT_FALSE(batch_active());
  EXPECT_EQ(voice.random.seed, 77u);

  // A batch build's voices keep the batches it stepped; without randomizing the
  // sequence starts at 0.
  voice.batches.activate_all_batches();
  voice.settings.randomize = false;
  prepare_render(voice, 77, '.', RenderBatches::AsStepped);
  EXPECT_TRUE(batch_active());
  EXPECT_EQ(voice.random.seed, 0u);
}

}  // namespace
}  // namespace vocanta
