// The fast engine on two threads. Chunks of samples are computed ahead, in order, up to
// their partial sums; the pipeline takes those sums on both threads while the next chunk
// is being computed; the samples then pass the formants in order. Every sample is the one
// a single thread would give.
#include <algorithm>
#include <cstdlib>
#include <thread>

#include "core/synthesis/fast_partials.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

// A block of the build: the pipeline's round trip is paid once for this many samples.
constexpr size_t kChunk = 256;

}  // namespace

int render_threads() {
  if (const char* wanted = std::getenv("VOCANTA_THREADS"); wanted && std::atoi(wanted) == 1)
    return 1;
  return std::thread::hardware_concurrency() > 1 ? 2 : 1;
}

int default_jobs() {
  if (const char* wanted = std::getenv("VOCANTA_THREADS"); wanted && std::atoi(wanted) > 0)
    return std::atoi(wanted);
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

size_t VoiceRenderer::render_chunks(double* out, size_t n) {
  using State = Chunk::State;
  size_t i = 0;
  while (i < n) {
    Chunk& c = chunks_[static_cast<size_t>(current_)];
    Chunk& next = chunks_[static_cast<size_t>(1 - current_)];
    if (c.state == State::Empty) fill(c);
    if (c.count == 0) break;  // stopped before its first sample
    if (c.state == State::Filled) {
      post(c);
      if (next.state == State::Empty) fill(next);
    }
    if (c.state == State::Posted) {
      pipeline_->finish();
      c.state = State::Summed;
    }
    // The worker sums the next chunk while this thread passes c through the formants.
    if (next.state == State::Filled) post(next);
    for (; i < n && c.delivered < c.count; ++i, ++c.delivered) {
      const PartialJob& job = c.jobs[c.delivered];
      out[i] = finish(job.s, job.t);
      ++position_;
    }
    if (c.delivered < c.count) break;
    c.keep.clear();  // the tables go back to be written again
    c.exps.clear();
    c.count = c.delivered = 0;
    c.state = State::Empty;
    current_ = 1 - current_;
    if (stopped_) break;
    // And computes the chunk after it meanwhile.
    if (next.state == State::Posted) fill(c);
  }
  return i;
}

void VoiceRenderer::fill(Chunk& c) {
  if (c.jobs.size() < kChunk) c.jobs.resize(kChunk);
  c.count = c.delivered = 0;
  c.state = Chunk::State::Empty;
  c.keep.clear();
  c.exps.clear();
  ++fills_;
  while (c.count < kChunk && computed_ < s_.samplesPerVoice && !stopped_) {
    PartialJob& job = c.jobs[c.count];
    job.runs.clear();
    fast().collect_into(&job.runs, &c.keep, &c.exps, fills_);
    job.s = sample(computed_);
    job.t = t_;
    fast().collect_into(nullptr);
    if (stopped_) break;
    ++computed_;
    ++c.count;
  }
  if (c.count > 0) c.state = Chunk::State::Filled;
}

void VoiceRenderer::post(Chunk& c) {
  pipeline_->post(c.exps.data(), c.exps.size(), c.jobs.data(), c.count);
  c.state = Chunk::State::Posted;
}

void VoiceRenderer::drop_chunks() {
  for (Chunk& c : chunks_) {
    // The worker may be summing it still.
    if (c.state == Chunk::State::Posted) pipeline_->finish();
    c.keep.clear();
    c.exps.clear();
    c.count = c.delivered = 0;
    c.state = Chunk::State::Empty;
  }
  current_ = 0;
  computed_ = 0;
}

}  // namespace vocanta
