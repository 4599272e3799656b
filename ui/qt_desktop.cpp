#include "ui/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>
#include <ctime>

#include "ui/control_factory.h"

namespace qmb {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

MessageAnswer QtDesktop::ShowMessage(const std::string& text, const std::string& caption,
                                     MessageIcon icon, MessageButtons buttons) {
  // Texts may come from files and servers: shown as they are, never as markup.
  QString shown = Q(text).replace("\r\n", "\n");
  QMessageBox box(ToQt(icon), Q(caption), shown, ToQt(buttons), QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      return MessageAnswer::Ok;
  }
}

std::vector<std::string> QtDesktop::ChooseFiles(const std::string& title, const std::string& filter,
                                                bool save, bool multiple,
                                                const std::string& initialFolder,
                                                const std::string& defaultExtension) {
  QFileDialog dialog(QApplication::activeWindow(), Q(title), Q(initialFolder), Q(filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile
                          : (multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
  if (!defaultExtension.empty()) dialog.setDefaultSuffix(Q(defaultExtension));
  CenterWindow(&dialog, nullptr, nullptr);
  std::vector<std::string> chosen;
  if (dialog.exec() != QDialog::Accepted) return chosen;
  for (const QString& file : dialog.selectedFiles()) chosen.push_back(file.toStdString());
  return chosen;
}

std::string QtDesktop::ChooseFolderPath(const std::string& title,
                                        const std::string& initialFolder) {
  QString start = QDir(Q(initialFolder)).exists() ? Q(initialFolder) : QString();
  return QFileDialog::getExistingDirectory(QApplication::activeWindow(), Q(title), start)
      .toStdString();
}

std::optional<std::string> QtDesktop::AskText(const std::string& title, const std::string& prompt,
                                              const std::string& initialText) {
  bool ok = false;
  QString text = QInputDialog::getText(QApplication::activeWindow(), Q(title), Q(prompt),
                                       QLineEdit::Normal, Q(initialText), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

void QtDesktop::ProcessPendingEvents() {
  QApplication::processEvents();
}

void QtDesktop::SleepMs(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}

std::int64_t QtDesktop::UpTimeMs() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool QtDesktop::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(Q(url)));
}

}  // namespace qmb
