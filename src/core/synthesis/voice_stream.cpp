#include "core/synthesis/voice_stream.h"

#include "core/model/voice.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {

VoiceStream::VoiceStream(Voice& voice, uint32_t seed, char decimalSeparator) {
  settings_ = prepare_render(voice, seed, decimalSeparator, RenderBatches::Off);
  voice_ = copy_voice(voice);
  RenderBreak* check = this;
  renderer_ = std::make_unique<VoiceRenderer>(*voice_, settings_, check, Engine::Fast);
  renderer_->start();
}

VoiceStream::~VoiceStream() = default;

size_t VoiceStream::render(int16_t* out, size_t count) {
  if (interrupted_) return 0;
  return renderer_->render(out, count);
}

bool VoiceStream::done() const {
  return renderer_->samples_left() <= 0;
}

bool VoiceStream::clipped() const {
  return renderer_->clipped();
}

}  // namespace vocanta
