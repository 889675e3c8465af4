#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/synthesis/render_break.h"
#include "core/synthesis/synthesis_settings.h"

namespace vocanta {

class Voice;
class VoiceRenderer;

// The current voice rendered for listening: the very samples a plain build would write,
// handed out as the player asks for them rather than into a file. It renders a copy of
// the voice taken at its start, so that it may run on a thread of its own while the
// user edits the voice, and what is heard is one voice from start to end.
class VoiceStream : private RenderBreak {
 public:
  // Reads the settings now, so that refused settings are reported before anything
  // plays; readies the voice as a build does and copies it. seed: the clock seed a
  // randomizing document starts from; decimalSeparator: the one of the settings texts.
  VoiceStream(Voice& voice, uint32_t seed, char decimalSeparator);
  ~VoiceStream() override;
  VoiceStream(const VoiceStream&) = delete;
  VoiceStream& operator=(const VoiceStream&) = delete;

  int32_t sampling_frequency() const { return settings_.fs; }
  int64_t length() const { return settings_.samplesPerVoice; }
  // Renders the next samples into out[0..), at most count; 0 once the voice is over.
  size_t render(int16_t* out, size_t count);
  bool done() const;
  bool clipped() const;
  // From any thread: a render under way gives up within a few partials, and no sample
  // comes any more; for a stop that must not wait for a slow voice.
  void interrupt() { interrupted_ = true; }

 private:
  Answer break_now(double) override { return interrupted_ ? Answer::kStop : Answer::kGoOn; }

  std::atomic<bool> interrupted_ = false;
  SynthesisSettings settings_;
  std::unique_ptr<Voice> voice_;
  std::unique_ptr<VoiceRenderer> renderer_;  // after voice_: it renders that
};

}  // namespace vocanta
