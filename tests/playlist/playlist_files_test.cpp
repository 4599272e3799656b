#include "playlist/playlist_files.h"

#include <gtest/gtest.h>

#include "core/status_codes.h"
#include "playlist/playlist_dialogs.h"
#include "support/scripted_desktop.h"
#include "test_files.h"

namespace qmb {
namespace {

class PlaylistFilesTest : public ::testing::Test {
 protected:
  PlaylistFilesTest() {
    source.today = loaded.today = [] { return std::string("07/04/04"); };
    EntryTexts first;
    first.title = "First Song";
    first.length = "00:03:35.34";
    first.timesPlayed = "7";
    first.dateAdded = "01/02/03";
    first.datePlayed = "04/05/06";
    AddPlaylistEntry(source, "/music/one.mp3", first);
    EntryTexts second;
    second.title = "";
    AddPlaylistEntry(source, "http://radio.example:8000/live", second);
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
  test::TestFolder folder;
};

TEST_F(PlaylistFilesTest, QplKeepsTitlesLengthsCountsAndDates) {
  std::string path = folder / "list.qpl";
  SaveQpl(source.list, path);
  EXPECT_EQ(LoadQpl(loaded, path), kOk);
  for (int field : {kTitle, kPath, kLength, kTimesPlayed, kDateAdded, kDatePlayed, kFileType}) {
    ExpectSameField(field);
  }
  EXPECT_EQ(loaded.list.Field(2, kPlayedThisCycle), "No");
  EXPECT_EQ(loaded.list.Field(1, kTitle), "");
}

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
}

TEST_F(PlaylistFilesTest, EachFormatKeepsWhatItKeeps) {
  struct Case {
    const char* name;
    std::vector<int> kept;
  } cases[] = {
      {"l.pls", {kPath, kTitle, kLength}},
      {"l.m3u", {kPath, kTitle}},
      {"l.M3U8", {kPath, kTitle}},
      {"l.qsp", {kPath}},
      {"l.QPL", {kPath, kTitle, kLength, kTimesPlayed, kDateAdded, kDatePlayed}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loaded.list.RemoveAll();
    std::string path = folder / c.name;
    ASSERT_EQ(SavePlaylist(source.list, path), kOk);
    ASSERT_EQ(LoadPlaylist(loaded, path, 1), kOk);
    for (int field : c.kept) ExpectSameField(field);
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PlaylistFilesTest, M3uDropsOnlyADrivePrefix) {
  PlaylistStore windows{panel};
  AddPlaylistEntry(windows, "C:\\Music\\song.mp3");
  AddPlaylistEntry(windows, "https://host/x.mp3");
  AddPlaylistEntry(windows, "/odd:name.mp3");
  EXPECT_EQ(M3uText(windows.list),
            "#EXTM3U\r\n#EXTINF:0,C:\\Music\\song\r\n\\Music\\song.mp3\r\n#EXTINF:0,x\r\n"
            "https://host/x.mp3\r\n#EXTINF:0,odd:name\r\n/odd:name.mp3\r\n");
}

TEST_F(PlaylistFilesTest, ReadersOnHandWrittenFiles) {
  struct Case {
    const char* name;
    std::string bytes;
    int status;
    std::vector<std::pair<std::string, std::string>> entries;  // path, title
  } cases[] = {
      {"header.qpl", "QMBQPLv1\r\n", kOk, {}},
      {"bare.qpl", "QMBQPLv1", kOk, {}},
      {"wrong.qpl", "QMBQPLv2\n/a.mp3\n", kUnknownPlaylistFormat, {}},
      {"lf.qpl",
       "QMBQPLv1\n/a.mp3\nA\n1\n2\n3\n4\n/b.mp3\nB\n",
       kOk,
       {{"/a.mp3", "A"}, {"/b.mp3", "B"}}},
      {"stop.qpl", "QMBQPLv1\n/a.mp3\nA\n\n\n\n\n\n/b.mp3\nB\n", kOk, {{"/a.mp3", "A"}}},
      {"two.pls",
       "[playlist]\nnumberofentries=2\nFile1=/a.mp3\nFile2=/b.mp3\n",
       kOk,
       {{"/a.mp3", ""}, {"/b.mp3", ""}}},
      {"case.pls",
       "[PlayList]\r\nNumberOfEntries = 1\r\nfile1 = /a.mp3 \r\nTITLE1=  T \r\n",
       kOk,
       {{"/a.mp3", "T"}}},
      {"plain.m3u",
       "#EXTM3U\n#EXTINF:123,Artist, Song\n/a.mp3\n#EXTINF:-1\n/b.mp3\n#EXTINF:1,C\n",
       kOk,
       {{"/a.mp3", "Artist, Song"}, {"/b.mp3", "b"}}},
      {"noheader.m3u", "/a.mp3\n", kUnknownPlaylistFormat, {}},
      {"any.qsp", "whatever\n/a.mp3\n/b.mp3\n\n/c.mp3\n", kOk, {{"/a.mp3", "a"}, {"/b.mp3", "b"}}},
      {"empty.qsp", "\n/a.mp3\n", kUnknownPlaylistFormat, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loaded.list.RemoveAll();
    std::string path = folder / c.name;
    test::WriteBytes(path, c.bytes);
    int status = kOk;
    switch (PlaylistFormatOf(path)) {
      case PlaylistFormat::kQpl:
        status = LoadQpl(loaded, path);
        break;
      case PlaylistFormat::kPls:
        status = LoadPls(loaded, path);
        break;
      case PlaylistFormat::kM3u:
        status = LoadM3u(loaded, path);
        break;
      case PlaylistFormat::kQsp:
        status = LoadQsp(loaded, path);
        break;
      case PlaylistFormat::kXspf:
      case PlaylistFormat::kNone:
        FAIL();
    }
    EXPECT_EQ(status, c.status);
    ASSERT_EQ(loaded.list.Count(), static_cast<int>(c.entries.size()));
    for (int row = 0; row < loaded.list.Count(); ++row) {
      EXPECT_EQ(loaded.list.Field(row, kPath), c.entries[row].first);
      EXPECT_EQ(loaded.list.Field(row, kTitle), c.entries[row].second);
    }
  }
}

TEST_F(PlaylistFilesTest, LongLinesAreCutWithoutShiftingTheRest) {
  std::string longPath = "/" + std::string(5000, 'p') + ".mp3";
  std::string bytes = "QMBQPLv1\n" + longPath + "\nLong\n1\n2\n3\n4\n/next.mp3\nNext\n";
  ASSERT_EQ(ParseQpl(loaded, bytes), kOk);
  ASSERT_EQ(loaded.list.Count(), 2);
  EXPECT_EQ(loaded.list.Row(0).Cell(kPath).size(), 2047u);
  EXPECT_EQ(loaded.list.Field(0, kTitle), "Long");
  EXPECT_EQ(loaded.list.Field(1, kPath), "/next.mp3");
}

TEST_F(PlaylistFilesTest, LineBreaksInsideFieldsDoNotBreakTheFile) {
  source.list.SetField(0, kTitle, "two\nlines");
  ASSERT_EQ(ParseQpl(loaded, QplText(source.list)), kOk);
  ExpectSameField(kPath);
  EXPECT_EQ(loaded.list.Field(0, kTitle), "two lines");
  loaded.list.RemoveAll();
  ASSERT_EQ(ParsePls(loaded, PlsText(source.list)), kOk);
  EXPECT_EQ(loaded.list.Field(0, kTitle), "two lines");
}

TEST_F(PlaylistFilesTest, SavingNeverLosesEntriesOrCutsLongPaths) {
  std::string longPath = "/" + std::string(300, 'd') + "/song.mp3";
  AddPlaylistEntry(source, longPath);
  ASSERT_EQ(ParsePls(source, "[playlist]\nnumberofentries=3\nFile1=  \nFile3=/after.mp3\n"), kOk);
  ASSERT_EQ(source.list.Count(), 6);  // one of them without a path
  for (const char* name : {"k.qpl", "k.pls", "k.m3u", "k.qsp"}) {
    SCOPED_TRACE(name);
    loaded.list.RemoveAll();
    ASSERT_EQ(SavePlaylist(source.list, folder / name), kOk);
    ASSERT_EQ(LoadPlaylist(loaded, folder / name, 1), kOk);
    ASSERT_EQ(loaded.list.Count(), 5);
    EXPECT_EQ(EntryPath(loaded.list, 3), longPath);
    EXPECT_EQ(loaded.list.Field(4, kPath), "/after.mp3");
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
  struct Case {
    const char* name;
    int result;
  } cases[] = {{"a.qpl", kOk},
               {"a.QPL", kOk},
               {"a.Pls", kOk},
               {"a.m3u", kOk},
               {"a.M3U8", kOk},
               {"a.qsp", kOk},
               {"a.xspf", kOk},
               {"a.txt", kUnknownPlaylistFormat},
               {"qpl", kUnknownPlaylistFormat}};
  for (const Case& c : cases)
    EXPECT_EQ(LoadPlaylist(loaded, folder / c.name, 0), c.result) << c.name;
  // Streams are played, never fetched as playlists; file URIs are files.
  EXPECT_EQ(LoadPlaylist(loaded, "http://host/live.m3u8", 0), kUnknownPlaylistFormat);
  EXPECT_EQ(LoadPlaylist(loaded, "file://" + folder.Path() + "a.pls", 0), kOk);
  EXPECT_EQ(loaded.list.Count(), 0);
  // A missing QPL, M3U or QSP is not recognized; nothing ends the player.
  EXPECT_EQ(LoadPlaylist(loaded, folder / "missing.qpl", 1), kOk);
  EXPECT_EQ(LoadPlaylist(loaded, folder / "missing.m3u", 1), kOk);
  EXPECT_EQ(desktop.Texts(), (std::vector<std::string>(
                                 2, "Qumble Player does not recognize this playlist format.")));
}

TEST_F(PlaylistFilesTest, RefusedEntriesAreSkippedSilently) {
  panel.skipUnsupported.SetChecked(true);
  ASSERT_EQ(ParseQsp(loaded, "x\n/a.txt\n/b.mp3\n"), kOk);
  ASSERT_EQ(loaded.list.Count(), 1);
  EXPECT_EQ(loaded.list.Field(0, kPath), "/b.mp3");
}

TEST_F(PlaylistFilesTest, DialogsOfferThePlaylistsFolderAndFilter) {
  test::TestFolder programFolder;
  std::filesystem::create_directory(programFolder / "Playlists");
  std::string saved = programFolder / "Playlists/mine.m3u";
  desktop.fileChoices.push_back({saved});
  desktop.fileChoices.push_back({programFolder / "Playlists/mine.txt"});
  desktop.fileChoices.push_back({});
  desktop.fileChoices.push_back({saved});
  SavePlaylistDialog(source, programFolder.Path());
  SavePlaylistDialog(source, programFolder.Path());
  SavePlaylistDialog(source, programFolder.Path());
  LoadPlaylistDialog(loaded, programFolder.Path());
  ASSERT_EQ(desktop.fileDialogs.size(), 4u);
  const auto& save = desktop.fileDialogs[0];
  EXPECT_EQ(save.title, "Save Playlist");
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.initialFolder, programFolder.Path() + "Playlists/");
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
  EXPECT_FALSE(std::filesystem::exists(programFolder / "Playlists/mine.txt"));
  ExpectSameField(kTitle);
  EXPECT_TRUE(desktop.messages.empty());
}

using PlaylistFilesDeathTest = PlaylistFilesTest;

TEST_F(PlaylistFilesDeathTest, UnreadableOrUnwritableFileEndsTheProgram) {
  std::string folderAsFile = folder / "dir.qpl";
  std::filesystem::create_directory(folderAsFile);
  EXPECT_EXIT(LoadQpl(loaded, folderAsFile), ::testing::ExitedWithCode(1),
              "Can't open file .*dir.qpl");
  EXPECT_EXIT(SaveM3u(source.list, folder / "no/such/folder.m3u"), ::testing::ExitedWithCode(1),
              "Can't open file .*folder.m3u");
}

}  // namespace
}  // namespace qmb
