#include "core/synthesis/partial_pipeline.h"

namespace vocanta {

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

void PartialPipeline::post(PartialJob* jobs, size_t count) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_ = jobs;
    count_ = count;
    next_.store(0);
    ++generation_;
  }
  posted_.notify_one();
}

void PartialPipeline::finish() {
  take_share(jobs_, count_, next_);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return workerDone_ == generation_; });
}

void PartialPipeline::take_share(PartialJob* jobs, size_t count, std::atomic<size_t>& next) {
  for (size_t i; (i = next.fetch_add(1)) < count;) take_sum(jobs[i], kernels_);
}

void PartialPipeline::work() {
  uint64_t seen = 0;
  for (;;) {
    PartialJob* jobs = nullptr;
    size_t count = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      posted_.wait(lock, [&] { return quit_ || generation_ != seen; });
      if (quit_) return;
      seen = generation_;
      jobs = jobs_;
      count = count_;
    }
    take_share(jobs, count, next_);
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      workerDone_ = seen;
    }
    done_.notify_one();
  }
}

}  // namespace vocanta
