// A series on several threads: they render the voices ahead, and the build writes them
// in series order on its own thread, where progress, breaks and the host live.
#include <algorithm>
#include <chrono>

#include "core/build/build_run.h"
#include "core/build/series_jobs.h"
#include "core/model/voice.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

// How long the build waits for a piece before it shows progress and looks for a break.
constexpr std::chrono::milliseconds kPieceWait{20};
// Samples per block, as the threads render them.
constexpr size_t kBlock = 1024;
// The most threads a build starts, whatever it is told.
constexpr int kMostJobs = 256;

}  // namespace

int BuildRun::jobs() const {
  return std::clamp(jobs_ > 0 ? jobs_ : default_jobs(), 1, kMostJobs);
}

std::unique_ptr<SeriesJobs> BuildRun::series_jobs(const BatchBuildChoice& choice,
                                                  VoiceRange range) {
  if (!running_ || !series_ || jobs() < 2 || range.size() < 2) return nullptr;
  SeriesJobSettings settings{destination_,      rendered_->random.seed, engine_,
                             decimalSeparator_, levelTarget_,           levelMemory_};
  return std::make_unique<SeriesJobs>(*rendered_, choice, range, jobs(), settings_.samplesPerVoice,
                                      std::move(settings));
}

void BuildRun::write_supplied(const std::string& label) {
  const int64_t start = samplesInFile_;
  if (recordTracks_) tracks_.record(*rendered_, start, settings_.samplesPerVoice);
  voiceGain_.reset();
  VoicePiece piece;
  bool more = true;
  while (more && !cut_short()) {
    if (supply_->take(piece, kPieceWait))
      more = write_piece(piece, start, label);
    else
      show_progress(voice_seconds(start));
  }
  // A break or a full destination: the threads stop where they are, and the voice ends
  // where its samples in the file end, as on one thread.
  if (more) supply_->stop();
  sink_->voice_done(start, samplesInFile_ - start, label);
}

double BuildRun::voice_seconds(int64_t start) const {
  return static_cast<double>(std::max<int64_t>(samplesInFile_ - start - 1, 0)) / settings_.fs;
}

bool BuildRun::write_piece(VoicePiece& piece, int64_t start, const std::string& label) {
  switch (piece.kind) {
    case VoicePiece::Kind::Samples:
      // Block by block, as the voice was rendered: a break comes between the same blocks
      // as on one thread.
      for (size_t at = 0; at < piece.samples.size() && !cut_short(); at += kBlock) {
        const size_t count = std::min(kBlock, piece.samples.size() - at);
        samplesComputed_ += static_cast<int64_t>(count);
        store(piece.samples.data() + at, count);
        show_progress(voice_seconds(start));
      }
      return true;
    case VoicePiece::Kind::Overload:
      if (overloadState_ != OverloadState::Clipped) set_overload_state(OverloadState::Clipped);
      host_.voice_overload(label, piece.clipped, piece.gainDb);
      return true;
    case VoicePiece::Kind::Clipped:
      if (overloadState_ != OverloadState::Clipped) set_overload_state(OverloadState::Clipped);
      return true;
    case VoicePiece::Kind::End:
      voiceGain_ = piece.gain;
      rendered_->random.seed = piece.seedAfter;
      return false;
    case VoicePiece::Kind::Failed:
      std::rethrow_exception(piece.error);
  }
  return true;
}

}  // namespace vocanta
