#include "core/synthesis/partial_pipeline.h"

namespace vocanta {
namespace {

// Chunks follow each other within a fraction of a millisecond: a thread that waits for
// the other spins this long before it sleeps, which spares the wake-up each time.
constexpr int kSpins = 4000;

void pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Whether ready() came true within the spins.
template <typename Ready>
bool spin_until(Ready ready) {
  for (int i = 0; i < kSpins; ++i) {
    if (ready()) return true;
    pause();
  }
  return ready();
}

}  // namespace

void take_sum(PartialJob& job, const PartialKernels& kernels) {
  for (const PartialRun& r : job.runs) job.s = kernels.sum(job.s, r);
}

PartialPipeline::PartialPipeline(const PartialKernels& kernels)
    : kernels_(kernels), worker_([this] { work(); }) {}

PartialPipeline::~PartialPipeline() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  posted_.notify_one();
  worker_.join();
}

void PartialPipeline::post(PendingExp* exps, size_t expCount, PartialJob* jobs, size_t count) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    exps_ = exps;
    expCount_ = expCount;
    jobs_ = jobs;
    count_ = count;
    nextExp_.store(0);
    expsDone_.store(0);
    next_.store(0);
    ++generation_;
    published_.store(generation_, std::memory_order_release);
  }
  posted_.notify_one();
}

void PartialPipeline::finish() {
  take_share();
  const uint64_t wanted = published_.load(std::memory_order_relaxed);
  // A worker that has not begun on this chunk yet never will: this thread did it all,
  // and need not wait for the other to be scheduled.
  uint64_t unclaimed = wanted - 1;
  if (claimed_.compare_exchange_strong(unclaimed, wanted)) return;
  if (spin_until([&] { return finished_.load(std::memory_order_acquire) == wanted; })) return;
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return workerDone_ == generation_; });
}

void PartialPipeline::take_share() {
  for (size_t i; (i = nextExp_.fetch_add(1)) < expCount_;) {
    kernels_.exp(exps_[i].values, exps_[i].values, exps_[i].count);
    expsDone_.fetch_add(1);
  }
  // A sum may read any of the tables: all of them first.
  while (expsDone_.load() < expCount_) std::this_thread::yield();
  for (size_t i; (i = next_.fetch_add(1)) < count_;) take_sum(jobs_[i], kernels_);
}

void PartialPipeline::work() {
  uint64_t seen = 0;
  for (;;) {
    if (spin_until([&] { return published_.load(std::memory_order_acquire) != seen; })) {
      seen = published_.load(std::memory_order_acquire);
    } else {
      std::unique_lock<std::mutex> lock(mutex_);
      posted_.wait(lock, [&] { return quit_ || generation_ != seen; });
      if (quit_) return;
      seen = generation_;
    }
    // The chunk is this thread's to help with only if the other has not finished it.
    uint64_t unclaimed = seen - 1;
    if (!claimed_.compare_exchange_strong(unclaimed, seen)) continue;
    take_share();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      workerDone_ = seen;
      finished_.store(seen, std::memory_order_release);
    }
    done_.notify_one();
  }
}

}  // namespace vocanta
