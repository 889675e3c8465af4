#pragma once

#include <QIODevice>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vocanta {

// Samples as the sound card pulls them, made ahead on a thread of their own: the window
// thread may be busy redrawing while the user drags points, and the sound must not drop
// out meanwhile. When the card asks for more than is ready, it waits for the samples, so
// that a voice slower to render than to play stutters rather than stops.
class PlaybackSource : public QIODevice {
  Q_OBJECT

 public:
  // Puts up to count samples into out and returns how many; 0 means the sound is over.
  // It runs on the source's thread.
  using Producer = std::function<size_t(int16_t* out, size_t count)>;
  // Makes first samples at once, so that the sound starts with them, then keeps ahead
  // samples waiting.
  PlaybackSource(Producer produce, size_t first, size_t ahead);
  ~PlaybackSource() override;
  PlaybackSource(const PlaybackSource&) = delete;
  PlaybackSource& operator=(const PlaybackSource&) = delete;

  bool atEnd() const override;
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override;
  // Samples made and not yet taken by the device.
  size_t waiting() const;
  // Raises, on the caller's thread, what the producer raised; the sound ended there.
  void rethrow_failure() const;

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  void work();
  // Appends what the producer made of count; false once it has ended.
  bool make(size_t count);
  size_t waiting_locked() const { return buffer_.size() - taken_; }

  Producer produce_;
  const size_t ahead_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int16_t> buffer_;
  size_t taken_ = 0;
  bool ended_ = false;
  bool quit_ = false;
  std::exception_ptr failure_;
  std::thread worker_;  // last: it starts once everything it uses is there
};

}  // namespace vocanta
