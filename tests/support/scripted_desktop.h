// A desktop for tests: records every message it is asked to show and answers
// questions and dialogs from scripted queues (cancel when a queue is empty).
// Where the player lets events be handled it runs `onProcessEvents`, if set.
#pragma once

#include <deque>
#include <functional>
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
  std::int64_t upTimeMs = 0;
  std::function<void()> onProcessEvents;

  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({text, caption, icon, buttons});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : Pop(answers, MessageAnswer::Cancel);
  }
  std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                       bool save, bool multiple, const std::string& initialFolder,
                                       const std::string& defaultExtension) override {
    fileDialogs.push_back({title, filter, initialFolder, defaultExtension, save, multiple});
    return Pop(fileChoices, {});
  }
  std::string ChooseFolderPath(const std::string&, const std::string&) override {
    return Pop(folderChoices, {});
  }
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return Pop(textAnswers, {});
  }
  void ProcessPendingEvents() override {
    if (onProcessEvents) onProcessEvents();
  }
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
  template <class T>
  static T Pop(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
  }
  Desktop* previous_ = nullptr;
};

}  // namespace qmb::test
