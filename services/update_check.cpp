#include "services/update_check.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>

#include "core/desktop.h"
#include "core/text_util.h"

namespace qmb {

// No update server is published yet; a reserved name never resolves, so
// the check says it cannot connect until UpdateServer.txt names one.
const char* const kDefaultUpdateAddress = "https://updates.qumble-player.invalid/update.txt";

namespace {

constexpr std::size_t kUpdateReadLimit = 1024;

bool IsWebAddress(const std::string& address) {
  std::string lower = ToLowerAscii(address.substr(0, 8));
  return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

}  // namespace

UpdateInfo ParseUpdateInfo(std::string_view text) {
  // The text ends at a zero byte, as a read into a text buffer would.
  text = text.substr(0, text.find('\0'));
  std::string whole(TrimSpace(text));
  std::size_t first = whole.find('|');
  if (first == std::string::npos) return {whole, whole, whole};
  std::size_t last = whole.rfind('|');
  UpdateInfo info;
  info.version = whole.substr(0, first);
  info.address = whole.substr(last + 1);
  info.message = first == last ? info.address : whole.substr(first + 1, last - first - 1);
  return info;
}

double VersionValue(const std::string& version) {
  std::string_view text = version;
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

std::string UpdateAddress(const std::string& programFolder) {
  std::ifstream in(programFolder + kUpdateServerFileName);
  std::string line;
  if (in && std::getline(in, line)) {
    std::string address(TrimSpace(line));
    if (!address.empty()) return address;
  }
  return kDefaultUpdateAddress;
}

void CheckForUpdate(UpdateFetcher& fetcher, const std::string& address) {
  Desktop& desktop = TheDesktop();
  if (desktop.ShowMessage("Qumble Player will attempt to retrieve update information. Please make "
                          "sure you are connected to the internet.",
                          "Update", MessageIcon::Information,
                          MessageButtons::OkCancel) != MessageAnswer::Ok) {
    return;
  }
  FetchResult fetched = fetcher.Fetch(address, kUpdateReadLimit);
  if (fetched.outcome == FetchResult::kNoSession) {
    desktop.ShowMessage("Error connecting to internet. Make sure you are connected.", "Error",
                        MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  if (fetched.outcome != FetchResult::kFetched) {
    desktop.ShowMessage("Error connecting to url. The website could be down.", "Error",
                        MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  if (fetched.body.size() > kUpdateReadLimit) fetched.body.resize(kUpdateReadLimit);
  UpdateInfo info = ParseUpdateInfo(fetched.body);
  if (VersionValue(kProgramVersion) >= VersionValue(info.version)) {
    desktop.ShowMessage("Qumble Player is currently up to date. You do not need to update.",
                        "Update", MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  if (!info.message.empty()) {
    desktop.ShowMessage(info.message, "Message", MessageIcon::Information, MessageButtons::Ok);
  }
  if (desktop.ShowMessage("There is an update available. The newest version is " + info.version +
                              ". Your default browser will open and download the file. Would you "
                              "like to download the update?",
                          "Update", MessageIcon::Information,
                          MessageButtons::YesNo) != MessageAnswer::Yes) {
    return;
  }
  // The address comes from the network: only a web address goes to the
  // default handler, never a local file or program.
  if (!IsWebAddress(info.address)) {
    desktop.ShowMessage("The download address is not a web address: " + info.address, "Error",
                        MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  desktop.OpenUrl(info.address);
}

}  // namespace qmb
