// The tag editing dialog of the TagLib file plug-in: shows a file's tags, saves them on OK.
#include "tag_dialog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QMessageBox>
#include <string>

#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace qmb {
namespace {

struct EditedTags {
  QString artist, title, album, year, track, genre, comment;
};

TagLib::String ToTagLib(const QString& text) {
  return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

QString FromTagLib(const TagLib::String& text) {
  return QString::fromStdString(text.to8Bit(true));
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

bool WriteTags(const EditedTags& tags, const char* path) {
  TagLib::FileRef file(path, false);
  if (file.isNull() || !file.tag()) return false;
  TagLib::Tag* tag = file.tag();
  tag->setArtist(ToTagLib(tags.artist));
  tag->setTitle(ToTagLib(tags.title));
  tag->setAlbum(ToTagLib(tags.album));
  tag->setYear(tags.year.toUInt());
  tag->setTrack(tags.track.toUInt());
  tag->setGenre(ToTagLib(tags.genre));
  tag->setComment(ToTagLib(tags.comment));
  return file.save();
}

// TagLib rewrites a file in place; doing that on a copy that is then renamed over the original
// means a failure or a crash half-way never leaves the user's file damaged.
bool SaveTags(const EditedTags& tags, const std::string& path) {
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
  bool saved = copied && WriteTags(tags, copy.c_str());
  if (saved) {
    int again = open(copy.c_str(), O_RDONLY | O_CLOEXEC);
    saved = again >= 0 && fsync(again) == 0;
    if (again >= 0) close(again);
  }
  if (saved && rename(copy.c_str(), path.c_str()) == 0) return true;
  unlink(copy.c_str());
  return false;
}

QLineEdit* AddField(QFormLayout* form, const char* name, const QString& label,
                    const QString& text) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(name);
  form->addRow(label, edit);
  return edit;
}

}  // namespace

void ShowTagDialog(const char* path) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  EditedTags tags;
  {
    TagLib::FileRef file(path, false);
    if (file.isNull() || !file.tag()) {
      QMessageBox::critical(QApplication::activeWindow(), "Error",
                            QString("The tags of %1 cannot be read.").arg(path));
      return;
    }
    TagLib::Tag* tag = file.tag();
    tags = {FromTagLib(tag->artist()),
            FromTagLib(tag->title()),
            FromTagLib(tag->album()),
            tag->year() ? QString::number(tag->year()) : QString(),
            tag->track() ? QString::number(tag->track()) : QString(),
            FromTagLib(tag->genre()),
            FromTagLib(tag->comment())};
  }

  QDialog dialog(QApplication::activeWindow());
  dialog.setObjectName("tagDialog");
  dialog.setWindowTitle(QString("Properties - %1").arg(QString::fromLocal8Bit(path)));
  auto* form = new QFormLayout(&dialog);
  QLineEdit* artist = AddField(form, "artist", "Artist:", tags.artist);
  QLineEdit* title = AddField(form, "title", "Title:", tags.title);
  QLineEdit* album = AddField(form, "album", "Album:", tags.album);
  QLineEdit* year = AddField(form, "year", "Year:", tags.year);
  year->setValidator(new QIntValidator(0, 9999, year));
  QLineEdit* track = AddField(form, "track", "Track:", tags.track);
  track->setValidator(new QIntValidator(0, 9999, track));
  QLineEdit* genre = AddField(form, "genre", "Genre:", tags.genre);
  QLineEdit* comment = AddField(form, "comment", "Comment:", tags.comment);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;

  EditedTags edited{artist->text(), title->text(), album->text(),  year->text(),
                    track->text(),  genre->text(), comment->text()};
  if (!SaveTags(edited, path))
    QMessageBox::critical(QApplication::activeWindow(), "Error",
                          QString("The tags of %1 could not be saved.").arg(path));
}

}  // namespace qmb
