// Waiting in tests for the event a test expects, under a generous deadline.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace qmb::test {

// Polls `done` until it holds or `timeoutMs` passes; false on the deadline.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace qmb::test
