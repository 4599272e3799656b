#include "core/control_models.h"

namespace qmb {

void ComboModel::Select(int index) {
  if (items_.empty()) {
    pending_ = index;
    if (selection_ != -1) {
      selection_ = -1;
      changed.Emit();
    }
    return;
  }
  pending_ = -1;
  int selection = (index >= 0 && index < Count()) ? index : -1;
  if (selection == selection_) return;
  selection_ = selection;
  changed.Emit();
}

void ComboModel::SetItems(std::vector<std::string> items) {
  int keep = selection_ != -1 ? selection_ : pending_;
  items_ = std::move(items);
  selection_ = -1;
  if (items_.empty()) {
    pending_ = keep;
  } else {
    pending_ = -1;
    if (keep >= 0 && keep < Count()) selection_ = keep;
  }
  changed.Emit();
}

void ComboModel::AddItem(std::string item) {
  items_.push_back(std::move(item));
  // A held index becomes the selection once the list can show it.
  if (pending_ >= 0 && pending_ < Count()) {
    selection_ = pending_;
    pending_ = -1;
  }
  changed.Emit();
}

}  // namespace qmb
