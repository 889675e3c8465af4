#include <gtest/gtest.h>
#include <sndfile.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/build/batch_build.h"
#include "core/build/build_run.h"
#include "core/model/voice.h"
#include "core/soundfile/audio_file.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

struct AudioRead {
  SF_INFO info{};
  std::vector<short> samples;
  std::vector<uint32_t> cues;
};

AudioRead read_audio(const std::string& path) {
  AudioRead a;
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &a.info);
  if (!f) return a;
  a.samples.resize(static_cast<size_t>(a.info.frames));
  a.samples.resize(static_cast<size_t>(sf_readf_short(f, a.samples.data(), a.info.frames)));
  uint32_t count = 0;
  sf_command(f, SFC_GET_CUE_COUNT, &count, sizeof count);
  std::vector<unsigned char> block(sizeof count + count * sizeof(SF_CUE_POINT));
  if (count > 0 && sf_command(f, SFC_GET_CUE, block.data(), static_cast<int>(block.size())))
    for (uint32_t i = 0; i < count; ++i) {
      SF_CUE_POINT p;
      std::memcpy(&p, block.data() + sizeof count + i * sizeof p, sizeof p);
      a.cues.push_back(p.position);
    }
  sf_close(f);
  return a;
}

std::vector<short> sample_file_samples(const std::string& path) {
  const std::string bytes = testing::read_file(path).substr(1024);
  std::vector<short> s(bytes.size() / 2);
  for (size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<short>(static_cast<uint8_t>(bytes[2 * i]) |
                              static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return s;
}

// A voice with a batch Pitch of three steps on F0; voices of 400 samples at 8000 Hz.
class AudioExportTest : public ::testing::Test {
 protected:
  AudioExportTest() {
    reset_to_new(voice);
    voice.settings.duration = "0.05";
    voice.settings.samplingFrequency = "8000";
    voice.add_point(param::kF0, "Pitch", 1, 0, 150, 300, 100);
    voice.batches.find_batch(voice.batches.find_batch_id("Pitch"))->nSteps = 2;
  }
  void batch(const std::string& name) {
    BatchBuildChoice c;
    c.includeWithout = true;
    c.entries = sorted_batch_names(voice.batches);
    BatchBuild(run, voice.batches, c).build(dir.file(name));
  }

  testing::TempDir dir;
  Voice voice;
  QuietBuildHost host;
  BuildRun run{voice, host};
};

TEST_F(AudioExportTest, EveryFormatHoldsTheSamplesOfTheSampleFile) {
  run.build_voice(dir.file("v.smp"));
  const std::vector<short> expected = sample_file_samples(dir.file("v.smp"));
  ASSERT_EQ(expected.size(), 400u);
  ASSERT_NE(expected, std::vector<short>(400, 0));
  const std::pair<const char*, int> formats[] = {
      {"v.wav", SF_FORMAT_WAV}, {"v.FLAC", SF_FORMAT_FLAC}, {"v.Aiff", SF_FORMAT_AIFF}};
  for (const auto& [name, format] : formats) {
    run.build_voice(dir.file(name));
    EXPECT_EQ(run.outcome(), BuildOutcome::Done) << name;
    const AudioRead a = read_audio(dir.file(name));
    EXPECT_EQ(a.info.format, format | SF_FORMAT_PCM_16) << name;
    EXPECT_EQ(a.info.samplerate, 8000) << name;
    EXPECT_EQ(a.info.channels, 1) << name;
    EXPECT_EQ(a.samples, expected) << name;
  }
  // Only the finished files remain: nothing that was gathered on the way.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST_F(AudioExportTest, ABatchToWavHasACuePointAtEveryStartOfTheLabelFile) {
  batch("b.smp");
  batch("b.wav");
  const AudioRead a = read_audio(dir.file("b.wav"));
  EXPECT_EQ(a.samples, sample_file_samples(dir.file("b.smp")));
  std::istringstream labels(testing::read_file(dir.file("b.CSV")));
  std::string line;
  std::getline(labels, line);
  EXPECT_EQ(line, dir.file("b.wav") + "\r");
  std::vector<uint32_t> starts;
  while (std::getline(labels, line)) starts.push_back(static_cast<uint32_t>(std::stoul(line)));
  EXPECT_EQ(starts, (std::vector<uint32_t>{0, 400, 800, 1200}));
  EXPECT_EQ(a.cues, starts);
}

TEST_F(AudioExportTest, AFailedWriteKeepsTheEarlierFileAndSaysWhy) {
  const std::string path = dir.file("x.wav");
  const std::string reason = "Cannot write to " + path + ": " + std::strerror(EFBIG);
  // The samples do not fit while the build runs; then they fit, but the audio file,
  // a header longer, does not.
  for (const unsigned long limit : {2 * 100ul, 2 * 400ul}) {
    testing::write_file(path, "earlier");
    {
      testing::FileSizeLimit fileLimit(limit);
      run.build_voice(path);
    }
    EXPECT_EQ(run.write_failure(), reason) << limit;
    EXPECT_EQ(run.outcome(), BuildOutcome::NotComplete) << limit;
    EXPECT_EQ(testing::read_file(path), "earlier") << limit;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << limit;
  }
}

TEST(AudioFileLimits, WhatAFormatCannotHoldIsRefusedBeforeWriting) {
  const std::string out = "/nonexistent/x";
  const int64_t wavLimit = (int64_t{0xFFFFFFFF} - 65536) / 2;  // samples a plain WAV holds
  EXPECT_FALSE(wav_needs_rf64(wavLimit));
  EXPECT_TRUE(wav_needs_rf64(wavLimit + 1));
  // Without cue points the large WAV is an RF64; with them it is refused.
  EXPECT_NO_THROW(check_audio_limits(out, AudioFormat::Wav, 8000, int64_t{1} << 40, 0));
  EXPECT_NO_THROW(check_audio_limits(out, AudioFormat::Wav, 8000, wavLimit - 24 * 12, 12));
  const auto refusal = [&](AudioFormat format, int32_t fs, int64_t samples, int64_t cues) {
    try {
      check_audio_limits(out, format, fs, samples, cues);
    } catch (const VocantaError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_NE(
      refusal(AudioFormat::Wav, 8000, wavLimit, 12).find("cannot keep the cue points of its 12"),
      std::string::npos);
  EXPECT_EQ(refusal(AudioFormat::Aiff, 1073741823, 10, 0), "");
  EXPECT_EQ(refusal(AudioFormat::Aiff, 1073741824, 10, 0),
            "Cannot write /nonexistent/x: an AIFF file cannot hold a sampling frequency of "
            "1073741824 Hz (at most 1073741823)");
  EXPECT_EQ(refusal(AudioFormat::Aiff, 8000, (0x7FFFFFFF - 65536) / 2, 0), "");
  EXPECT_NE(refusal(AudioFormat::Aiff, 8000, (0x7FFFFFFF - 65536) / 2 + 1, 0), "");
  EXPECT_EQ(refusal(AudioFormat::Flac, 8000, (int64_t{1} << 36) - 1, 0), "");
  EXPECT_NE(refusal(AudioFormat::Flac, 8000, int64_t{1} << 36, 0), "");
  EXPECT_EQ(refusal(AudioFormat::Flac, 655350, 10, 0), "");
  EXPECT_EQ(refusal(AudioFormat::Flac, 768000, 10, 0),
            "Cannot write /nonexistent/x: a FLAC file cannot hold a sampling frequency of "
            "768000 Hz (at most 655350)");
}

}  // namespace
}  // namespace vocanta
