// Writing playlists, reading back what was written, and choosing the format
// by the extension.
#include "playlist/playlist_files.h"

#include <gtest/gtest.h>

#include "core/status_codes.h"
#include "playlist/playlist_dialogs.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

class PlaylistFilesTest : public ::testing::Test {
 protected:
  PlaylistFilesTest() {
    source.today = loaded.today = [] { return std::string("07/04/04"); };
    AddPlaylistEntry(source, "/music/one.mp3",
                     {"First Song", "00:03:35.34", "7", "01/02/03", "04/05/06"});
    AddPlaylistEntry(source, "http://radio.example:8000/live", {"", {}, {}, {}, {}});
    AddPlaylistEntry(source, "/music/a.b/three.ogg");
    source.list.SetField(2, kPlayedThisCycle, "Yes");
  }
  void ExpectSameField(int field) {
    ASSERT_EQ(loaded.list.Count(), source.list.Count());
    for (int row = 0; row < source.list.Count(); ++row) {
      EXPECT_EQ(loaded.list.Field(row, field), source.list.Field(row, field))
          << "row " << row << " field " << field;
    }
  }

  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore source{panel};
  PlaylistStore loaded{panel};
  test::TempFolder folder;
};

TEST_F(PlaylistFilesTest, WritersUseCrLfAndTheirLayouts) {
  EXPECT_EQ(QspText(source.list),
            "QMBQSPv1\r\n/music/one.mp3\r\nhttp://radio.example:8000/live\r\n"
            "/music/a.b/three.ogg\r\n");
  EXPECT_EQ(M3uText(source.list),
            "#EXTM3U\r\n#EXTINF:0,First Song\r\n/music/one.mp3\r\n#EXTINF:0,\r\n"
            "http://radio.example:8000/live\r\n#EXTINF:0,three\r\n/music/a.b/three.ogg\r\n");
  std::string qpl = QplText(source.list);
  EXPECT_TRUE(qpl.starts_with(
      "QMBQPLv1\r\n/music/one.mp3\r\nFirst Song\r\n00:03:35.34\r\n7\r\n01/02/03\r\n04/05/06\r\n"
      "http://radio.example:8000/live\r\n\r\nUnknown\r\n"))
      << qpl;
  std::string pls = PlsText(source.list);
  EXPECT_TRUE(
      pls.starts_with("[playlist]\r\nnumberofentries= 3\r\nFile1=/music/one.mp3\r\n"
                      "Title1=First Song\r\nLength1=00:03:35.34\r\nFile2="))
      << pls;
  EXPECT_NE(pls.find("Title2=\r\nLength2=Unknown\r\nFile3="), std::string::npos);
  EXPECT_TRUE(pls.ends_with("Version=2\r\n"));
  // M3U drops only a drive prefix.
  PlaylistStore windows{panel};
  for (const char* path : {"C:\\Music\\song.mp3", "https://host/x.mp3", "/odd:name.mp3"})
    AddPlaylistEntry(windows, path);
  EXPECT_EQ(M3uText(windows.list),
            "#EXTM3U\r\n#EXTINF:0,C:\\Music\\song\r\n\\Music\\song.mp3\r\n#EXTINF:0,x\r\n"
            "https://host/x.mp3\r\n#EXTINF:0,odd:name\r\n/odd:name.mp3\r\n");
}

// Every field each format keeps, for plain paths, paths with blanks, long
// paths, UTF-8 titles and addresses; an entry without a path is left out
// without losing the ones after it.
TEST_F(PlaylistFilesTest, WhatThePlayerWritesReadsBackTheSame) {
  ASSERT_EQ(ParsePls(source, "[playlist]\nnumberofentries=1\nFile1=  \n"), kOk);
  AddPlaylistEntry(source, folder.Path() + "my music/one song.mp3",
                   {"Артист - Песня", "00:02:03.00", {}, {}, {}});
  AddPlaylistEntry(source, "/m/#hash, comma.ogg", {"", "No Length", {}, {}, {}});
  AddPlaylistEntry(source, "/" + std::string(300, 'd') + "/song.mp3");
  struct Case {
    const char* name;
    std::vector<int> kept;
  } cases[] = {
      {"l.QPL", {kPath, kTitle, kLength, kTimesPlayed, kDateAdded, kDatePlayed, kFileType}},
      {"l.pls", {kPath, kTitle, kLength}},
      {"l.m3u", {kPath, kTitle}},
      {"l.M3U8", {kPath, kTitle}},
      {"l.qsp", {kPath}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loaded.list.RemoveAll();
    ASSERT_EQ(SavePlaylist(source.list, folder.Path() + c.name), kOk);
    ASSERT_EQ(LoadPlaylist(loaded, folder.Path() + c.name, 1), kOk);
    ASSERT_EQ(loaded.list.Count(), source.list.Count() - 1);
    for (int row = 0; row < loaded.list.Count(); ++row) {
      int from = row < 3 ? row : row + 1;  // past the entry without a path
      for (int field : c.kept) {
        EXPECT_EQ(field == kPath ? EntryPath(loaded.list, row) : loaded.list.Field(row, field),
                  field == kPath ? EntryPath(source.list, from) : source.list.Field(from, field))
            << "row " << row << " field " << field;
      }
    }
  }
  EXPECT_EQ(loaded.list.Field(2, kPlayedThisCycle), "No");
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PlaylistFilesTest, LongLinesAreCutAndLineBreaksJoinedWithoutShiftingTheRest) {
  std::string longPath = "/" + std::string(5000, 'p') + ".mp3";
  ASSERT_EQ(ParseQpl(loaded, "QMBQPLv1\n" + longPath + "\nLong\n1\n2\n3\n4\n/next.mp3\nNext\n"),
            kOk);
  ASSERT_EQ(loaded.list.Count(), 2);
  EXPECT_EQ(loaded.list.Row(0).Cell(kPath).size(), 2047u);
  EXPECT_EQ(loaded.list.Field(0, kTitle), "Long");
  EXPECT_EQ(loaded.list.Field(1, kPath), "/next.mp3");

  source.list.SetField(0, kTitle, "two\nlines");
  for (bool pls : {false, true}) {
    loaded.list.RemoveAll();
    ASSERT_EQ(pls ? ParsePls(loaded, PlsText(source.list)) : ParseQpl(loaded, QplText(source.list)),
              kOk);
    ExpectSameField(kPath);
    EXPECT_EQ(loaded.list.Field(0, kTitle), "two lines");
  }
}

TEST_F(PlaylistFilesTest, PlsCountBeyondItsKeysAddsNoEmptyFlood) {
  ASSERT_EQ(ParsePls(loaded,
                     "[playlist]\nnumberofentries=2000000000\nFile1=/a.mp3\nTitle3=c\n"
                     "File999999999=/z.mp3\nLength4=beyond\nnumberofentries=3\n"),
            kOk);
  ASSERT_EQ(loaded.list.Count(), 4);  // the first count wins
  EXPECT_EQ(loaded.list.Field(1, kTitle), "c");
  EXPECT_EQ(loaded.list.Field(1, kPath), "");
  EXPECT_EQ(loaded.list.Field(2, kLength), "beyond");
  EXPECT_EQ(loaded.list.Field(3, kPath), "/z.mp3");
}

TEST_F(PlaylistFilesTest, LoadPlaylistByExtension) {
  for (const char* name : {"a.qpl", "a.QPL", "a.Pls", "a.m3u", "a.M3U8", "a.qsp", "a.xspf"})
    EXPECT_EQ(LoadPlaylist(loaded, folder.Path() + name, 0), kOk) << name;
  for (const char* name : {"a.txt", "qpl"})
    EXPECT_EQ(LoadPlaylist(loaded, folder.Path() + name, 0), kUnknownPlaylistFormat) << name;
  // Streams are played, never fetched as playlists; file URIs are files.
  EXPECT_EQ(LoadPlaylist(loaded, "http://host/live.m3u8", 0), kUnknownPlaylistFormat);
  EXPECT_EQ(LoadPlaylist(loaded, "file://" + folder.Path() + "a.pls", 0), kOk);
  EXPECT_EQ(loaded.list.Count(), 0);
  // A missing QPL or M3U is not recognized; nothing ends the player.
  EXPECT_EQ(LoadPlaylist(loaded, folder.Path() + "missing.qpl", 1), kOk);
  EXPECT_EQ(LoadPlaylist(loaded, folder.Path() + "missing.m3u", 1), kOk);
  EXPECT_EQ(desktop.Texts(), (std::vector<std::string>(
                                 2, "Qumble Player does not recognize this playlist format.")));
  // XSPF is only read.
  EXPECT_EQ(SavePlaylist(source.list, folder.Path() + "back.xspf"), kUnknownPlaylistFormat);
  EXPECT_FALSE(folder.Exists("back.xspf"));
  // Refused entries are skipped silently.
  panel.skipUnsupported.SetChecked(true);
  ASSERT_EQ(ParseQsp(loaded, "x\n/a.txt\n/b.mp3\n"), kOk);
  ASSERT_EQ(loaded.list.Count(), 1);
  EXPECT_EQ(loaded.list.Field(0, kPath), "/b.mp3");
}

TEST_F(PlaylistFilesTest, DialogsOfferThePlaylistsFolderAndFilter) {
  std::filesystem::create_directory(folder.Path() + "Playlists");
  std::string saved = folder.Path() + "Playlists/mine.m3u";
  desktop.fileChoices = {{saved}, {folder.Path() + "Playlists/mine.txt"}, {}, {saved}};
  for (int i = 0; i < 3; ++i) SavePlaylistDialog(source, folder.Path());
  LoadPlaylistDialog(loaded, folder.Path());
  ASSERT_EQ(desktop.fileDialogs.size(), 4u);
  const auto& save = desktop.fileDialogs[0];
  EXPECT_EQ(save.title, "Save Playlist");
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.initialFolder, folder.Path() + "Playlists/");
  EXPECT_EQ(save.defaultExtension, "qpl");
  EXPECT_EQ(save.filter,
            "All Supported Types (*.qpl *.pls *.m3u *.m3u8 *.qsp);;Qumble Playlist (*.qpl);;"
            "Playlist Format (*.pls);;M3U Playlist (*.m3u *.m3u8);;"
            "Qumble Simple Playlist (*.qsp)");
  EXPECT_EQ(desktop.fileDialogs[3].title, "Load Playlist");
  EXPECT_TRUE(desktop.fileDialogs[3].filter.starts_with(
      "All Supported Types (*.qpl *.pls *.m3u *.m3u8 *.qsp *.xspf);;"));
  EXPECT_TRUE(desktop.fileDialogs[3].filter.ends_with(";;XSPF Playlist (*.xspf)"));
  EXPECT_FALSE(desktop.fileDialogs[3].save);
  EXPECT_FALSE(folder.Exists("Playlists/mine.txt"));
  ExpectSameField(kTitle);
  EXPECT_TRUE(desktop.messages.empty());
}

using PlaylistFilesDeathTest = PlaylistFilesTest;

TEST_F(PlaylistFilesDeathTest, UnreadableOrUnwritableFileEndsTheProgram) {
  std::filesystem::create_directory(folder.Path() + "dir.qpl");
  EXPECT_EXIT(LoadQpl(loaded, folder.Path() + "dir.qpl"), ::testing::ExitedWithCode(1),
              "Can't open file .*dir.qpl");
  EXPECT_EXIT(SaveM3u(source.list, folder.Path() + "no/such/folder.m3u"),
              ::testing::ExitedWithCode(1), "Can't open file .*folder.m3u");
}

}  // namespace
}  // namespace qmb
