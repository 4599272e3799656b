// The TagLib plug-in's Properties dialog on copies of real files: edit, save, cancel, failure.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "plugin_library.h"
#include "temp_folder.h"

namespace qmb {
namespace {

using test::Fixture;
using test::TagPlugin;

// Runs `act` on the first modal window of type T once it is shown.
template <typename T>
void WhenShown(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(window);
    }
  });
  timer->start();
}

void SetField(QDialog* dialog, const char* name, const char* text) {
  auto* edit = dialog->findChild<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr) << name;
  edit->setText(QString::fromUtf8(text));
}

class TagDialog : public testing::TestWithParam<const char*> {
 protected:
  std::string Copy() {
    std::string path = folder.Path() + GetParam();
    std::filesystem::copy_file(Fixture(GetParam()), path);
    return path;
  }
  test::TempFolder folder;
};

// Saved through a link, the link stays a link; a field left alone keeps its tag.
TEST_P(TagDialog, CancelLeavesTheFileAloneAndOkSavesTheEditedTags) {
  std::string path = Copy();
  std::string before = folder.Read(GetParam());
  WhenShown<QDialog>([&](QDialog* dialog) {
    SetField(dialog, "artist", "Not Saved");
    dialog->reject();
  });
  TagPlugin()->Properties(path.c_str());
  EXPECT_EQ(folder.Read(GetParam()), before);

  const char* fields[] = {"artist", "title", "year", "track", "genre", "comment"};
  const std::vector<std::string> edits = {"Ünïcode Artist", "New Title", "1999", "7",
                                          "Jazz",           "Edited"};
  std::string artistShown;
  WhenShown<QDialog>([&](QDialog* dialog) {
    artistShown = dialog->findChild<QLineEdit*>("artist")->text().toStdString();
    for (size_t i = 0; i < edits.size(); ++i) SetField(dialog, fields[i], edits[i].c_str());
    dialog->accept();
  });
  std::filesystem::create_symlink(path, folder.Path() + "link");
  TagPlugin()->Properties((folder.Path() + "link").c_str());
  EXPECT_EQ(artistShown, "Test Artist");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() + "link"));
  QmbTagRecord* r = TagPlugin()->ReadTag(path.c_str());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(
      (std::vector<std::string>{r->artist, r->songName, r->year, r->track, r->genre, r->comment}),
      edits);
  EXPECT_STREQ(r->album, "Test Album");
  EXPECT_NEAR(std::atoi(r->length), 4000, 120);  // the sound survived the rewrite
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link", GetParam()}));
}

// The file changes under the open dialog into something TagLib cannot write: the user is told,
// the file keeps its bytes and no copy is left behind.
TEST_P(TagDialog, AFailedSaveIsReportedAndDamagesNothing) {
  std::string path = Copy();
  const std::string replaced = "no longer an audio file\n";
  std::string message;
  WhenShown<QDialog>([&](QDialog* dialog) {
    folder.Write(GetParam(), replaced);
    SetField(dialog, "artist", "Lost");
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      message = box->text().toStdString();
      box->accept();
    });
    dialog->accept();
  });
  TagPlugin()->Properties(path.c_str());
  EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
  EXPECT_EQ(folder.Read(GetParam()), replaced);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Formats, TagDialog,
                         testing::Values("tagged.mp3", "tagged.flac", "tagged.ogg", "tagged.m4a"),
                         test::ExtensionName);

}  // namespace
}  // namespace qmb
