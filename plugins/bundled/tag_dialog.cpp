// The tag editing dialog of the TagLib file plug-in: shows a file's tags, saves them on OK.
#include "tag_dialog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <cstdlib>
#include <string>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

namespace qmb {
namespace {

// The fields the dialog edits, by their TagLib property names.
constexpr const char* kKeys[] = {"ARTIST",      "TITLE", "ALBUM",  "DATE",
                                 "TRACKNUMBER", "GENRE", "COMMENT"};
constexpr const char* kNames[] = {"artist", "title", "album", "year", "track", "genre", "comment"};
constexpr const char* kLabels[] = {
    "Artist:", "Title:", "Album:", "Year:", "Track:", "Genre:", "Comment:"};
constexpr int kFieldCount = 7;

struct FieldTexts {
  QString text[kFieldCount];
};

QString Joined(const TagLib::PropertyMap& properties, const char* key) {
  auto found = properties.find(key);
  if (found == properties.end()) return {};
  return QString::fromStdString(found->second.toString(", ").to8Bit(true));
}

bool CopyFile(int from, int to) {
  char block[65536];
  for (;;) {
    ssize_t got = read(from, block, sizeof block);
    if (got == 0) return true;
    if (got < 0) return false;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(to, block + done, static_cast<size_t>(got - done));
      if (put <= 0) return false;
      done += put;
    }
  }
}

// Only the fields the user changed are written, so values the dialog shows joined (several
// artists) or that it does not show (other frames) stay as they were.
bool WriteTags(const FieldTexts& shown, const FieldTexts& edited, const char* path) {
  TagLib::FileRef file(path, true);
  // TagLib would add tags to any bytes at all; a file that no longer holds sound is left alone.
  if (file.isNull() || !file.audioProperties() || file.audioProperties()->sampleRate() <= 0)
    return false;
  TagLib::PropertyMap properties = file.file()->properties();
  for (int i = 0; i < kFieldCount; ++i) {
    if (edited.text[i] == shown.text[i]) continue;
    QString value = edited.text[i].trimmed();
    if (value.isEmpty())
      properties.erase(kKeys[i]);
    else
      properties.replace(
          kKeys[i], TagLib::StringList(TagLib::String(value.toStdString(), TagLib::String::UTF8)));
  }
  file.file()->setProperties(properties);
  return file.save();
}

// TagLib rewrites a file in place; doing that on a copy that is then renamed over the original
// means a failure or a crash half-way never leaves the user's file damaged.
bool SaveTags(const FieldTexts& shown, const FieldTexts& edited, const std::string& given) {
  // A link keeps pointing at the file: the copy goes beside the file itself.
  char* resolved = realpath(given.c_str(), nullptr);
  if (!resolved) return false;
  std::string path = resolved;
  free(resolved);
  struct stat original {};
  if (stat(path.c_str(), &original) != 0 || !S_ISREG(original.st_mode)) return false;
  if (access(path.c_str(), W_OK) != 0) return false;
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  std::string suffix = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                           ? path.substr(dot)
                           : std::string();
  // The copy keeps the extension: TagLib picks the format by it.
  std::string copy = path + ".qmb-XXXXXX" + suffix;
  int to = mkstemps(copy.data(), static_cast<int>(suffix.size()));
  if (to < 0) return false;
  int from = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  bool copied = from >= 0 && CopyFile(from, to) && fchmod(to, original.st_mode & 07777) == 0 &&
                fsync(to) == 0;
  if (from >= 0) close(from);
  close(to);
  bool saved = copied && WriteTags(shown, edited, copy.c_str());
  if (saved) {
    int again = open(copy.c_str(), O_RDONLY | O_CLOEXEC);
    saved = again >= 0 && fsync(again) == 0;
    if (again >= 0) close(again);
  }
  if (saved && rename(copy.c_str(), path.c_str()) == 0) return true;
  unlink(copy.c_str());
  return false;
}

}  // namespace

void ShowTagDialog(const char* path) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  FieldTexts shown;
  {
    TagLib::FileRef file(path, false);
    if (file.isNull()) {
      QMessageBox::critical(QApplication::activeWindow(), "Error",
                            QString("The tags of %1 cannot be read.").arg(path));
      return;
    }
    TagLib::PropertyMap properties = file.file()->properties();
    for (int i = 0; i < kFieldCount; ++i) shown.text[i] = Joined(properties, kKeys[i]);
  }

  QDialog dialog(QApplication::activeWindow());
  dialog.setObjectName("tagDialog");
  dialog.setMinimumWidth(420);
  dialog.setWindowTitle(QString("Properties - %1").arg(QString::fromLocal8Bit(path)));
  auto* form = new QFormLayout(&dialog);
  QLineEdit* edits[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) {
    edits[i] = new QLineEdit(shown.text[i]);
    edits[i]->setObjectName(kNames[i]);
    form->addRow(kLabels[i], edits[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;

  FieldTexts edited;
  for (int i = 0; i < kFieldCount; ++i) edited.text[i] = edits[i]->text();
  if (!SaveTags(shown, edited, path))
    QMessageBox::critical(QApplication::activeWindow(), "Error",
                          QString("The tags of %1 could not be saved.").arg(path));
}

}  // namespace qmb
