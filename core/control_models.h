// Small observable models for the state the player keeps in controls: check
// boxes, trackbars, drop-down lists, edit fields and simple lists. The logic
// owns them; a Qt widget shows one and writes the user's changes back.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qmb {

// A list of callbacks run after a model changed.
class ChangeSignal {
 public:
  using Handler = std::function<void()>;
  int Connect(Handler handler) {
    handlers_.emplace_back(++lastId_, std::move(handler));
    return lastId_;
  }
  void Disconnect(int id) {
    std::erase_if(handlers_, [id](const auto& h) { return h.first == id; });
  }
  void Emit() const {
    // A copy, so a handler may connect or disconnect while we run.
    auto handlers = handlers_;
    for (auto& h : handlers) h.second();
  }

 private:
  std::vector<std::pair<int, Handler>> handlers_;
  int lastId_ = 0;
};

class CheckModel {
 public:
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    changed.Emit();
  }
  ChangeSignal changed;

 private:
  bool checked_ = false;
};

// A trackbar keeps its position inside its range, as the control does.
class TrackbarModel {
 public:
  TrackbarModel(int minimum, int maximum) : min_(minimum), max_(maximum), pos_(minimum) {}
  int Position() const { return pos_; }
  int Minimum() const { return min_; }
  int Maximum() const { return max_; }
  void SetPosition(int position) {
    int clamped = position < min_ ? min_ : (position > max_ ? max_ : position);
    if (clamped == pos_) return;
    pos_ = clamped;
    changed.Emit();
  }
  ChangeSignal changed;

 private:
  int min_, max_, pos_;
};

// A drop-down list: items and the selected index, -1 when none is selected.
class ComboModel {
 public:
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // The selected index; -1 shows no selection.
  int Selection() const { return selection_; }
  // The selection, or while the list is empty the index it holds for later.
  int HeldSelection() const { return selection_ != -1 ? selection_ : pending_; }
  // An index outside the list shows no selection. While the list is empty the
  // index is held and applied when items arrive, so a setting read before its
  // list is filled (the sound device) is not lost.
  void Select(int index);
  void SetItems(std::vector<std::string> items);
  void Clear() { SetItems({}); }
  void AddItem(std::string item);
  ChangeSignal changed;

 private:
  std::vector<std::string> items_;
  int selection_ = -1;
  int pending_ = -1;
};

class EditModel {
 public:
  const std::string& Text() const { return text_; }
  void SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    changed.Emit();
  }
  ChangeSignal changed;

 private:
  std::string text_;
};

// A plain list of texts (the type list, the plug-in lists' names).
class StringListModel {
 public:
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  void Append(std::string item) {
    items_.push_back(std::move(item));
    changed.Emit();
  }
  void RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    changed.Emit();
  }
  void Clear() {
    items_.clear();
    changed.Emit();
  }
  ChangeSignal changed;

 private:
  std::vector<std::string> items_;
};

}  // namespace qmb
