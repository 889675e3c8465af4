#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/build/batch_build.h"
#include "core/build/level_match.h"
#include "core/build/series_shard.h"
#include "core/synthesis/engine.h"

namespace vocanta {

class Voice;

// What a worker hands over of the voice it renders, in the order it happened.
struct VoicePiece {
  enum class Kind { Samples, Clipped, Overload, End, Failed };
  Kind kind = Kind::Samples;
  std::vector<int16_t> samples;
  int64_t clipped = 0;         // Overload: the samples level matching clipped
  double gainDb = 0;           // Overload: the gain they clipped after
  std::optional<double> gain;  // End: the gain level matching gave the voice
  uint32_t seedAfter = 0;      // End: the random sequence where the voice left it
  std::exception_ptr error;    // Failed
};

// The pieces one worker has rendered and the build has not written yet. A worker that
// runs ahead waits once it holds budget samples, so memory stays bounded however long
// the series.
class VoiceChannel {
 public:
  VoiceChannel(size_t budget, std::atomic<bool>& stop) : budget_(budget), stop_(stop) {}
  // False when the build stopped: nothing more is wanted.
  bool put_samples(const int16_t* samples, size_t count);
  void put(VoicePiece piece);
  // The next piece, waiting at most wait for it.
  bool take(VoicePiece& piece, std::chrono::milliseconds wait);
  void wake();

 private:
  const size_t budget_;
  std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::condition_variable filled_, drained_;
  std::deque<VoicePiece> pieces_;
  size_t held_ = 0;
};

// Settings a worker's build takes over from the build it serves.
struct SeriesJobSettings {
  std::string path;
  uint32_t seed = 0;
  Engine engine = Engine::Fast;
  char decimalSeparator = '.';
  std::optional<LevelTarget> level;
  size_t levelMemory = 0;
};

// The voices range of a batch series rendered on jobs threads. Each thread renders runs
// of consecutive voices as a shard does (two voices ahead of a run warm its curve
// cursors up, and the random sequence is skipped to the run's first voice), so every
// voice's samples are those of a build on one thread; the build takes the pieces of
// the voices in series order.
class SeriesJobs {
 public:
  SeriesJobs(const Voice& voice, const BatchBuildChoice& choice, VoiceRange range, int jobs,
             int64_t voiceLength, SeriesJobSettings settings);
  ~SeriesJobs();
  SeriesJobs(const SeriesJobs&) = delete;
  SeriesJobs& operator=(const SeriesJobs&) = delete;

  // The next piece of the voice the build writes now, waiting at most wait.
  bool take(VoicePiece& piece, std::chrono::milliseconds wait);
  // A break, a failure or a full destination: the workers give up.
  void stop();

 private:
  void work(size_t worker);
  void render_run(size_t worker, int64_t run);

  BatchBuildChoice choice_;
  VoiceRange range_;
  int64_t runLength_ = 1;
  int64_t runs_ = 0;
  SeriesJobSettings settings_;
  std::vector<std::unique_ptr<Voice>> voices_;
  std::atomic<bool> stop_{false};
  std::vector<std::unique_ptr<VoiceChannel>> channels_;
  int64_t voice_ = 0;  // of the range, the one the build takes pieces of
  size_t workers_ = 0;
  std::vector<std::thread> threads_;
};

}  // namespace vocanta
