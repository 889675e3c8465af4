#include "core/document/document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

using testing::ScriptedPrompter;
using testing::TempDir;

std::string lines(std::initializer_list<std::string> ls) {
  std::string out;
  for (const std::string& l : ls) out += l + "\r\n";
  return out;
}

// A voice that touches every section: settings, two batches, defaults needing
// scientific notation, backgrounds, a batch point and two formant curves.
void fill_voice(Voice& voice) {
  reset_to_new(voice);
  voice.settings = {"-12.5", "44100", "2", "500", "3", true};
  voice.add_point(param::kF0, "", 1, 0, 100, 100, 0);
  voice.add_point(param::kF0, "vib", 1, 0.5, 120, 110, 20);
  voice.add_point(param::kF0, "", 1, 1.25, 1e-5, 2.5e20, -3);
  voice.batches.find_batch(voice.batches.find_batch_id("Vib"))->nSteps = 4;
  voice.batches.get_batch("LOUDNESS");
  voice.add_point(param::kFormants, "", 1, 0, 700, 700, 0);
  voice.add_point(param::kFormants, "", 2, 2, 1300, 1300, 0);
  voice.add_point(param::kFormants, "", 2, 0, 1200, 1200, 0);
  voice.parameter(param::kNoiseLevel).state.defaultValue = 1e-20;
  voice.parameter(param::kF0).backgroundFile = "/pics/f0.bmp";
  voice.parameter(param::kPhase).backgroundFile = "/pics/phase.wmf";
}

TEST(Document, WritesTheFixedLayout) {
  TempDir dir;
  Voice voice;
  fill_voice(voice);
  write_document(voice, '.', dir.file("v.vta"));

  const std::string expected = lines({
      "[Common]",
      "Filetype=Vocanta",
      "Version=3.0",
      "Gain=-12.5",
      "SamplingFrequency=44100",
      "TotalDuration=2",
      "MaxHarmonincs=500",
      "nTweenies=3",
      "Randomize=1",
      "[BatchSteps]",
      "Loudness=0",
      "Vib=4",
      "[Defaults]",
      "OverAllLevel=0",
      "HarmonicLevel=0",
      "SubharmonicContent=-100",
      "NoiseLevel=1E-20",
      "F0=100",
      "F0factor=1",
      "VibratoFrequency=7",
      "VibratoAmplitude=0",
      "FlutterAmplitude=0",
      "FlutterFrequency=4",
      "FlutterQ=0.707",
      "SpectralTilt=-6",
      "IndividualHarmonics=0",
      "SubHarmonicSpectrum=0",
      "TweenieSpectrum=0",
      "FrequencyResponse=0",
      "Formant=0",
      "Formantfactor=1",
      "FormantBW=100",
      "Phase=0",
      "PhaseRandomness=0",
      "SubPhase=0",
      "SubPhaseRandomness=0",
      // Created by the first background, before that parameter's own curve section.
      "[Backgrounds]",
      "F0=/pics/f0.bmp",
      "Phase=/pics/phase.wmf",
      "[F0]",
      "0=100;100;0;",
      "0.5=120;110;20;Vib",
      "1.25=1E-5;2.5E20;-3;",
      "[Formant_1]",
      "0=700;700;0;",
      "[Formant_2]",
      "0=1200;1200;0;",
      "2=1300;1300;0;",
  });
  EXPECT_EQ(testing::read_file(dir.file("v.vta")), expected);
}

TEST(Document, ReadsBackWhatItWrote) {
  TempDir dir;
  Voice voice;
  fill_voice(voice);
  voice.settings.gain = "-12,5";
  ScriptedPrompter prompter;
  write_document(voice, ',', dir.file("a.vta"));

  Voice copy;
  reset_to_new(copy);
  testing::ChangeLog log(copy.events);
  const ReadResult r = read_document(copy, ',', dir.file("a.vta"), {}, prompter);
  ASSERT_TRUE(r.accepted);
  EXPECT_FALSE(r.versionDiffered);
  EXPECT_EQ(copy.settings.gain, "-12,5");
  EXPECT_EQ(copy.settings.duration, "2");
  EXPECT_TRUE(copy.settings.randomize);
  EXPECT_EQ(copy.tweeniesInUse, 3);
  EXPECT_DOUBLE_EQ(copy.parameter(param::kTweenieSpectrum).xGridStep, 0.25);
  EXPECT_EQ(copy.parameter(param::kF0).xMax, "2");
  EXPECT_EQ(copy.parameter(param::kFrequencyResponse).xMax, "8000");  // not a time axis
  EXPECT_EQ(copy.batches.batch_count(), 2);
  EXPECT_EQ(copy.batches.find_batch(copy.batches.find_batch_id("vib"))->nSteps, 4);
  EXPECT_EQ(copy.parameter(param::kNoiseLevel).state.defaultValue, 1e-20);
  // The windows load the pictures the document names.
  EXPECT_EQ(r.backgrounds, (std::vector<std::pair<int, std::string>>{
                               {param::kF0, "/pics/f0.bmp"}, {param::kPhase, "/pics/phase.wmf"}}));
  for (const auto& [index, name] : r.backgrounds) copy.parameter(index).backgroundFile = name;
  EXPECT_EQ(curve_count(copy.parameter(param::kFormants).state), 2);
  const TCurvePoint* p = copy.parameter(param::kF0).state.curves->points->next;
  EXPECT_EQ(p->batchY, 110);
  EXPECT_EQ(copy.batches.batch_name(p->batch), "Vib");
  // The y range widens to the lowest and highest values the points take.
  EXPECT_EQ(copy.parameter(param::kF0).yMin, "0");
  EXPECT_EQ(copy.parameter(param::kF0).yMax, "250000000000000000000,000");
  EXPECT_EQ(copy.parameter(param::kFormants).yMax, "5000");
  // Points were added (the lifecycle clears the flag after a matching open), and the
  // windows hear of the whole read once.
  EXPECT_TRUE(log.modified());
  EXPECT_EQ(log.count(ModelChange::Kind::Everything), 1);
  EXPECT_EQ(log.changes.size(), 1u);

  // Reading puts each batch at the head of the chain, so every generation lists the
  // batches in the reverse order of the one before; all else stays byte for byte.
  write_document(copy, ',', dir.file("b.vta"));
  const std::string b = testing::read_file(dir.file("b.vta"));
  EXPECT_NE(b.find("[BatchSteps]\r\nVib=4\r\nLoudness=0\r\n"), std::string::npos);
  Voice third;
  reset_to_new(third);
  const ReadResult again = read_document(third, ',', dir.file("b.vta"), {}, prompter);
  ASSERT_TRUE(again.accepted);
  for (const auto& [index, name] : again.backgrounds) third.parameter(index).backgroundFile = name;
  write_document(third, ',', dir.file("c.vta"));
  EXPECT_EQ(testing::read_file(dir.file("c.vta")), testing::read_file(dir.file("a.vta")));
}

class DocumentReading : public ::testing::Test {
 protected:
  DocumentReading() { reset_to_new(voice); }

  ReadResult read(const std::string& text, ReadSelection selection = {}) {
    testing::write_file(dir.file("d.vta"), text);
    return read_document(voice, '.', dir.file("d.vta"), selection, prompter);
  }

  TempDir dir;
  Voice voice;
  ScriptedPrompter prompter;
};

TEST_F(DocumentReading, RefusesMissingAndForeignFilesAndAsksAboutVersions) {
  EXPECT_FALSE(read_document(voice, '.', dir.file("none.vta"), {}, prompter).accepted);
  EXPECT_EQ(prompter.shown.back(), dir.file("none.vta") + " does not exist");
  // A FIFO is not opened: that would wait for a writer.
  const std::string fifo = dir.file("fifo.vta");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(20);  // should the read wait after all, the test fails instead of hanging
  for (const std::string& odd : {dir.path().string(), fifo}) {
    EXPECT_FALSE(read_document(voice, '.', odd, {}, prompter).accepted);
    EXPECT_EQ(prompter.shown.back(), odd + " is not a file");
  }
  alarm(0);

  EXPECT_FALSE(read("[Common]\nFileType=vocanta\nVersion=3.0\nGain=-3\n").accepted);
  EXPECT_EQ(prompter.shown.back(), dir.file("d.vta") + " is not an Vocanta file");
  EXPECT_EQ(voice.settings.gain, "-20");

  prompter.answers = {Answer::No};
  EXPECT_FALSE(read("[common]\nfiletype=Vocanta\nGain=-3\n").accepted);
  EXPECT_EQ(prompter.shown.back(), dir.file("d.vta") +
                                       " version () does not match this Vocanta version (3.0)"
                                       " Try anyway?");
  EXPECT_EQ(voice.settings.gain, "-20");

  prompter.answers = {Answer::No};
  read("[common]\nfiletype=Vocanta\nVersion=" + std::string(100, 'v') + "\n");
  EXPECT_EQ(prompter.shown.back(), dir.file("d.vta") + " version (" + std::string(60, 'v') +
                                       "\u2026) does not match this Vocanta version (3.0)"
                                       " Try anyway?");

  prompter.answers = {Answer::Yes};
  const ReadResult r = read("[common]\nfiletype=Vocanta\nVersion=2.0\nGain=-3\n");
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.versionDiffered);
  EXPECT_EQ(voice.settings.gain, "-3");
}

TEST_F(DocumentReading, AppliesDefaultsAndReportsBadNumbers) {
  const std::string head = "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n";
  ASSERT_TRUE(read(head + "nTweenies=abc\r\n").accepted);
  EXPECT_EQ(voice.settings.gain, "-20");
  EXPECT_EQ(voice.settings.samplingFrequency, "16000");
  EXPECT_EQ(voice.settings.tweenies, "abc");  // complained about at the next build
  EXPECT_EQ(voice.tweeniesInUse, 1);
  EXPECT_TRUE(voice.settings.randomize);

  try {
    read(head + "Gain=\r\n");
    FAIL() << "an empty gain must not be read";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "Cannot convert empty string to number");
  }
  try {
    read(head + "[F0]\r\n0.5=\r\n");
    FAIL() << "an empty point must not be read";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "Cannot convert empty string to number");
  }
  try {
    read(head + "[BatchSteps]\r\nVowel=many\r\n");
    FAIL() << "a step count must be a whole number";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'many' is not a valid integer value");
  }
}

TEST_F(DocumentReading, RefusesBatchNamesADocumentCannotKeepNamingTheEntry) {
  const std::string head = "[Common]\r\nFiletype=Vocanta\r\nVersion=3.0\r\n";
  const struct {
    std::string text, message;
  } cases[] = {
      {std::string("[BatchSteps]\r\nA\0b=1\r\n", 22),
       "Section [BatchSteps], entry 'A\\0b': 'A\\0b' cannot be a batch name: it holds a NUL "
       "character"},
      {"[F0]\r\n0=100\r\n0.5=120;120;0; Vib\r\n",
       "Section [F0], entry '0.5': ' Vib' cannot be a batch name: blanks at its ends would be "
       "lost in the document"},
      {"[F0]\r\n0=100\r\n0.5=120;120;0;a=b\r\n",
       "Section [F0], entry '0.5': 'a=b' cannot be a batch name: \"=\" ends the name of a "
       "document entry"},
  };
  for (const auto& [text, message] : cases) {
    try {
      read(head + text);
      ADD_FAILURE() << text << " was read";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
  // The point before the refused one stays, as with any entry that cannot be read.
  const TCurve* f0 = voice.parameter(param::kF0).state.curves;
  ASSERT_NE(f0, nullptr);
  EXPECT_EQ(f0->point_count(), 1);
  EXPECT_EQ(f0->points->y, 100);
}

TEST_F(DocumentReading, ReadsPointsFormantsAndOlderBandwidths) {
  ASSERT_TRUE(read("[Common]\nFiletype=Vocanta\nVersion=3.0\n"
                   "[BatchSteps]\nVowel=3\n"
                   "[Defaults]\nFormantBWa=50\nFormantBWb=0.1\n"
                   "[F0]\n1E-5=120\n0.5=;5;7;\n0.7=120;10;vowel\n"
                   "[Formant_1]\n0=700\n[Formant_3]\n0=2500\n[NoiseLevel]\n0=-80.0005\n1=-10\n")
                  .accepted);
  EXPECT_EQ(voice.batches.batch_count(), 1);
  const CurveState& f0 = voice.parameter(param::kF0).state;
  const TCurvePoint* p = f0.curves->points;
  EXPECT_EQ(p->x, 0.00001);
  EXPECT_EQ(p->y, 120);
  EXPECT_EQ(p->batchY, 120);
  EXPECT_EQ(p->next->y, 0);
  EXPECT_EQ(p->next->batchY, 5);
  EXPECT_EQ(p->next->batchRange, 7);
  EXPECT_EQ(p->next->batch, 0);
  EXPECT_EQ(p->next->next->batch, voice.batches.find_batch_id("Vowel"));
  EXPECT_EQ(voice.batches.find_batch(p->next->next->batch)->nSteps, 3);
  // Formant_2 is missing, so Formant_3 is never reached.
  EXPECT_EQ(curve_count(voice.parameter(param::kFormants).state), 1);

  const TCurvePoint* bw = voice.parameter(param::kFormantBandwidth).state.curves->points;
  EXPECT_EQ(bw->x, 0);
  EXPECT_EQ(bw->y, 50);
  EXPECT_EQ(bw->next->x, 8000);
  EXPECT_EQ(bw->next->y, 850);
  EXPECT_EQ(voice.parameter(param::kF0).yMin, "0");  // 0 is inside the range already
  EXPECT_EQ(voice.parameter(param::kNoiseLevel).yMin, "-80.001");
  EXPECT_EQ(voice.parameter(param::kNoiseLevel).yMax, "0");
}

TEST_F(DocumentReading, OlderBandwidthsNeedBothCoefficients) {
  const std::string head = "[Common]\nFiletype=Vocanta\nVersion=3.0\n[Defaults]\n";
  for (const char* one : {"FormantBWa=50\n", "FormantBWb=0.1\n", "FormantBWa=50\nFormantBWb=0\n"}) {
    ASSERT_TRUE(read(head + one + "[FormantBW]\n0=80\n").accepted);
    const TCurvePoint* bw = voice.parameter(param::kFormantBandwidth).state.curves->points;
    EXPECT_EQ(bw->y, 80) << one;
    EXPECT_EQ(bw->next, nullptr) << one;
  }
  try {
    read(head + "FormantBWa=1e308\nFormantBWb=1e306\n");
    FAIL() << "a bandwidth beyond the largest number was read";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(),
                 "FormantBWa=1E308 and FormantBWb=1E306 give a formant bandwidth beyond the "
                 "largest number");
  }
}

TEST_F(DocumentReading, PartialReadTakesOnlyTheChosenParts) {
  voice.batches.get_batch("Kept");
  voice.add_point(param::kNoiseLevel, "", 1, 0, -30, -30, 0);
  ReadSelection only;
  only.everything = false;
  only.parameters[param::kF0] = true;
  ASSERT_TRUE(read("[Common]\nFiletype=Vocanta\nVersion=3.0\nGain=-1\n"
                   "[BatchSteps]\nOther=2\n[Defaults]\nFormantBWa=50\nFormantBWb=0.1\n"
                   "[F0]\n0=90;90;0;Fresh\n[NoiseLevel]\n0=-10\n",
                   only)
                  .accepted);
  EXPECT_EQ(voice.settings.gain, "-20");
  EXPECT_NE(voice.batches.find_batch_id("Kept"), 0);
  EXPECT_EQ(voice.batches.find_batch_id("Other"), 0);
  EXPECT_NE(voice.batches.find_batch_id("Fresh"), 0);
  EXPECT_EQ(voice.parameter(param::kNoiseLevel).state.curves->points->y, -30);
  EXPECT_EQ(voice.parameter(param::kFormantBandwidth).state.curves, nullptr);
}

TEST(DocumentWriting, BadSettingsLeaveThePreviousFileUntouched) {
  TempDir dir;
  Voice voice;
  reset_to_new(voice);
  ScriptedPrompter prompter;
  testing::write_file(dir.file("keep.vta"), "old");
  voice.settings.duration = "abc";
  try {
    write_document(voice, '.', dir.file("keep.vta"));
    FAIL() << "a bad duration must stop the save";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(testing::read_file(dir.file("keep.vta")), "old");

  voice.settings.duration = "1";
  // "INF" or "NAN" would make the reader refuse the whole document.
  TCurvePoint* p = voice.add_point(param::kF0, "", 1, 0.5, 100, 100, 0);
  for (double bad : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    p->batchRange = bad;
    try {
      write_document(voice, '.', dir.file("keep.vta"));
      ADD_FAILURE() << bad << " was written";
    } catch (const VocantaError& e) {
      EXPECT_EQ(e.what(),
                "F0 holds the value " + format_number(bad) + ", which a document cannot keep");
    }
  }
  EXPECT_EQ(testing::read_file(dir.file("keep.vta")), "old");
  p->batchRange = 0;
  // The whole-number settings are written as typed, but for what the reader would lose.
  voice.settings.tweenies = " 3\t";
  EXPECT_NE(compose_document(voice, '.').find("\r\nnTweenies=3\r\n"), std::string::npos);
  voice.settings.maxHarmonics = "10\n[F0]";
  try {
    write_document(voice, '.', dir.file("keep.vta"));
    FAIL() << "a line break in the settings was written";
  } catch (const VocantaError& e) {
    EXPECT_STREQ(e.what(), "'10\\n[F0]' is not a valid integer value");
  }
  EXPECT_EQ(testing::read_file(dir.file("keep.vta")), "old");
  voice.settings.maxHarmonics = "1000";

  const std::string missing = dir.file("no/such/folder/x.vta");
  try {
    write_document(voice, '.', missing);
    FAIL() << "writing into a missing folder must fail";
  } catch (const VocantaError& e) {
    EXPECT_EQ(e.what(), "Unable to write to " + missing + ": " + std::strerror(ENOENT));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace vocanta
