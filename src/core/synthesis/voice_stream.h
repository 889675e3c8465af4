#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/synthesis/synthesis_settings.h"

namespace vocanta {

class Voice;
class VoiceRenderer;

// The current voice rendered for listening: the very samples a plain build would write,
// handed out as the player asks for them rather than into a file.
class VoiceStream {
 public:
  // Reads the settings now, so that refused settings are reported before anything
  // plays. seed: the clock seed a randomizing document starts from; decimalSeparator:
  // the one of the settings texts.
  VoiceStream(Voice& voice, uint32_t seed, char decimalSeparator);
  ~VoiceStream();
  VoiceStream(const VoiceStream&) = delete;
  VoiceStream& operator=(const VoiceStream&) = delete;

  int32_t sampling_frequency() const { return settings_.fs; }
  int64_t length() const { return settings_.samplesPerVoice; }
  // Renders the next samples into out[0..), at most count; 0 once the voice is over.
  size_t render(int16_t* out, size_t count);
  bool done() const;
  bool clipped() const;

 private:
  SynthesisSettings settings_;
  std::unique_ptr<VoiceRenderer> renderer_;
};

}  // namespace vocanta
