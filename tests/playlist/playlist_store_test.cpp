// New entries, and the playlist kept across a restart or handed over by a
// second start.
#include "playlist/playlist_store.h"

#include <gtest/gtest.h>

#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_session.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

class PlaylistStoreTest : public ::testing::Test {
 protected:
  PlaylistStoreTest() {
    store.today = [] { return std::string("07/04/04"); };
  }
  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore store{panel};
  test::TempFolder folder;
};

TEST(ClassifyPathTest, IconsAndRefusals) {
  struct Case {
    const char* path;
    int icon;
  } cases[] = {
      // clang-format off
      {"/m/a.mp3", 0}, {"/m/a.MP2", 0}, {"/m/a.asf", 0}, {"/m/a.wav", 2}, {"/m/a.ogg", 2},
      {"/m/a.cda", 3}, {"cda://1/track2", 3}, {"http://host/live", 4}, {"https://host/live", 4},
      {"http://host/a.mp3", 4}, {"http://host/a.ogg", 2}, {"/m/a.xm", 6}, {"/m/a.s3m", 6},
      {"/m/a.3m", 6},  // a partial extension is found in "s3m"
      {"/m/a.mid", 6}, {"/m/a.rmi", 6}, {"/m/a.wma", 8}, {"/m/a.flac", -1}, {"/m/noext", -1},
      {"HTTP://host/x", -1},  // path tests keep letter case
      {"", -1}, {"/m/a.", -1},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyPath(c.path), c.icon) << c.path;
}

TEST(ClassifyPathTest, ExtensionsAndTitles) {
  struct Case {
    const char* path;
    const char* ext;
    const char* title;
  } cases[] = {
      {"/music/song.MP3", "mp3", "song"},
      {"/music/a.b/track", "b/track", "track"},
      {"/music/archive.tar.gz", "gz", "archive.tar"},
      {"/music/.hidden", "hidden", ""},
      {"noslash.ogg", "ogg", "noslash"},
      {"/music/dir/", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathExtension(c.path), c.ext) << c.path;
    EXPECT_EQ(PathTitle(c.path), c.title) << c.path;
  }
}

TEST_F(PlaylistStoreTest, NewEntryDefaultsAndSizes) {
  std::string path = folder.Path() + "song.MP3";
  folder.Write("song.MP3", std::string(2048, 'x'));
  folder.Write("big.wav", std::string(5000, 'x'));
  for (const std::string& p : {path, std::string("http://host/a.mp3"), folder.Path(),
                               folder.Path() + "missing.mp3", folder.Path() + "big.wav"}) {
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
  EXPECT_EQ(GetEntryField(store.list, 4, kFileSize), "4 Kb");
}

TEST_F(PlaylistStoreTest, UnsupportedPathsFollowTheSettingAtTheMomentOfTheCall) {
  std::string dotted = "/music/a.b/track";
  ASSERT_EQ(AddPlaylistEntry(store, dotted), kOk);
  EXPECT_EQ(store.list.Icon(0), kIconUnsupported);
  EXPECT_EQ(GetEntryField(store.list, 0, kFileType), "b/track");
  panel.skipUnsupported.SetChecked(true);
  store.list.SetCursor(0);
  EXPECT_EQ(AddPlaylistEntry(store, dotted), kUnsupportedFile);
  EXPECT_EQ(store.list.Count(), 1);
  EXPECT_EQ(store.list.Cursor(), 0);
  EXPECT_EQ(AddPlaylistEntry(store, "/music/ok.ogg"), kOk);
}

TEST_F(PlaylistStoreTest, InsertPutsTheEntryThereAndTheCursorOnTheLastRow) {
  for (int i = 0; i < 5; ++i) AddPlaylistEntry(store, "/m/" + std::to_string(i) + ".mp3");
  ASSERT_EQ(AddPlaylistEntry(store, "/m/new.mp3", {"inserted", {}, "12", {}, {}}, 2), kOk);
  EXPECT_EQ(GetEntryField(store.list, 2, kTitle), "inserted");
  EXPECT_EQ(GetEntryField(store.list, 2, kTimesPlayed), "12");
  EXPECT_EQ(GetEntryField(store.list, 3, kTitle), "2");
  EXPECT_EQ(store.list.Cursor(), 5);
}

TEST_F(PlaylistStoreTest, InputPluginsDecideTheIcon) {
  store.inputPlugins.find = [](const std::string& path) {
    return path.ends_with(".flac") ? 0 : -1;
  };
  store.inputPlugins.icon = [](int, const std::string& ext) { return ext == "flac" ? 5 : -1; };
  panel.skipUnsupported.SetChecked(true);
  ASSERT_EQ(AddPlaylistEntry(store, "/m/a.flac"), kOk);
  EXPECT_EQ(store.list.Icon(0), 5);
  EXPECT_EQ(FindInputPlugin(store, "/m/a.mp3"), -1);
}

TEST_F(PlaylistStoreTest, PlaylistSurvivesARestart) {
  EXPECT_EQ(LoadLastPlaylist(store, folder.Path()), kUnknownPlaylistFormat);
  AddPlaylistEntry(store, "/m/a.mp3");
  store.list.SetField(0, kTimesPlayed, "3");
  AddPlaylistEntry(store, "http://host/stream");
  SaveLastPlaylist(store.list, folder.Path());
  PlaylistStore second{panel};
  EXPECT_EQ(LoadLastPlaylist(second, folder.Path()), kOk);
  ASSERT_EQ(second.list.Count(), 2);
  EXPECT_EQ(second.list.Field(0, kTimesPlayed), "3");
  EXPECT_EQ(second.list.Field(1, kPath), "http://host/stream");
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
  EXPECT_EQ(store.list.Count(), 2);
  EXPECT_EQ(store.list.Cursor(), 1);
  EXPECT_EQ(played, (std::vector<std::tuple<int, int, int>>{{0, -1, 1}}));

  folder.Write("list.m3u", "#EXTM3U\n#EXTINF:0,T\n/m/x.mp3\n");
  ReceiveHandOff(store, folder.Path() + "list.m3u", 1);
  EXPECT_EQ(store.list.Count(), 3);
  EXPECT_EQ(played.size(), 1u);

  panel.skipUnsupported.SetChecked(true);
  ReceiveHandOff(store, "/m/readme.txt", 0);
  EXPECT_EQ(desktop.Texts(),
            (std::vector<std::string>{"Cannot add unsupported files to the playlist."}));
  EXPECT_EQ(played.size(), 1u);
}

}  // namespace
}  // namespace qmb
