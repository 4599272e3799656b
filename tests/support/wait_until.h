// Waiting in tests for the event a test expects, under a generous deadline.
#pragma once

#include "wait.h"

namespace qmb::test {

// Polls `done` every 2 ms until it holds or `timeoutMs` passes; false on the deadline.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  return WaitFor(done, std::chrono::milliseconds(timeoutMs),
                 [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
}

}  // namespace qmb::test
