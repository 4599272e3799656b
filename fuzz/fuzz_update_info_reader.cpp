// Fuzzes the update information, read as the whole check reads what it
// fetched: the three fields put back together give the text, and whatever
// the text says, only a web address ever reaches the desktop's handler.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/desktop.h"
#include "core/text_util.h"
#include "services/update_check.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Says Yes to every question and remembers what it was asked to open.
class YesDesktop final : public qmb::Desktop {
 public:
  qmb::MessageAnswer ShowMessage(const std::string&, const std::string&, qmb::MessageIcon,
                                 qmb::MessageButtons buttons) override {
    return buttons == qmb::MessageButtons::Ok ? qmb::MessageAnswer::Ok : qmb::MessageAnswer::Yes;
  }
  std::vector<std::string> ChooseFiles(const std::string&, const std::string&, bool, bool,
                                       const std::string&, const std::string&) override {
    return {};
  }
  std::string ChooseFolderPath(const std::string&, const std::string&) override { return {}; }
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return std::nullopt;
  }
  void ProcessPendingEvents() override {}
  void SleepMs(int) override {}
  std::int64_t UpTimeMs() override { return 0; }
  bool OpenUrl(const std::string& url) override {
    opened = url;
    return true;
  }
  std::string opened;
};

class BytesFetcher final : public qmb::UpdateFetcher {
 public:
  explicit BytesFetcher(std::string body) : body_(std::move(body)) {}
  qmb::FetchResult Fetch(const std::string&, std::size_t maxBytes) override {
    return {qmb::FetchResult::kFetched, body_.substr(0, maxBytes)};
  }

 private:
  std::string body_;
};

bool StartsWebAddress(const std::string& text) {
  std::string lower = qmb::ToLowerAscii(text.substr(0, 8));
  return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  qmb::UpdateInfo info = qmb::ParseUpdateInfo(text);
  std::string whole(qmb::TrimSpace(text.substr(0, text.find('\0'))));
  Check(info.version.find('|') == std::string::npos);
  Check(info.address.find('|') == std::string::npos);
  if (whole.find('|') == std::string::npos) {
    Check(info.version == whole && info.message == whole && info.address == whole);
  } else if (whole.find('|') == whole.rfind('|')) {
    Check(info.message == info.address && info.version + "|" + info.address == whole);
  } else {
    Check(info.version + "|" + info.message + "|" + info.address == whole);
  }
  qmb::VersionValue(info.version);

  YesDesktop desktop;
  qmb::Desktop* before = qmb::SetDesktop(&desktop);
  BytesFetcher fetcher(text);
  qmb::CheckForUpdate(fetcher, "http://updates.invalid/version.txt");
  qmb::SetDesktop(before);
  Check(desktop.opened.empty() || StartsWebAddress(desktop.opened));
  return 0;
}
