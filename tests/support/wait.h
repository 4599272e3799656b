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
  for (auto end = std::chrono::steady_clock::now() + limit; !done();) {
    if (std::chrono::steady_clock::now() > end) return false;
    idle ? idle() : std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace qmb::test
