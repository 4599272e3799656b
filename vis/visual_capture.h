// The newest mix block, captured on the engine's mixing thread by the
// program's DSP unit and read by the visualization on the user-interface
// thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace qmb {

// What acts on each mix block before it is captured (a running DSP
// plug-in). Called on the mixing thread.
class BlockProcessor {
 public:
  virtual ~BlockProcessor() = default;
  virtual void ProcessBlock(std::int16_t* input, std::int16_t* mix, int frames) = 0;
};

class VisualCapture {
 public:
  // The DSP callback: records the mix block and hands it on unchanged. Runs
  // on the mixing thread.
  static void* VisualDspCallback(void* originalBuffer, void* buffer, int length, void* userData);

  // Copies the newest block (interleaved stereo 16-bit) into `out`; false
  // when there is none (nothing captured since the last Clear).
  bool CopyBlock(std::vector<std::int16_t>& out) const;
  // Counts the blocks stored so far: the same count means the same block.
  std::uint64_t Sequence() const { return sequence_.load(std::memory_order_acquire); }
  bool HasBlock() const;
  // After a stop there is no block until the next one is mixed.
  void Clear();

  // The processor runs only while a playlist track plays; playback says so.
  void SetProcessor(BlockProcessor* processor) { processor_.store(processor); }
  void SetTrackActive(bool active) { trackActive_.store(active); }

 private:
  void Store(const std::int16_t* samples, int frames);

  mutable std::mutex mutex_;
  std::vector<std::int16_t> block_;
  bool valid_ = false;
  std::atomic<std::uint64_t> sequence_{0};
  std::atomic<BlockProcessor*> processor_{nullptr};
  std::atomic<bool> trackActive_{false};
};

VisualCapture& TheVisualCapture();

}  // namespace qmb
