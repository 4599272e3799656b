// Adding entries: a new entry's fields, icons and refusals; the walk on real
// folders (loops, unreadable folders, odd names), the Add Files buttons,
// addresses and re-entry; the playlist kept across a restart or handed over by
// a second start; what a drop adds, and in which order.
#include "playlist/adding_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_session.h"
#include "playlist/playlist_store.h"
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
    store.today = [] { return std::string("07/04/04"); };
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
  for (const char* name : {"b.mp3", "a/z.ogg", "a/inner/y.wav", "locked/hidden.mp3",
                           "odd/line\nbreak.mp3", "odd/bad\xff\xfe.mp3"})
    Make(name);
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
  store.list.RemoveAll();
  ASSERT_EQ(ParseQpl(store, saved), kOk);
  ASSERT_EQ(Added().size(), 6u);
  EXPECT_EQ(Added()[0], "odd/bad\xff\xfe.mp3");
  EXPECT_EQ(Added()[2], "odd/up/a/inner/y.wav");
}

TEST_F(AddingFilesTest, DropsAddFoldersFirstThenFilesThenPlayAndAPlaylistEndsTheDrop) {
  std::string file = Make("one.mp3");
  for (const char* name : {"dir/sub/two.mp3", "dir/three.ogg"}) Make(name);
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
  EXPECT_EQ(std::tuple(inner, dropped, store.list.Count()), std::tuple(-1, false, 3));
}

TEST_F(AddingFilesTest, AddFilesButtonsAndWhenClearPlaylistFirstClears) {
  for (const char* name : {"c.mp3", "a.mp3", "b.wav"}) Make(std::string("f/") + name);
  fs::create_directory(folder.Path() + "f/folder.mp3");
  AddFilesForm form;
  int hides = 0;
  form.hide = [&] { ++hides; };
  ChooseFolder(form, folder.Path() + "f");
  ASSERT_EQ(form.files, (std::vector<std::string>{"a.mp3", "b.wav", "c.mp3"}));

  // The rows after each press, from 2 in the playlist, "Clear playlist first" checked.
  const std::tuple<const char*, std::function<void()>, int> cases[] = {
      {"double click", [&] { AddFileUnderCursor(adder, form); }, 1},
      {"Add Selected", [&] { AddSelectedFiles(adder, form); }, 2},
      {"Add All", [&] { AddAllFiles(adder, form); }, 3},
      {"Add Directories", [&] { AddDirectories(adder, form); }, 3},
      {"Open", [&] { OpenChosenFile(store, form); }, 3},
  };
  form.clearFirst.SetChecked(true);
  form.closeWhenDone.SetChecked(true);
  for (const auto& [what, press, rowsAfter] : cases) {
    store.list.RemoveAll();
    for (const char* old : {"/old/1.mp3", "/old/2.mp3"}) AddPlaylistEntry(store, old);
    form.cursor = 1;
    form.selected = {0, 2};
    press();
    EXPECT_EQ(store.list.Count(), rowsAfter) << what;
  }
  EXPECT_EQ(hides, 4) << "Open does not close the window";
  EXPECT_EQ(plays, std::vector<int>{1}) << "Open plays what it added";
  EXPECT_EQ(EntryPath(store.list, 2), folder.Path() + "f/a.mp3");

  // An empty folder: the range 0 ... -1, nothing added, the time reported.
  fs::create_directory(folder.Path() + "empty");
  ChooseFolder(form, folder.Path() + "empty");
  form.clearFirst.SetChecked(false);
  EXPECT_EQ(AddAllFiles(adder, form), 0);
  EXPECT_EQ(std::tuple(form.progress.maximum, store.list.Count()), std::tuple(-1, 3));
  EXPECT_EQ(form.caption.Text(), "Add Files To Playlist - Took  0 Seconds to complete process.");
}

TEST_F(AddingFilesTest, AddUrlTakesTheAddressOrReportsTheCancel) {
  desktop.textAnswers = {std::string("http://radio.example/stream.mp3"), std::string(),
                         std::nullopt};
  // An address, an empty box, a cancel.
  EXPECT_EQ((std::vector<int>{AddUrl(store), AddUrl(store), AddUrl(store)}),
            (std::vector<int>{kOk, kUrlCanceled, kUrlCanceled}));
  ASSERT_EQ(store.list.Count(), 1);
  EXPECT_EQ(store.list.Icon(0), kIconNetwork);
}

using PlaylistStoreTest = AddingFilesTest;

TEST(ClassifyPathTest, IconsAndRefusals) {
  const std::pair<const char*, int> cases[] = {
      // clang-format off
      {"/m/a.MP2", 0}, {"/m/a.ogg", 2}, {"/m/a.cda", 3}, {"cda://1/track2", 3},
      {"https://host/live", 4}, {"http://host/a.mp3", 4}, {"http://host/a.ogg", 2},
      {"/m/a.3m", 6},  // a partial extension is found in "s3m"
      {"/m/a.mid", 6}, {"/m/a.wma", 8}, {"/m/a.flac", -1}, {"/m/noext", -1},
      {"HTTP://host/x", -1},  // path tests keep letter case
      {"", -1}, {"/m/a.", -1},
      // clang-format on
  };
  for (auto [path, icon] : cases) EXPECT_EQ(ClassifyPath(path), icon) << path;
}

TEST(ClassifyPathTest, ExtensionsAndTitles) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/music/song.MP3", "mp3", "song"},
      {"/music/a.b/track", "b/track", "track"},
      {"/music/archive.tar.gz", "gz", "archive.tar"},
      {"/music/.hidden", "hidden", ""},
      {"noslash.ogg", "ogg", "noslash"},
      {"/music/dir/", "", ""}};
  for (auto [path, ext, title] : cases) {
    EXPECT_EQ(std::tuple(PathExtension(path), PathTitle(path)), std::tuple(ext, title)) << path;
  }
}

TEST_F(PlaylistStoreTest, NewEntryDefaultsAndSizes) {
  std::string path = folder.Path() + "song.MP3";
  folder.Write("song.MP3", std::string(2048, 'x'));
  for (const std::string& p :
       {path, std::string("http://host/a.mp3"), folder.Path(), folder.Path() + "missing.mp3"}) {
    ASSERT_EQ(AddPlaylistEntry(store, p), kOk);
  }
  const char* want[] = {"song",     path.c_str(),   "Unknown", "No", "0",
                        "07/04/04", "Never Played", "2 Kb",    "mp3"};
  for (int f = 0; f < kEntryFieldCount; ++f) EXPECT_EQ(GetEntryField(store.list, 0, f), want[f]);
  EXPECT_EQ(store.list.Row(0).Cell(kFileSize), " 2 Kb");
  EXPECT_EQ(store.list.Icon(0), kIconStream);
  EXPECT_EQ(store.list.Icon(1), kIconNetwork);
  // Addresses, folders and missing files have no size.
  for (int row : {1, 2, 3}) EXPECT_EQ(GetEntryField(store.list, row, kFileSize), "0 Kb") << row;
}

TEST_F(PlaylistStoreTest, InsertPutsTheEntryThereAndTheCursorOnTheLastRow) {
  for (int i = 0; i < 5; ++i) AddPlaylistEntry(store, "/m/" + std::to_string(i) + ".mp3");
  ASSERT_EQ(AddPlaylistEntry(store, "/m/new.mp3", {"inserted", {}, "12", {}, {}}, 2), kOk);
  EXPECT_EQ(
      std::tuple(GetEntryField(store.list, 2, kTitle), GetEntryField(store.list, 2, kTimesPlayed),
                 GetEntryField(store.list, 3, kTitle), store.list.Cursor()),
      std::tuple("inserted", "12", "2", 5));
}

TEST_F(PlaylistStoreTest, UnrecognizedLastPlaylistIsMovedAsideNotOverwritten) {
  const std::string name = kLastPlaylistName;
  folder.Write(name, "precious but not a playlist\n");
  EXPECT_EQ(LoadLastPlaylist(store, folder.Path()), kUnknownPlaylistFormat);
  SaveLastPlaylist(store.list, folder.Path());
  EXPECT_EQ(folder.Read(name + kUnrecognizedPlaylistSuffix), "precious but not a playlist\n");
  EXPECT_EQ(folder.Read(name), "QMBQPLv1\r\n");
}

TEST_F(PlaylistStoreTest, HandOffAppendsAndPlaysOrLoads) {
  std::vector<std::tuple<int, int, int>> played;
  store.playEntry = [&](int a, int b, int c) { played.emplace_back(a, b, c); };
  AddPlaylistEntry(store, "/m/first.mp3");
  store.list.SetCursor(0);
  ReceiveHandOff(store, "/m/handed.ogg", 0);
  EXPECT_EQ(std::tuple(store.list.Count(), store.list.Cursor()), std::tuple(2, 1));
  EXPECT_EQ(played, (std::vector<std::tuple<int, int, int>>{{0, -1, 1}}));
  // A playlist handed over: the real player's hand-off test.
  panel.skipUnsupported.SetChecked(true);
  ReceiveHandOff(store, "/m/readme.txt", 0);
  EXPECT_EQ(desktop.Texts(),
            (std::vector<std::string>{"Cannot add unsupported files to the playlist."}));
  EXPECT_EQ(played.size(), 1u);
}

}  // namespace
}  // namespace qmb
