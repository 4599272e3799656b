#include "vis/visual_capture.h"

#include <cstring>

namespace qmb {

VisualCapture& TheVisualCapture() {
  static VisualCapture capture;
  return capture;
}

void* VisualCapture::VisualDspCallback(void* originalBuffer, void* buffer, int length,
                                       void* userData) {
  auto* capture = userData ? static_cast<VisualCapture*>(userData) : &TheVisualCapture();
  BlockProcessor* processor = capture->processor_.load();
  if (processor && buffer && length > 0 && capture->trackActive_.load()) {
    processor->ProcessBlock(static_cast<std::int16_t*>(originalBuffer),
                            static_cast<std::int16_t*>(buffer), length);
  }
  if (buffer && length > 0) capture->Store(static_cast<const std::int16_t*>(buffer), length);
  return buffer;
}

void VisualCapture::Store(const std::int16_t* samples, int frames) {
  // The mixing thread never waits: when the reader holds the lock this
  // block is skipped and the next one is taken.
  std::unique_lock lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return;
  block_.resize(static_cast<std::size_t>(frames) * 2);
  std::memcpy(block_.data(), samples, block_.size() * sizeof(std::int16_t));
  valid_ = true;
  sequence_.fetch_add(1, std::memory_order_release);
}

bool VisualCapture::CopyBlock(std::vector<std::int16_t>& out) const {
  std::lock_guard lock(mutex_);
  if (!valid_) return false;
  out = block_;
  return true;
}

bool VisualCapture::HasBlock() const {
  std::lock_guard lock(mutex_);
  return valid_;
}

void VisualCapture::Clear() {
  std::lock_guard lock(mutex_);
  valid_ = false;
}

}  // namespace qmb
