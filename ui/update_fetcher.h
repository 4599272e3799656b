// The update check's fetch over HTTP or HTTPS with Qt Network: a fresh copy
// (no cache), certificates verified, at most the asked bytes. The windows
// keep running while it waits, and a silent server is given up on.
#pragma once

#include "services/update_check.h"

namespace qmb {

class QtUpdateFetcher final : public UpdateFetcher {
 public:
  // Gives up when nothing arrives for `stallMs`, or after `limitMs` in all.
  explicit QtUpdateFetcher(int stallMs = 5000, int limitMs = 10000)
      : stallMs_(stallMs), limitMs_(limitMs) {}
  FetchResult Fetch(const std::string& address, std::size_t maxBytes) override;

 private:
  int stallMs_;
  int limitMs_;
};

}  // namespace qmb
