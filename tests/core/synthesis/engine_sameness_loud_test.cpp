// Partials far louder than full scale: the voice clips but near its zero crossings, and
// there a sum with an error of a fixed fraction of its partials' size misses the
// reference's samples by several last bits. The fast engine must sum them as the
// reference does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/voice.h"
#include "core/synthesis/engine_sameness.h"

namespace vocanta {
namespace {

using namespace param;
using sameness::VoiceMaker;

// At most one last bit apart, in at most one sample in 10,000: a clipped voice cannot
// meet expect_same, which wants every sample free to differ.
void expect_within_tolerance(Voice& voice, const std::string& what) {
  sameness::Tally t;
  sameness::count(sameness::render(voice, Engine::Reference), sameness::render(voice, Engine::Fast),
                  t);
  EXPECT_GT(t.clipped, t.samples / 2) << what << ": the voice should clip";
  EXPECT_LE(t.largest, 1) << what;
  EXPECT_LE(t.differing * 10000, t.samples) << what << ": " << t.differing << " differ";
}

TEST(EngineSameness, PartialsFarAboveFullScaleSumAsTheReferenceSumsThem) {
  for (const double dB : {200.0, 230.0}) {
    // A phase curve keeps the polynomials from a sum they could take by rotation alone.
    VoiceMaker loud(16000, 0.5, 1000, 0, -20);
    loud.at(kHarmonicSpectrum, 1, dB).at(kHarmonicSpectrum, 2, -6).at(kPhase, 1, 90);
    expect_within_tolerance(loud.voice, "polynomials, " + std::to_string(dB) + " dB");
    // A step in the response sends the samples to the general form.
    VoiceMaker stepped(16000, 0.5, 1000, 0, -20);
    stepped.at(kHarmonicSpectrum, 1, dB).at(kHarmonicSpectrum, 2, -6).at(kPhase, 1, 90);
    stepped.step(kFrequencyResponse, 1000, 0, -6);
    expect_within_tolerance(stepped.voice, "general form, " + std::to_string(dB) + " dB");
  }
}

}  // namespace
}  // namespace vocanta
