#include "playlist/playlist_session.h"

#include <gtest/gtest.h>

#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

class PlaylistSessionTest : public ::testing::Test {
 protected:
  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  test::TempFolder programFolder;
};

TEST_F(PlaylistSessionTest, PlaylistSurvivesARestart) {
  {
    PlaylistStore first{panel};
    EXPECT_EQ(LoadLastPlaylist(first, programFolder.Path()), kUnknownPlaylistFormat);
    AddPlaylistEntry(first, "/m/a.mp3");
    first.list.SetField(0, kTimesPlayed, "3");
    AddPlaylistEntry(first, "http://host/stream");
    SaveLastPlaylist(first.list, programFolder.Path());
  }
  PlaylistStore second{panel};
  EXPECT_EQ(LoadLastPlaylist(second, programFolder.Path()), kOk);
  ASSERT_EQ(second.list.Count(), 2);
  EXPECT_EQ(second.list.Field(0, kTimesPlayed), "3");
  EXPECT_EQ(second.list.Field(1, kPath), "http://host/stream");
}

TEST_F(PlaylistSessionTest, UnrecognizedLastPlaylistIsMovedAsideNotOverwritten) {
  const std::string name = kLastPlaylistName;
  programFolder.Write(name, "precious but not a playlist\n");
  PlaylistStore store{panel};
  EXPECT_EQ(LoadLastPlaylist(store, programFolder.Path()), kUnknownPlaylistFormat);
  SaveLastPlaylist(store.list, programFolder.Path());
  EXPECT_EQ(programFolder.Read(name + kUnrecognizedPlaylistSuffix),
            "precious but not a playlist\n");
  EXPECT_EQ(programFolder.Read(name), "QMBQPLv1\r\n");
}

TEST_F(PlaylistSessionTest, HandOffAppendsAndPlaysOrLoads) {
  PlaylistStore store{panel};
  std::vector<std::tuple<int, int, int>> played;
  store.playEntry = [&](int a, int b, int c) { played.emplace_back(a, b, c); };
  AddPlaylistEntry(store, "/m/first.mp3");
  store.list.SetCursor(0);
  ReceiveHandOff(store, "/m/handed.ogg", 0);
  EXPECT_EQ(store.list.Count(), 2);
  EXPECT_EQ(store.list.Cursor(), 1);
  EXPECT_EQ(played, (std::vector<std::tuple<int, int, int>>{{0, -1, 1}}));

  programFolder.Write("list.m3u", "#EXTM3U\n#EXTINF:0,T\n/m/x.mp3\n");
  ReceiveHandOff(store, programFolder.Path() + "list.m3u", 1);
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
