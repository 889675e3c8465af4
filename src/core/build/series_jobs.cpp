#include "core/build/series_jobs.h"

#include <algorithm>
#include <utility>

#include "core/build/build_host.h"
#include "core/build/build_run.h"
#include "core/build/shard_build.h"
#include "core/model/voice.h"
#include "core/soundfile/sample_sink.h"

namespace vocanta {
namespace {

// Samples a worker may hold ahead of the build: 16 MB each.
constexpr size_t kChannelBudget = size_t{1} << 23;
// Samples in one piece; the worker's blocks are gathered up to this.
constexpr size_t kPieceSamples = size_t{1} << 14;
// Shortest run worth its two warm-up voices.
constexpr int64_t kShortestRun = 32;

int64_t ceil_div(int64_t a, int64_t b) {
  return (a + b - 1) / b;
}

// A worker's build writes into its channel; the voices' ends carry what the build that
// writes them needs to know of them.
class ChannelSink : public SampleSink {
 public:
  ChannelSink(VoiceChannel& channel, BuildRun& run) : channel_(channel), run_(run) {}
  void begin(const SinkFormat&) override {}
  size_t write(const int16_t* samples, size_t count) override {
    return channel_.put_samples(samples, count) ? count : 0;
  }
  void voice_done(int64_t, int64_t, const std::string&) override {
    VoicePiece end;
    end.kind = VoicePiece::Kind::End;
    end.gain = run_.voice_gain_dB();
    end.seedAfter = run_.rendered_voice().random.seed;
    channel_.put(std::move(end));
  }
  void finish() noexcept override {}

 private:
  VoiceChannel& channel_;
  BuildRun& run_;
};

// Passes a worker's clipping on, and breaks its build when the series stops.
class WorkerHost : public QuietBuildHost {
 public:
  WorkerHost(VoiceChannel& channel, const std::atomic<bool>& stop)
      : channel_(channel), stop_(stop) {}
  void attach(BuildRun& run) { run_ = &run; }
  void process_events() override {
    if (stop_ && run_) run_->request_break();
  }
  void refresh_progress(double, const std::string&) override { process_events(); }
  void overload_state(OverloadState state) override {
    if (state != OverloadState::Clipped) return;
    VoicePiece clipped;
    clipped.kind = VoicePiece::Kind::Clipped;
    channel_.put(std::move(clipped));
  }
  void voice_overload(const std::string&, int64_t count, double gainDb) override {
    VoicePiece overload;
    overload.kind = VoicePiece::Kind::Overload;
    overload.clipped = count;
    overload.gainDb = gainDb;
    channel_.put(std::move(overload));
  }

 private:
  VoiceChannel& channel_;
  const std::atomic<bool>& stop_;
  BuildRun* run_ = nullptr;
};

}  // namespace

bool VoiceChannel::put_samples(const int16_t* samples, size_t count) {
  std::unique_lock<std::mutex> lock(mutex_);
  drained_.wait(lock, [&] { return stop_ || held_ < budget_; });
  if (stop_) return false;
  if (pieces_.empty() || pieces_.back().kind != VoicePiece::Kind::Samples ||
      pieces_.back().samples.size() >= kPieceSamples)
    pieces_.emplace_back();
  std::vector<int16_t>& into = pieces_.back().samples;
  into.insert(into.end(), samples, samples + count);
  held_ += count;
  // The build is woken for whole pieces and for what ends a voice: a wake-up per block
  // cost it more than writing the block. It looks for a piece of its own accord between
  // its waits.
  if (into.size() >= kPieceSamples) filled_.notify_one();
  return true;
}

void VoiceChannel::put(VoicePiece piece) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pieces_.push_back(std::move(piece));
  filled_.notify_one();
}

bool VoiceChannel::take(VoicePiece& piece, std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!filled_.wait_for(lock, wait, [&] { return !pieces_.empty(); })) return false;
  piece = std::move(pieces_.front());
  pieces_.pop_front();
  held_ -= piece.samples.size();
  drained_.notify_one();
  return true;
}

void VoiceChannel::wake() {
  const std::lock_guard<std::mutex> lock(mutex_);
  drained_.notify_all();
}

SeriesJobs::SeriesJobs(const Voice& voice, const BatchBuildChoice& choice, VoiceRange range,
                       int jobs, int64_t voiceLength, SeriesJobSettings settings)
    : choice_(choice), range_(range), settings_(std::move(settings)) {
  const auto threads = static_cast<int64_t>(std::max(jobs, 1));
  // Runs as long as a channel holds, but never so short that the warm-up voices weigh;
  // a multiple of the threads, so that they finish together.
  const int64_t held = std::max<int64_t>(
      kShortestRun, static_cast<int64_t>(kChannelBudget) / std::max<int64_t>(voiceLength, 1));
  const int64_t perThread = ceil_div(range.size(), threads);
  runs_ = threads * ceil_div(perThread, std::min(perThread, held));
  runLength_ = ceil_div(range.size(), runs_);
  runs_ = ceil_div(range.size(), runLength_);
  workers_ = static_cast<size_t>(std::min(threads, runs_));
  for (size_t w = 0; w < workers_; ++w) {
    voices_.push_back(copy_voice(voice));
    channels_.push_back(std::make_unique<VoiceChannel>(kChannelBudget, stop_));
  }
  for (size_t w = 0; w < workers_; ++w) threads_.emplace_back([this, w] { work(w); });
}

SeriesJobs::~SeriesJobs() {
  stop();
  for (std::thread& t : threads_) t.join();
}

void SeriesJobs::stop() {
  stop_ = true;
  for (const auto& channel : channels_) channel->wake();
}

bool SeriesJobs::take(VoicePiece& piece, std::chrono::milliseconds wait) {
  const auto run = voice_ / runLength_;
  VoiceChannel& channel = *channels_[static_cast<size_t>(run) % channels_.size()];
  if (!channel.take(piece, wait)) return false;
  if (piece.kind == VoicePiece::Kind::End) ++voice_;
  return true;
}

void SeriesJobs::work(size_t worker) {
  try {
    for (auto run = static_cast<int64_t>(worker); run < runs_ && !stop_;
         run += static_cast<int64_t>(workers_))
      render_run(worker, run);
  } catch (...) {
    VoicePiece failed;
    failed.kind = VoicePiece::Kind::Failed;
    failed.error = std::current_exception();
    channels_[worker]->put(std::move(failed));
  }
}

void SeriesJobs::render_run(size_t worker, int64_t run) {
  // Each run from the voice as the series found it: a run leaves its batch states behind.
  const std::unique_ptr<Voice> voice = copy_voice(*voices_[worker]);
  VoiceChannel& channel = *channels_[worker];
  WorkerHost host(channel, stop_);
  BuildRun build(*voice, host);
  host.attach(build);
  build.set_jobs(1);
  build.set_fixed_seed(settings_.seed);
  build.set_engine(settings_.engine);
  build.set_decimal_separator(settings_.decimalSeparator);
  build.set_level_target(settings_.level);
  build.set_level_memory(settings_.levelMemory);
  ShardBuild shard(build, *voice, choice_, SeriesShard{}, "");
  const int64_t first = range_.first + run * runLength_;
  shard.set_voices({first, std::min(first + runLength_, range_.end)});
  ChannelSink sink(channel, build);
  shard.build_into(sink, settings_.path);
}

}  // namespace vocanta
