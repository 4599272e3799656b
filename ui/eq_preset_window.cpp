#include "ui/eq_preset_window.h"

#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "core/command_ids.h"
#include "ui/control_factory.h"

namespace qmb {

EqPresetWindow::EqPresetWindow(std::function<void(int id)> dispatch)
    : dispatch_(std::move(dispatch)) {}

EqPresetWindow::~EqPresetWindow() {
  Close();
}

void EqPresetWindow::Show(const std::vector<std::string>& names) {
  Close();
  names_ = names;
  QWidget* window = CreateTopWindow("Load Qumble Equalizer File", 0, 0, 300, 200,
                                    kStyleCaption | kStyleSysMenu, kExToolWindow);
  window->setAttribute(Qt::WA_DeleteOnClose);
  const int w = window->width(), h = window->height();
  QListWidget* list = CreateListBox(window, command::kPresetList, 5, 5, w - 10, h - 40);
  // The names come sorted; the row is the name's index.
  list->setSortingEnabled(false);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (const std::string& name : names_) list->addItem(QString::fromStdString(name));
  QPushButton* close =
      CreateButton("Close", window, command::kClosePresetWindow, w - 105, h - 30, 100, 25);
  auto dispatch = dispatch_;
  QObject::connect(list, &QListWidget::currentRowChanged, list, [dispatch](int row) {
    if (row >= 0 && dispatch) dispatch(command::kPresetList);
  });
  QObject::connect(close, &QPushButton::clicked, close, [dispatch] {
    if (dispatch) dispatch(command::kClosePresetWindow);
  });
  window_ = window;
  list_ = list;
  CenterWindow(window, nullptr, nullptr);
  window->show();
}

void EqPresetWindow::Close() {
  if (!window_) return;
  // Later: "Close" itself is a child, and it is still inside its click.
  window_->hide();
  window_->deleteLater();
  window_ = nullptr;
  list_ = nullptr;
}

std::string EqPresetWindow::Selected() const {
  if (!list_) return {};
  int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(names_.size())) return {};
  return names_[static_cast<std::size_t>(row)];
}

}  // namespace qmb
