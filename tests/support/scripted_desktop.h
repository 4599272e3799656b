// A desktop for tests: records every message it is asked to show and answers
// questions and dialogs from scripted queues (cancel when a queue is empty).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/desktop.h"

namespace qmb::test {

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageIcon icon;
  MessageButtons buttons;
};

class ScriptedDesktop : public Desktop {
 public:
  ScriptedDesktop() { previous_ = SetDesktop(this); }
  ~ScriptedDesktop() override { SetDesktop(previous_); }

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;                 // for boxes with a choice
  std::deque<std::vector<std::string>> fileChoices;  // for ChooseFiles
  std::deque<std::string> folderChoices;             // for ChooseFolderPath
  std::deque<std::optional<std::string>> textAnswers;
  struct FileDialogCall {
    std::string title, filter, initialFolder, defaultExtension;
    bool save, multiple;
  };
  std::vector<FileDialogCall> fileDialogs;
  std::vector<std::string> openedUrls;
  int pendingEventCalls = 0;
  std::int64_t upTimeMs = 0;

  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, caption, icon, buttons});
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (answers.empty()) return MessageAnswer::Cancel;
    MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                       bool save, bool multiple, const std::string& initialFolder,
                                       const std::string& defaultExtension) override {
    fileDialogs.push_back({title, filter, initialFolder, defaultExtension, save, multiple});
    if (fileChoices.empty()) return {};
    auto c = fileChoices.front();
    fileChoices.pop_front();
    return c;
  }
  std::string ChooseFolderPath(const std::string&, const std::string&) override {
    if (folderChoices.empty()) return {};
    auto c = folderChoices.front();
    folderChoices.pop_front();
    return c;
  }
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    if (textAnswers.empty()) return std::nullopt;
    auto c = textAnswers.front();
    textAnswers.pop_front();
    return c;
  }
  void ProcessPendingEvents() override { ++pendingEventCalls; }
  void SleepMs(int milliseconds) override { upTimeMs += milliseconds; }
  std::int64_t UpTimeMs() override { return upTimeMs; }
  bool OpenUrl(const std::string& url) override {
    openedUrls.push_back(url);
    return true;
  }

  // The texts shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (auto& m : messages) t.push_back(m.text);
    return t;
  }

 private:
  Desktop* previous_ = nullptr;
};

}  // namespace qmb::test
