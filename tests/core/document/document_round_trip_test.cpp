#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

// Voices such as the program can come to hold, drawn from a fixed seed: odd and extreme
// numbers, hostile batch names, settings as typed.
class VoiceMaker {
 public:
  void fill(Voice& voice) {
    reset_to_new(voice);
    separator = coin() ? '.' : ',';
    BuildSettings& s = voice.settings;
    s.gain = format_number(number(), separator);
    s.samplingFrequency = " " + format_number(pick<double>({16000, 44100, 8000.5}), separator);
    s.duration = format_number(number(), separator);
    s.maxHarmonics = pick<std::string>({"1000", " 20", "abc", "", "x;y=z", "7\t"});
    s.tweenies = pick<std::string>({"1", "3 ", "-2", "", "many"});
    s.randomize = coin();
    for (int i = below(4); i > 0; --i) made(voice.batches, name());
    for (tbatchitem* b = voice.batches.head(); b; b = b->next)
      b->nSteps = static_cast<int16_t>(below(65536) - 32768);
    for (int i = below(6); i > 0; --i) add_curve(voice, below(kParameterCount));
    for (int i = below(3); i > 0; --i)
      voice.parameter(below(kParameterCount)).state.defaultValue = number();
    if (coin()) voice.parameter(below(kParameterCount)).backgroundFile = "/pics/a b.bmp";
  }

  // The decimal separator the last voice's settings were typed with.
  char separator = '.';
  int madeNames = 0;
  int refusedNames = 0;

 private:
  void add_curve(Voice& voice, int index) {
    const Parameter& p = voice.parameter(index);
    // Curves are numbered 1, 2, ... without gaps.
    const int16_t curve =
        static_cast<int16_t>(p.multiCurve ? 1 + below(curve_count(p.state) + 1) : 1);
    std::vector<double> xs;
    for (int i = below(30); i > 0; --i) {
      // Some points share an x, or give the same text for theirs.
      const double x = !xs.empty() && coin() ? xs[below(static_cast<int>(xs.size()))] : number();
      xs.push_back(x);
      std::string batch = coin() ? "" : name();
      if (!batch.empty() && !made(voice.batches, batch)) batch.clear();
      voice.add_point(index, batch, curve, x, number(), number(), number());
    }
  }

  bool made(BatchList& batches, const std::string& name) {
    try {
      batches.get_batch(name);
      ++madeNames;
      return true;
    } catch (const VocantaError&) {
      ++refusedNames;
      return false;
    }
  }

  double number() {
    switch (below(4)) {
      case 0:
        return pick<double>({0.0, -0.0, std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(), 1.7976931348623149e308,
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(), 1e15, 999999999999999.5,
                             1e-4, 9.99999999999999e-5, 0.1 + 0.2, 1.0 / 3, -2.5e-310});
      case 1: {
        // Any finite bit pattern.
        for (;;) {
          const uint64_t bits = rng_();
          double v;
          std::memcpy(&v, &bits, sizeof v);
          if (std::isfinite(v)) return v;
        }
      }
      case 2:
        return std::ldexp(unit_(rng_) - 0.5, below(80) - 40);
      default:
        return below(2001) - 1000;
    }
  }

  std::string name() {
    static const char* const pieces[] = {
        "a",      "Z",      "\u00e4", "\u00c4", "\u00ff", "\u0178", "\u0131", "\u0130", "\u00df",
        "\u03c2", "\u03a3", "\u0450", "\u0400", "\u0138", "\u0149", "\u017f", " ",      "\t",
        "=",      "[",      "]",      ";",      "\r",     "\n",     "\xC3",   "\xFF",   "\xC0\x80"};
    std::string s;
    const int length = below(10) == 0 ? 250 + below(10) : below(8);
    for (int i = 0; i < length; ++i) s += pieces[below(std::size(pieces))];
    if (below(8) == 0) s.insert(s.begin() + below(static_cast<int>(s.size()) + 1), '\0');
    return s;
  }

  bool coin() { return below(2) == 0; }
  int below(int n) { return static_cast<int>(rng_() % static_cast<uint64_t>(n)); }
  template <typename T>
  T pick(std::initializer_list<T> choices) {
    return choices.begin()[below(static_cast<int>(choices.size()))];
  }

  std::mt19937_64 rng_{20240611};
  std::uniform_real_distribution<double> unit_{0, 1};
};

// Reading puts each batch at the head of the chain: the next generation lists the
// "BatchSteps" entries the other way round.
std::string with_batch_steps_reversed(const std::string& text) {
  const std::string header = "[BatchSteps]\r\n";
  const size_t from = text.find(header);
  if (from == std::string::npos) return text;
  const size_t begin = from + header.size();
  const size_t end = text.find("\r\n[", begin) + 2;
  std::vector<std::string> entries;
  for (size_t at = begin; at < end;) {
    const size_t next = text.find("\r\n", at) + 2;
    entries.push_back(text.substr(at, next - at));
    at = next;
  }
  std::string out = text.substr(0, begin);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) out += *e;
  return out + text.substr(end);
}

std::string read_and_write(const std::string& text, char separator, const std::string& path) {
  testing::write_file(path, text);
  Voice voice;
  reset_to_new(voice);
  testing::ScriptedPrompter prompter;
  ReadResult read;
  try {
    read = read_document(voice, separator, path, {}, prompter);
  } catch (const VocantaError& e) {
    ADD_FAILURE() << "reading what was written failed: " << e.what();
    return {};
  }
  EXPECT_TRUE(read.accepted);
  EXPECT_TRUE(prompter.shown.empty());
  for (const auto& [index, name] : read.backgrounds) voice.parameter(index).backgroundFile = name;
  return compose_document(voice, separator);
}

TEST(DocumentRoundTrip, WhatIsWrittenReadsBackToTheSameDocument) {
  testing::TempDir dir;
  VoiceMaker maker;
  for (int round = 0; round < 60; ++round) {
    Voice voice;
    maker.fill(voice);
    const std::string first = compose_document(voice, maker.separator);
    const std::string second = read_and_write(first, maker.separator, dir.file("a.vta"));
    ASSERT_EQ(second, with_batch_steps_reversed(first)) << "round " << round;
    ASSERT_EQ(read_and_write(second, maker.separator, dir.file("b.vta")), first);
  }
  // The names met both fates often enough for the check to mean something.
  EXPECT_GT(maker.madeNames, 100);
  EXPECT_GT(maker.refusedNames, 100);
}

}  // namespace
}  // namespace vocanta
