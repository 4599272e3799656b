// Adding files on real folders: the walk (loops, unreadable folders, odd
// names), drops, the Add Files buttons, addresses, and re-entry.
#include "playlist/adding_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;

// Runs events as the Qt desktop would: here, whatever the test asks.
class EventDesktop : public test::ScriptedDesktop {
 public:
  std::function<void()> onEvents;
  void ProcessPendingEvents() override {
    ScriptedDesktop::ProcessPendingEvents();
    if (auto run = std::exchange(onEvents, nullptr)) run();
  }
};

class AddingFilesTest : public ::testing::Test {
 protected:
  AddingFilesTest() {
    store.playEntry = [this](int restart, int, int) { plays.push_back(restart); };
  }
  std::string Make(const std::string& name) {
    fs::create_directories(fs::path(folder.Path() + name).parent_path());
    folder.Write(name, "x");
    return folder.Path() + name;
  }
  std::vector<std::string> Added() {
    std::vector<std::string> paths;
    for (int row = 0; row < store.list.Count(); ++row) {
      paths.push_back(EntryPath(store.list, row).substr(folder.Path().size()));
    }
    return paths;
  }

  test::TempFolder folder;
  EventDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore store{panel};
  FileAdder adder{store};
  std::vector<int> plays;
};

// The walk as user nobody when we are root, whom no permission stops.
int WalkAs(FileAdder& adder, const std::string& folder) {
  if (::geteuid() != 0) return adder.AddFolderTree(folder);
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
    ::_exit(adder.AddFolderTree(folder));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

TEST_F(AddingFilesTest, WalkIsDepthFirstInNameOrderOnceThroughLoopsAndSkipsUnreadable) {
  Make("b.mp3");
  Make("a/z.ogg");
  Make("a/inner/y.wav");
  Make("locked/hidden.mp3");
  Make("odd/line\nbreak.mp3");
  Make("odd/bad\xff\xfe.mp3");
  fs::create_directory_symlink(folder.Path() + "a", folder.Path() + "a/inner/loop");
  fs::create_directory_symlink(folder.Path(), folder.Path() + "odd/up");
  ::chmod(folder.Path().c_str(), 0755);
  for (const char* name : {"a", "a/inner", "odd"}) ::chmod((folder.Path() + name).c_str(), 0755);
  ::chmod((folder.Path() + "locked").c_str(), 0);

  EXPECT_EQ(WalkAs(adder, folder.Path()), 5) << "the locked folder adds nothing";
  ::chmod((folder.Path() + "locked").c_str(), 0755);
  EXPECT_EQ(adder.AddFolderTree(folder.Path() + "a"), 2);
  EXPECT_EQ(Added(), (std::vector<std::string>{"a/inner/y.wav", "a/z.ogg"}));
  EXPECT_FALSE(adder.Busy());

  // Odd names are kept byte for byte, and a saved list reads back whole.
  store.list.RemoveAll();
  adder.AddFolderTree(folder.Path() + "odd");
  ASSERT_EQ(Added(), (std::vector<std::string>{"odd/bad\xff\xfe.mp3", "odd/line\nbreak.mp3",
                                               "odd/up/a/inner/y.wav", "odd/up/a/z.ogg",
                                               "odd/up/b.mp3", "odd/up/locked/hidden.mp3"}));
  std::string saved = QplText(store.list);
  PlaylistStore reread{panel};
  ASSERT_EQ(ParseQpl(reread, saved), kOk);
  ASSERT_EQ(reread.list.Count(), 6);
  EXPECT_EQ(EntryPath(reread.list, 0), folder.Path() + "odd/bad\xff\xfe.mp3");
  EXPECT_EQ(EntryPath(reread.list, 2), folder.Path() + "odd/up/a/inner/y.wav");
}

TEST_F(AddingFilesTest, DropsAddFoldersFirstThenFilesThenPlayAndAPlaylistEndsTheDrop) {
  std::string file = Make("one.mp3");
  Make("dir/sub/two.mp3");
  Make("dir/three.ogg");
  ASSERT_TRUE(adder.DropPaths({folder.Path() + "dir", file}));
  EXPECT_EQ(Added(), (std::vector<std::string>{"dir/sub/two.mp3", "dir/three.ogg", "one.mp3"}));
  EXPECT_EQ(plays, std::vector<int>{0});

  store.list.RemoveAll();
  plays.clear();
  folder.Write("list.m3u", "#EXTM3U\n" + file + "\n");
  ASSERT_TRUE(adder.DropPaths({folder.Path() + "list.m3u", Make("x.mp3"), Make("y.mp3")}));
  EXPECT_EQ(Added(), std::vector<std::string>{"one.mp3"});
  EXPECT_TRUE(plays.empty());
}

TEST_F(AddingFilesTest, AnAddWhileAnotherRunsIsRefused) {
  for (int i = 0; i < 3; ++i) Make("d/" + std::to_string(i) + ".mp3");
  int inner = 0;
  bool dropped = true;
  desktop.onEvents = [&] {
    inner = adder.AddFolderTree(folder.Path() + "d");
    dropped = adder.DropPaths({folder.Path() + "d"});
  };
  EXPECT_EQ(adder.AddFolderTree(folder.Path() + "d"), 3);
  EXPECT_EQ(inner, -1);
  EXPECT_FALSE(dropped);
  EXPECT_EQ(store.list.Count(), 3);
}

TEST_F(AddingFilesTest, AddFilesButtonsAndWhenClearPlaylistFirstClears) {
  for (const char* name : {"c.mp3", "a.mp3", "b.wav"}) Make(std::string("f/") + name);
  fs::create_directory(folder.Path() + "f/folder.mp3");
  AddFilesForm form;
  int hides = 0;
  form.hide = [&] { ++hides; };
  ChooseFolder(form, folder.Path() + "f");
  ASSERT_EQ(form.files, (std::vector<std::string>{"a.mp3", "b.wav", "c.mp3"}));

  struct Case {
    const char* what;
    std::function<void()> press;
    int rowsAfter;  // from 2 rows in the playlist, "Clear playlist first" checked
  } cases[] = {
      {"double click", [&] { AddFileUnderCursor(adder, form); }, 1},
      {"Add Selected", [&] { AddSelectedFiles(adder, form); }, 2},
      {"Add All", [&] { AddAllFiles(adder, form); }, 3},
      {"Add Directories", [&] { AddDirectories(adder, form); }, 3},
      {"Open", [&] { OpenChosenFile(store, form); }, 3},
  };
  form.clearFirst.SetChecked(true);
  form.closeWhenDone.SetChecked(true);
  for (const Case& c : cases) {
    store.list.RemoveAll();
    AddPlaylistEntry(store, "/old/1.mp3");
    AddPlaylistEntry(store, "/old/2.mp3");
    form.cursor = 1;
    form.selected = {0, 2};
    c.press();
    EXPECT_EQ(store.list.Count(), c.rowsAfter) << c.what;
  }
  EXPECT_EQ(hides, 4) << "Open does not close the window";
  EXPECT_EQ(plays, std::vector<int>{1}) << "Open plays what it added";
  EXPECT_EQ(EntryPath(store.list, 2), folder.Path() + "f/a.mp3");
  EXPECT_EQ(form.progress.value, 0);

  // An empty folder: the range 0 ... -1, nothing added, the time reported.
  fs::create_directory(folder.Path() + "empty");
  ChooseFolder(form, folder.Path() + "empty");
  form.clearFirst.SetChecked(false);
  EXPECT_EQ(AddAllFiles(adder, form), 0);
  EXPECT_EQ(form.progress.maximum, -1);
  EXPECT_EQ(store.list.Count(), 3);
  EXPECT_EQ(form.caption.Text(), "Add Files To Playlist - Took  0 Seconds to complete process.");
}

TEST_F(AddingFilesTest, AddUrlTakesTheAddressOrReportsTheCancel) {
  desktop.textAnswers = {std::string("http://radio.example/stream.mp3"), std::string(),
                         std::nullopt};
  EXPECT_EQ(AddUrl(store), kOk);
  EXPECT_EQ(AddUrl(store), kUrlCanceled) << "an empty box";
  EXPECT_EQ(AddUrl(store), kUrlCanceled) << "cancelled";
  ASSERT_EQ(store.list.Count(), 1);
  EXPECT_EQ(store.list.Icon(0), kIconNetwork);
  EXPECT_TRUE(desktop.messages.empty());
}

}  // namespace
}  // namespace qmb
