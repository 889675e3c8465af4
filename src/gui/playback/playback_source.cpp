#include "gui/playback/playback_source.h"

#include <algorithm>
#include <cstring>

namespace vocanta {
namespace {

// Made per turn of the source's thread: short enough that the card never waits long for
// the lock, long enough that the renderer's start-up per call does not count.
constexpr size_t kSlice = 2048;

}  // namespace

PlaybackSource::PlaybackSource(Producer produce, size_t first, size_t ahead)
    : produce_(std::move(produce)), ahead_(std::max(ahead, first)) {
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  make(first);
  worker_ = std::thread([this] { work(); });
}

PlaybackSource::~PlaybackSource() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

bool PlaybackSource::make(size_t count) {
  std::vector<int16_t> made(count);
  size_t n = 0;
  std::exception_ptr failure;
  try {
    n = produce_(made.data(), count);
  } catch (...) {
    failure = std::current_exception();
  }
  {
    const std::lock_guard lock(mutex_);
    buffer_.insert(buffer_.end(), made.begin(), made.begin() + static_cast<std::ptrdiff_t>(n));
    if (n == 0) ended_ = true;
    if (failure) failure_ = failure;
  }
  changed_.notify_all();
  return n > 0;
}

void PlaybackSource::work() {
  for (;;) {
    size_t count = 0;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return quit_ || ended_ || waiting_locked() < ahead_; });
      if (quit_ || ended_) return;
      count = std::min(kSlice, ahead_ - waiting_locked());
    }
    if (!make(count)) return;
  }
}

bool PlaybackSource::atEnd() const {
  const std::lock_guard lock(mutex_);
  return ended_ && waiting_locked() == 0;
}

size_t PlaybackSource::waiting() const {
  const std::lock_guard lock(mutex_);
  return waiting_locked();
}

qint64 PlaybackSource::bytesAvailable() const {
  return static_cast<qint64>(waiting() * sizeof(int16_t)) + QIODevice::bytesAvailable();
}

void PlaybackSource::rethrow_failure() const {
  std::exception_ptr failure;
  {
    const std::lock_guard lock(mutex_);
    failure = failure_;
  }
  if (failure) std::rethrow_exception(failure);
}

qint64 PlaybackSource::readData(char* data, qint64 maxSize) {
  const auto wanted = static_cast<size_t>(maxSize) / sizeof(int16_t);
  std::unique_lock lock(mutex_);
  // More than is kept ahead never comes at once: whatever is there then is enough.
  const size_t enough = std::min(wanted, ahead_);
  changed_.wait(lock, [&] { return ended_ || waiting_locked() >= enough; });
  const size_t count = std::min(wanted, waiting_locked());
  std::memcpy(data, buffer_.data() + taken_, count * sizeof(int16_t));
  taken_ += count;
  // The samples already played are dropped once they are many, not at every read.
  if (taken_ > ahead_ || taken_ == buffer_.size()) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(taken_));
    taken_ = 0;
  }
  lock.unlock();
  changed_.notify_all();
  return static_cast<qint64>(count * sizeof(int16_t));
}

}  // namespace vocanta
