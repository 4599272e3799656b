#include "ui/playlist/copy_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

#include "core/command_ids.h"
#include "ui/control_factory.h"

namespace qmb {
namespace {

constexpr int W = 300;
constexpr int H = 140;

// The window's close button cancels, as "Cancel" does.
class CloseCancels : public QObject {
 public:
  CloseCancels(std::function<void()> cancel, QObject* parent)
      : QObject(parent), cancel_(std::move(cancel)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Close) return false;
    event->ignore();
    if (cancel_) cancel_();
    return true;
  }

 private:
  std::function<void()> cancel_;
};

// An empty range is Qt's busy bar; an empty bar is wanted.
void SetBar(QProgressBar* bar, int maximum, int value) {
  int high = std::max(1, maximum);
  bar->setRange(0, high);
  bar->setValue(std::clamp(value, 0, maximum > 0 ? high : 0));
}

}  // namespace

CopyProgressWindow::CopyProgressWindow(std::function<void()> cancel) {
  window_ = CreateTopWindow(QStringLiteral("Copying Files..."), 0, 0, W, H,
                            kStyleCaption | kStyleSysMenu, kExToolWindow);
  window_->setFixedSize(window_->size());
  CenterWindow(window_, nullptr, nullptr);
  amount_ = CreateLabel(QString(), window_, 0, 5, 5, W - 10, 20);
  destination_ = CreateLabel(QString(), window_, 0, 5, 23, W - 10, 40);
  destination_->setWordWrap(true);
  destination_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  batch_ = CreateProgressBar(window_, 0, 5, H - 70, W - 10, 20);
  file_ = CreateProgressBar(window_, 0, 5, H - 50, W - 10, 20);
  for (QProgressBar* bar : {batch_, file_}) {
    bar->setTextVisible(false);
    SetBar(bar, 0, 0);
  }
  cancel_ =
      CreateButton(QStringLiteral("Cancel"), window_, command::kCancelCopy, 5, H - 25, W - 10, 20);
  QObject::connect(cancel_, &QPushButton::clicked, cancel_, [cancel] {
    if (cancel) cancel();
  });
  window_->installEventFilter(new CloseCancels(cancel, window_));
  window_->show();
}

CopyProgressWindow::~CopyProgressWindow() {
  if (!window_) return;
  window_->hide();
  // "Cancel" destroys the window from inside its own click.
  window_->deleteLater();
}

void CopyProgressWindow::SetBatchRange(int files) {
  SetBar(batch_, files, 0);
}

void CopyProgressWindow::SetBatchPosition(int filesDone) {
  batch_->setValue(std::clamp(filesDone, 0, batch_->maximum()));
}

void CopyProgressWindow::SetAmountLine(const std::string& text) {
  amount_->setText(QString::fromStdString(text));
}

void CopyProgressWindow::SetDestinationLine(const std::string& text) {
  destination_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CopyProgressWindow::SetFileProgress(const FileProgress& progress) {
  SetBar(file_, progress.maximum, progress.value);
}

}  // namespace qmb
