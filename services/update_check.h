// The update check: the update information's three fields, the boxes the
// user sees, and where the information is fetched from. The fetch itself is
// the desktop's (an HTTP client that keeps the windows alive while it waits).
#pragma once

#include <string>
#include <string_view>

#include "services/about.h"

namespace qmb {

// Fetched when the program folder has no UpdateServer.txt naming another.
extern const char* const kDefaultUpdateAddress;
constexpr const char* kUpdateServerFileName = "UpdateServer.txt";

struct UpdateInfo {
  std::string version;
  std::string message;
  std::string address;
};

// version|message|address: the version before the first "|", the address
// after the last, the message between them (it may hold "|" itself); with
// one "|" the message is the address; with none all three are the whole
// text. White space around the whole text does not count.
UpdateInfo ParseUpdateInfo(std::string_view text);

// The decimal value of a version text: its leading number, 0 when it has none.
double VersionValue(const std::string& version);

// The first line of program folder + "UpdateServer.txt", or the default.
std::string UpdateAddress(const std::string& programFolder);

struct FetchResult {
  enum Outcome { kFetched, kNoSession, kNoConnection };
  Outcome outcome = kNoConnection;
  std::string body;  // at most the asked number of bytes
};

class UpdateFetcher {
 public:
  virtual ~UpdateFetcher() = default;
  // A fresh copy of `address` (no cache), at most `maxBytes` of its body.
  virtual FetchResult Fetch(const std::string& address, std::size_t maxBytes) = 0;
};

// The whole check with its questions and messages; Yes opens the download
// address with the desktop's default handler.
void CheckForUpdate(UpdateFetcher& fetcher, const std::string& address);

}  // namespace qmb
