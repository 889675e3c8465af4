#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "core/model/parameter_table.h"
#include "core/model/voice.h"
#include "core/synthesis/synthesis_settings.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

int threads_of_this_process() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  return -1;
}

// The threads a renderer of a voice of this duration has started beside the caller's
// once it rendered its first block; general: with a step in the response, which the
// polynomials leave to the general form.
int renderer_threads(const std::string& duration, int threads = 0, bool general = false) {
  Voice voice;
  reset_to_new(voice);
  voice.settings.duration = duration;
  if (general) {
    voice.add_point(param::kFrequencyResponse, "", 1, 1000, 0, 0, 0);
    voice.add_point(param::kFrequencyResponse, "", 1, 1000, -6, -6, 0);
  }
  const SynthesisSettings settings = read_synthesis_settings(voice, '.');
  const int before = threads_of_this_process();
  VoiceRenderer renderer(voice, settings, nullptr, Engine::Fast, threads);
  renderer.start();
  int16_t block[1024];
  renderer.render(block, 1024);
  return threads_of_this_process() - before;
}

TEST(RendererThreads, OnlyALongVoiceInTheGeneralFormStartsASecondThread) {
  if (std::thread::hardware_concurrency() < 2 || render_threads() < 2)
    GTEST_SKIP() << "one thread here";
  ASSERT_GT(threads_of_this_process(), 0);
  // The new voice renders at 16 kHz: 0.1 s is 1,600 samples, 1 s 16,000.
  EXPECT_EQ(renderer_threads("0.0001", 0, true), 0);
  EXPECT_EQ(renderer_threads("0.1", 0, true), 0);
  EXPECT_EQ(renderer_threads("1", 0, true), 1);
  // Polynomials take a voice on the caller's thread, however long.
  EXPECT_EQ(renderer_threads("1"), 0);
  // Told to keep to one, a long voice does too.
  EXPECT_EQ(renderer_threads("1", 1, true), 0);
}

}  // namespace
}  // namespace vocanta
