// The "Copying Files..." window of a Send To Media batch: the amount and
// destination lines, the batch and file progress bars and "Cancel".
#pragma once

#include <QPointer>
#include <functional>

#include "media/media_copy.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace qmb {

class CopyProgressWindow final : public CopyWindow {
 public:
  // `cancel` runs for "Cancel" and for the window's close button.
  explicit CopyProgressWindow(std::function<void()> cancel);
  // The window goes once the events that may still reach it are handled.
  ~CopyProgressWindow() override;

  void SetBatchRange(int files) override;
  void SetBatchPosition(int filesDone) override;
  void SetAmountLine(const std::string& text) override;
  void SetDestinationLine(const std::string& text) override;
  void SetFileProgress(const FileProgress& progress) override;

  QWidget* Window() const { return window_; }
  QLabel* AmountLine() const { return amount_; }
  QLabel* DestinationLine() const { return destination_; }
  QProgressBar* BatchProgress() const { return batch_; }
  QProgressBar* FileProgressBar() const { return file_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QPointer<QWidget> window_;
  QLabel* amount_ = nullptr;
  QLabel* destination_ = nullptr;
  QProgressBar* batch_ = nullptr;
  QProgressBar* file_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace qmb
