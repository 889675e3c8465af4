#include <gtest/gtest.h>

#include <cstdint>

#include "synthesis/build_run.h"
#include "synthesis/voice.h"
#include "test_support.h"

namespace vocanta {
namespace {

std::vector<int16_t> samples_of(const std::string& bytes) {
  std::vector<int16_t> out;
  for (size_t i = 1024; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<int16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8));
  return out;
}

TEST(RenderVoice, DefaultVoiceStartsWithTheKnownSamples) {
  testing::TempDir dir;
  Voice voice;
  reset_to_new(voice);
  QuietBuildHost host;
  BuildRun run(voice, host);
  run.build_voice(dir.file("v.smp"));
  const std::string bytes = testing::read_file(dir.file("v.smp"));
  ASSERT_EQ(bytes.size(), 1024u + 32000u);
  const auto s = samples_of(bytes);
  EXPECT_EQ(s[0], 5554);
  EXPECT_EQ(s[1], 4163);
  EXPECT_EQ(s[2], 4878);

  voice.settings.maxHarmonics = "1";
  run.build_voice(dir.file("one.smp"));
  const auto one = samples_of(testing::read_file(dir.file("one.smp")));
  EXPECT_EQ(one[0], 118);
  EXPECT_EQ(one[1], 235);
  EXPECT_EQ(one[2], 353);
  EXPECT_EQ(run.outcome(), "Done!");
}

}  // namespace
}  // namespace vocanta
