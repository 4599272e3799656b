// The "Load Qumble Equalizer File" window: the presets of QEQ/ in a list;
// choosing one loads it at once and the window stays for the next choice.
#pragma once

#include <QListWidget>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace qmb {

class EqPresetWindow {
 public:
  // The list's selection changes and the "Close" button reach `dispatch`
  // with their command ids (kPresetList, kClosePresetWindow).
  explicit EqPresetWindow(std::function<void(int id)> dispatch);
  ~EqPresetWindow();
  EqPresetWindow(const EqPresetWindow&) = delete;
  EqPresetWindow& operator=(const EqPresetWindow&) = delete;

  // Closes a window that is open, then shows a new one listing `names` in
  // their order, centred on the work area.
  void Show(const std::vector<std::string>& names);
  // Hides the window at once; it is deleted when the event loop comes back.
  void Close();
  // The chosen preset's name as it was given; empty when none is chosen.
  std::string Selected() const;
  QWidget* Window() const { return window_; }
  QListWidget* List() const { return list_; }

 private:
  std::function<void(int)> dispatch_;
  QPointer<QWidget> window_;
  QPointer<QListWidget> list_;
  std::vector<std::string> names_;
};

}  // namespace qmb
