#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/synthesis/partial_kernels.h"

namespace vocanta {

// The partial sums of one sample, to be taken later: s starts as the noise and ends as
// the sum of the noise and every run, added in order. The tables the runs read are kept
// alive by the chunk the job belongs to.
struct PartialJob {
  double s = 0;
  double t = 0;
  std::vector<PartialRun> runs;
};

// A table of exponents whose exponentials a chunk's runs will read, taken in place
// before the sums.
struct PendingExp {
  double* values = nullptr;
  int32_t count = 0;
};

// Takes the sums of a chunk of samples on a worker thread and the caller's thread
// together. Each sample's sum is taken by one thread in the order of its runs, so the
// samples do not depend on which thread took them, nor on how many there are.
class PartialPipeline {
 public:
  explicit PartialPipeline(const PartialKernels& kernels);
  ~PartialPipeline();
  PartialPipeline(const PartialPipeline&) = delete;
  PartialPipeline& operator=(const PartialPipeline&) = delete;

  // The worker begins on exps[0..expCount), then on jobs[0..count); all must stay put
  // until finish returns.
  void post(PendingExp* exps, size_t expCount, PartialJob* jobs, size_t count);
  // The caller takes what the worker has not, then waits for the worker's last.
  void finish();

 private:
  void take_share();
  void work();

  const PartialKernels& kernels_;
  std::mutex mutex_;
  std::condition_variable posted_, done_;
  PendingExp* exps_ = nullptr;
  size_t expCount_ = 0;
  PartialJob* jobs_ = nullptr;
  size_t count_ = 0;
  std::atomic<size_t> nextExp_{0}, expsDone_{0}, next_{0};
  uint64_t generation_ = 0, workerDone_ = 0;
  // The same two for the spinning waits, which take no lock.
  std::atomic<uint64_t> published_{0}, finished_{0};
  // The last generation either the worker took on or the caller closed without it.
  std::atomic<uint64_t> claimed_{0};
  bool quit_ = false;
  std::thread worker_;
};

// Sums one job's runs onto its s.
void take_sum(PartialJob& job, const PartialKernels& kernels);

}  // namespace vocanta
