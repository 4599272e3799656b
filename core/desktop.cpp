#include "core/desktop.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace qmb {
namespace {

// Before start-up installs the real desktop (and in command-line tools), texts
// go to standard error and every question is answered as cancelled.
class ConsoleDesktop final : public Desktop {
 public:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon,
                            MessageButtons buttons) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
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
  void SleepMs(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  std::int64_t UpTimeMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  bool OpenUrl(const std::string&) override { return false; }
};

ConsoleDesktop consoleDesktop;
Desktop* current = &consoleDesktop;

}  // namespace

Desktop& TheDesktop() {
  return *current;
}

Desktop* SetDesktop(Desktop* desktop) {
  Desktop* previous = current;
  current = desktop ? desktop : &consoleDesktop;
  return previous;
}

}  // namespace qmb
