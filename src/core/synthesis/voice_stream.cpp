#include "core/synthesis/voice_stream.h"

#include "core/model/voice.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {

VoiceStream::VoiceStream(Voice& voice, uint32_t seed, char decimalSeparator) {
  // The same preparation as a plain build, so that what is heard is what is built.
  voice.batches.deactivate_batches();
  voice.random.seed = voice.settings.randomize ? seed : 0;
  settings_ = read_synthesis_settings(voice, decimalSeparator);
  use_tweenie_count(voice, settings_.tweenies);
  renderer_ = std::make_unique<VoiceRenderer>(voice, settings_, nullptr, Engine::Fast);
  renderer_->start();
}

VoiceStream::~VoiceStream() = default;

size_t VoiceStream::render(int16_t* out, size_t count) {
  return renderer_->render(out, count);
}

bool VoiceStream::done() const {
  return renderer_->samples_left() <= 0;
}

bool VoiceStream::clipped() const {
  return renderer_->clipped();
}

}  // namespace vocanta
