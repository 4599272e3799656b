// A single-producer, single-consumer ring of interleaved stereo float frames:
// the decoding thread writes, the mixing thread reads, neither ever waits.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmb::engine {

class FrameRing {
 public:
  explicit FrameRing(std::size_t minFrames) {
    std::size_t capacity = 1;
    while (capacity < minFrames) capacity <<= 1;
    capacity_ = capacity;
    data_.assign(capacity * 2, 0.0f);
  }

  std::size_t Capacity() const { return capacity_; }

  // Producer side.
  std::uint64_t WritePos() const { return write_.load(std::memory_order_relaxed); }
  std::size_t Writable() const {
    return capacity_ - static_cast<std::size_t>(write_.load(std::memory_order_relaxed) -
                                                read_.load(std::memory_order_acquire));
  }
  // Writes at most Writable() frames; returns the frames written.
  std::size_t Write(const float* frames, std::size_t count) {
    count = std::min(count, Writable());
    std::uint64_t w = write_.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < count;) {
      std::size_t at = static_cast<std::size_t>((w + i) & (capacity_ - 1));
      std::size_t run = std::min(count - i, capacity_ - at);
      std::copy_n(frames + i * 2, run * 2, data_.data() + at * 2);
      i += run;
    }
    write_.store(w + count, std::memory_order_release);
    return count;
  }

  // Consumer side.
  std::uint64_t ReadPos() const { return read_.load(std::memory_order_relaxed); }
  std::size_t Readable() const {
    return static_cast<std::size_t>(write_.load(std::memory_order_acquire) -
                                    read_.load(std::memory_order_relaxed));
  }
  // The frame `offset` frames after the read position; offset < Readable().
  const float* Peek(std::size_t offset) const {
    std::uint64_t at = (read_.load(std::memory_order_relaxed) + offset) & (capacity_ - 1);
    return data_.data() + at * 2;
  }
  void Skip(std::size_t count) {
    read_.store(read_.load(std::memory_order_relaxed) + count, std::memory_order_release);
  }
  // Moves the read position forward to `pos`, which the producer has written.
  void SkipTo(std::uint64_t pos) {
    if (pos > read_.load(std::memory_order_relaxed)) read_.store(pos, std::memory_order_release);
  }

  // Both sides stopped: empties the ring.
  void Reset() {
    write_.store(0, std::memory_order_relaxed);
    read_.store(0, std::memory_order_relaxed);
  }

 private:
  std::size_t capacity_ = 0;
  std::vector<float> data_;
  std::atomic<std::uint64_t> write_{0};
  std::atomic<std::uint64_t> read_{0};
};

}  // namespace qmb::engine
