// Waiting for an event under a generous deadline: polls `done` until it holds
// or `limit` passes, running `idle` (a short sleep when none) in between.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace qmb::test {

inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(20),
                    const std::function<void()>& idle = {}) {
  for (auto end = std::chrono::steady_clock::now() + limit;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    if (idle) {
      idle();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
}

}  // namespace qmb::test
