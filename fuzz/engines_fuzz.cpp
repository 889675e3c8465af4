// Crafted documents through both engines: the first samples of the voice the fast engine
// renders lie within a last bit of the reference's, and at most one of them differs. The
// fast engine keeps its shortcuts to the documents where they give the reference's
// samples; a document that breaks this has found a shortcut taken where it should not be.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/synthesis_settings.h"
#include "core/synthesis/voice_renderer.h"
#include "fuzz_check.h"
#include "fuzz_document.h"

using namespace vocanta;

namespace {

// Enough samples for a steady voice to reach its table (two turns of a 100 Hz voice at
// 16 kHz) and to cross a few of the fast engine's blocks.
constexpr size_t kSamples = 600;
// Rendered a piece at a time that does not fit the engine's blocks.
constexpr size_t kPiece = 100;
// Partial evaluations of the reference beyond which a document is passed over: a voice of
// very many rows is slow, not wrong, and would only time out.
constexpr double kMostWork = 5e7;

std::vector<int16_t> render(Voice& voice, const SynthesisSettings& settings, Engine engine) {
  voice.random.seed = 12345;
  VoiceRenderer renderer(voice, settings, nullptr, engine, 1);
  renderer.start();
  std::vector<int16_t> out(
      static_cast<size_t>(std::min<int64_t>(renderer.samples_left(), kSamples)));
  for (size_t done = 0; done < out.size();) {
    const size_t got = renderer.render(out.data() + done, std::min(kPiece, out.size() - done));
    fuzz::require(got > 0, "a render without a break renders");
    done += got;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Voice voice;
  SynthesisSettings settings;
  try {
    if (!fuzz::read_into(voice, fuzz::as_text(data, size))) return 0;
    settings = read_synthesis_settings(voice, '.');
  } catch (const VocantaError&) {
    return 0;
  }
  const double partials = std::clamp(settings.maxHarmonics, 0, 2048);
  if ((std::max(settings.tweenies, 0) + 1.0) * partials * kSamples > kMostWork) return 0;
  const std::vector<int16_t> reference = render(voice, settings, Engine::Reference);
  const std::vector<int16_t> fast = render(voice, settings, Engine::Fast);
  fuzz::require(fast.size() == reference.size(), "both engines render as many samples");
  size_t differing = 0;
  for (size_t i = 0; i < fast.size(); ++i) {
    const int d = std::abs(fast[i] - reference[i]);
    fuzz::require(d <= 1, "the fast engine lies within a last bit of the reference");
    differing += d != 0;
  }
  fuzz::require(differing <= 1, "at most one sample differs");
  return 0;
}
