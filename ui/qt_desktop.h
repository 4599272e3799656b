// The desktop seam on Qt: message boxes, dialogs, the input box, event pumping.
#pragma once

#include "core/desktop.h"

namespace qmb {

class QtDesktop final : public Desktop {
 public:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                       bool save, bool multiple, const std::string& initialFolder,
                                       const std::string& defaultExtension) override;
  std::string ChooseFolderPath(const std::string& title, const std::string& initialFolder) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initialText) override;
  void ProcessPendingEvents() override;
  void SleepMs(int milliseconds) override;
  std::int64_t UpTimeMs() override;
  bool OpenUrl(const std::string& url) override;
};

}  // namespace qmb
