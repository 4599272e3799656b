// Writing playlists and reading back what was written; reading them as the
// player and other programs write them (M3U and M3U8 without strict pairs, PLS
// from other players, QPL, QSP and XSPF, entries relative to the playlist
// file); choosing the format by the extension; the profile files PLS and
// skins are read with.
#include "playlist/playlist_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/profile_file.h"
#include "core/status_codes.h"
#include "playlist/playlist_dialogs.h"
#include "support/loopback_http_server.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string path, title, length;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* out) {
  *out << "{" << e.path << " | " << e.title << " | " << e.length << "}";
}

std::vector<Entry> Entries(const PlaylistStore& store) {
  std::vector<Entry> entries;
  for (int row = 0; row < store.list.Count(); ++row) {
    entries.push_back({EntryPath(store.list, row), store.list.Field(row, kTitle),
                       store.list.Field(row, kLength)});
  }
  return entries;
}

// One field of every row; the path whole, as the player plays it.
std::vector<std::string> Column(const PlaylistStore& store, int field) {
  std::vector<std::string> cells;
  for (int row = 0; row < store.list.Count(); ++row)
    cells.push_back(field == kPath ? EntryPath(store.list, row) : store.list.Field(row, field));
  return cells;
}

// Runs the process in `folder` for a while: the working folder a player was
// started from must never decide where a playlist's entries are.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~WorkingFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

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
  int Parse(PlaylistFormat format, std::string_view bytes) {
    using enum PlaylistFormat;
    if (format == kQpl) return ParseQpl(loaded, bytes);
    if (format == kPls) return ParsePls(loaded, bytes, "/lists/");
    if (format == kM3u) return ParseM3u(loaded, bytes, "/lists/");
    if (format == kQsp) return ParseQsp(loaded, bytes, "/lists/");
    return ParseXspf(loaded, bytes, "/lists/");
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
  const std::pair<const char*, std::vector<int>> cases[] = {
      {"l.QPL", {kPath, kTitle, kLength, kTimesPlayed, kDateAdded, kDatePlayed, kFileType}},
      {"l.pls", {kPath, kTitle, kLength}},
      {"l.m3u", {kPath, kTitle}},
      {"l.M3U8", {kPath, kTitle}},
      {"l.qsp", {kPath}},
  };
  for (const auto& [name, kept] : cases) {
    SCOPED_TRACE(name);
    loaded.list.RemoveAll();
    ASSERT_EQ(SavePlaylist(source.list, folder.Path() + name), kOk);
    ASSERT_EQ(LoadPlaylist(loaded, folder.Path() + name, 1), kOk);
    for (int field : kept) {
      std::vector<std::string> want = Column(source, field);
      want.erase(want.begin() + 3);  // the entry without a path
      EXPECT_EQ(Column(loaded, field), want) << "field " << field;
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
  EXPECT_EQ(std::tuple(loaded.list.Field(0, kTitle), loaded.list.Field(1, kPath)),
            std::tuple("Long", "/next.mp3"));

  source.list.SetField(0, kTitle, "two\nlines");
  for (bool pls : {false, true}) {
    loaded.list.RemoveAll();
    ASSERT_EQ(pls ? ParsePls(loaded, PlsText(source.list)) : ParseQpl(loaded, QplText(source.list)),
              kOk);
    EXPECT_EQ(Column(loaded, kPath), Column(source, kPath));
    EXPECT_EQ(loaded.list.Field(0, kTitle), "two lines");
  }
}

TEST_F(PlaylistFilesTest, PlsCountBeyondItsKeysAddsNoEmptyFlood) {
  ASSERT_EQ(ParsePls(loaded,
                     "[playlist]\nnumberofentries=2000000000\nFile1=/a.mp3\nTitle3=c\n"
                     "File999999999=/z.mp3\nLength4=beyond\nnumberofentries=3\n"),
            kOk);
  // The first count wins.
  EXPECT_EQ(Entries(loaded),
            (std::vector<Entry>{
                {"/a.mp3", "", ""}, {"", "c", ""}, {"", "", "beyond"}, {"/z.mp3", "", ""}}));
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
  EXPECT_EQ(Entries(loaded), (std::vector<Entry>{{"/b.mp3", "b", "Unknown"}}));
}

TEST_F(PlaylistFilesTest, DialogsOfferThePlaylistsFolderAndFilter) {
  fs::create_directory(folder.Path() + "Playlists");
  std::string saved = folder.Path() + "Playlists/mine.m3u";
  desktop.fileChoices = {{saved}, {folder.Path() + "Playlists/mine.txt"}, {}, {saved}};
  for (int i = 0; i < 3; ++i) SavePlaylistDialog(source, folder.Path());
  LoadPlaylistDialog(loaded, folder.Path());
  ASSERT_EQ(desktop.fileDialogs.size(), 4u);
  const auto& save = desktop.fileDialogs[0];
  EXPECT_EQ(std::tie(save.title, save.save, save.initialFolder, save.defaultExtension),
            std::tuple("Save Playlist", true, folder.Path() + "Playlists/", "qpl"));
  EXPECT_EQ(save.filter,
            "All Supported Types (*.qpl *.pls *.m3u *.m3u8 *.qsp);;Qumble Playlist (*.qpl);;"
            "Playlist Format (*.pls);;M3U Playlist (*.m3u *.m3u8);;"
            "Qumble Simple Playlist (*.qsp)");
  const auto& load = desktop.fileDialogs[3];
  EXPECT_EQ(std::tie(load.title, load.save), std::tuple("Load Playlist", false));
  EXPECT_TRUE(
      load.filter.starts_with("All Supported Types (*.qpl *.pls *.m3u *.m3u8 *.qsp *.xspf);;"));
  EXPECT_TRUE(load.filter.ends_with(";;XSPF Playlist (*.xspf)"));
  EXPECT_FALSE(folder.Exists("Playlists/mine.txt"));
  EXPECT_EQ(Column(loaded, kTitle), Column(source, kTitle));
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PlaylistFilesTest, ReadersTakeWhatOtherProgramsWrite) {
  using enum PlaylistFormat;
  const std::string longTitle(3000, 'T');
  const std::string xspf = "<?xml version=\"1.0\"?><playlist><trackList>";
  const std::string track = "<track><location>/m/a.mp3</location></track>";
  const Entry a{"/m/a.mp3", "a", "Unknown"}, b{"/m/b.mp3", "b", "Unknown"};
  const Entry a1{"/m/a.mp3", "A", "00:00:01.00"};
  const int kNo = kUnknownPlaylistFormat;
  const std::tuple<PlaylistFormat, const char*, std::string, int, std::vector<Entry>> cases[] = {
      // clang-format off
      {kM3u, "byte-order mark", "\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,A\n/m/a.mp3\n", kOk, {a1}},
      {kM3u, "relative paths", "#EXTM3U\na.wav\nsub/b.wav\n./c.wav\n../d.wav\n", kOk,
       {{"/lists/a.wav", "a", "Unknown"}, {"/lists/sub/b.wav", "b", "Unknown"},
        {"/lists/c.wav", "c", "Unknown"}, {"/lists/../d.wav", "d", "Unknown"}}},
      {kM3u, "trailing #EXTINF", "#EXTM3U\n/m/a.mp3\n#EXTINF:5,Lost\n", kOk, {a}},
      {kM3u, "UTF-8 title with a comma", "#EXTM3U\n#EXTINF:123, АБВ, Artist - Title\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "АБВ, Artist - Title", "00:02:03.00"}}},
      {kM3u, "header without line end", "#EXTM3U", kOk, {}},
      {kM3u, "Windows line ends, blank lines",
       "#EXTM3U\r\n#EXTINF:1,A\r\n/m/a.mp3\r\n\r\n  \r\n/m/b.mp3\r\n", kOk, {a1, b}},
      {kM3u, "3000-byte line", "#EXTM3U\n#EXTINF:1," + longTitle + "\n/m/a.mp3\n/m/b.mp3\n", kOk,
       {{"/m/a.mp3", std::string(kFieldReadLimit, 'T'), "00:00:01.00"}, b}},
      {kM3u, "file URIs", "#EXTM3U\nfile:///m/My%20Song.mp3\nfile://localhost/m/x.mp3\n"
       "FILE:/m/%41%00%zz.mp3\nfile://otherhost/m/y.mp3\n", kOk,
       {{"/m/My Song.mp3", "My Song", "Unknown"}, {"/m/x.mp3", "x", "Unknown"},
        {"/m/A%00%zz.mp3", "A%00%zz", "Unknown"}, {"file://otherhost/m/y.mp3", "y", "Unknown"}}},
      {kM3u, "#EXTINF without a title, other tags between",
       "#EXTM3U x-tvg-url=\"u\"\n#extinf:7.5\n#EXTVLCOPT:network-caching=1000\n/m/a.mp3\n", kOk,
       {{"/m/a.mp3", "a", "00:00:07.50"}}},
      {kM3u, "stray return before a comment", "#EXTM3U\n\r\t# c\n/m/a.mp3\n", kOk, {a}},
      {kM3u, "no header", "/m/a.mp3\n", kNo, {}},
      {kM3u, "header word run on", "#EXTM3UX\n/m/a.mp3\n", kNo, {}},
      {kPls, "gaps, not from 1, any letter case",
       "\xEF\xBB\xBF[Playlist]\nNumberOfEntries=4\nFILE2=b.mp3\ntitle2=B\nFile4=/m/d.mp3\n", kOk,
       {{"/lists/b.mp3", "B", ""}, {"/m/d.mp3", "", ""}}},
      {kPls, "counted from 0",
       "[playlist]\nnumberofentries=2\nFile0=/m/a.mp3\nFile1=/m/b.mp3\n", kOk,
       {{"/m/a.mp3", "", ""}, {"/m/b.mp3", "", ""}}},
      {kPls, "blanks around keys and values",
       "[PlayList]\r\nNumberOfEntries = 1\r\nfile1 = /m/a.mp3 \r\nTITLE1=  T \r\n", kOk,
       {{"/m/a.mp3", "T", ""}}},
      {kPls, "seconds and streams",
       "[playlist]\nnumberofentries=3\nFile1=/m/a.mp3\nLength1=215\n"
       "File2=http://radio.example/live\nLength2=-1\nFile3=/m/c.mp3\nLength3=00:01:00.00\n", kOk,
       {{"/m/a.mp3", "", "00:03:35.00"}, {"http://radio.example/live", "", ""},
        {"/m/c.mp3", "", "00:01:00.00"}}},
      {kQpl, "header without line end", "QMBQPLv1", kOk, {}},
      {kQpl, "another version", "QMBQPLv2\n/m/a.mp3\n", kNo, {}},
      {kQpl, "an empty path ends the file", "QMBQPLv1\n/m/a.mp3\nA\n\n\n\n\n\n/m/b.mp3\nB\n", kOk,
       {{"/m/a.mp3", "A", ""}}},
      {kQsp, "any first line, a blank line ends the file",
       "whatever\n/m/a.mp3\n/m/b.mp3\n\n/m/c.mp3\n", kOk, {a, b}},
      {kQsp, "empty first line", "\n/m/a.mp3\n", kNo, {}},
      {kXspf, "tracks with creators, durations, URIs and nothing to play",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist xmlns=\"http://xspf.org/ns/0/\">\n"
       "  <title>no track</title>\n  <trackList>\n    <track>\n"
       "      <location>sub/first song.ogg</location><location>ignored.ogg</location>\n"
       "<creator>Artist</creator><title>Первая</title><duration>61500</duration>"
       "<extension application=\"x\"><title>nested, ignored</title></extension>\n    </track>\n"
       "<track><location>file:///m/My%20Song.mp3</location><title>Second</title></track>"
       "<track><location> http://radio.example/live%20now </location><creator>Radio</creator>"
       "<duration>-1</duration></track><track><title>nothing to play</title></track>"
       "</trackList></playlist>", kOk,
       {{"/lists/sub/first song.ogg", "Artist - Первая", "00:01:01.50"},
        {"/m/My Song.mp3", "Second", "Unknown"},
        {"http://radio.example/live%20now", "Radio", "Unknown"}}},
      {kXspf, "cut inside the third track",
       xspf + track + "<track><location>/m/b.mp3</location></track><track><location>/m/c.m", kOk,
       {a, b}},
      {kXspf, "cut inside the first track", xspf + "<track><location>/m/a.mp3</loc", kNo, {}},
      {kXspf, "another XML file", "<html>" + track + "</html>", kNo, {}},
      {kXspf, "empty", "", kNo, {}},
      // clang-format on
  };
  for (const auto& [format, what, bytes, status, entries] : cases) {
    SCOPED_TRACE(what);
    loaded.list.RemoveAll();
    EXPECT_EQ(Parse(format, bytes), status);
    EXPECT_EQ(Entries(loaded), entries);
  }
}

// The same music beside and above the playlists in each format, read with
// the working folder somewhere else entirely.
TEST_F(PlaylistFilesTest, RelativeEntriesNameFilesBesideThePlaylist) {
  for (const char* sub : {"lists", "elsewhere"}) fs::create_directories(folder.Path() + sub);
  // M3U and M3U8: the real player's hand-off test.
  const std::pair<const char*, std::string> cases[] = {
      {"l.pls",
       "[playlist]\nnumberofentries=3\nFile1=../music/a.wav\nFile2=../music/sub/b c.wav\n"
       "File3=d.wav\n"},
      {"l.qsp", "QMBQSPv1\n../music/a.wav\n../music/sub/b c.wav\nd.wav\n"},
      {"l.xspf",
       "<playlist xmlns=\"http://xspf.org/ns/0/\"><trackList>"
       "<track><location>../music/a.wav</location></track>"
       "<track><location>../music/sub/b%20c.wav</location></track>"
       "<track><location>d.wav</location></track></trackList></playlist>"},
  };
  const std::string lists = folder.Path() + "lists/";
  for (const auto& [file, bytes] : cases) {
    SCOPED_TRACE(file);
    folder.Write(std::string("lists/") + file, bytes);
    for (bool relativeName : {false, true}) {
      loaded.list.RemoveAll();
      {
        // Loaded by a relative name, the playlist is found from the working
        // folder as opening it was; by its full name, from anywhere.
        WorkingFolder in(folder.Path() + (relativeName ? "" : "elsewhere"));
        std::string name = relativeName ? std::string("lists/") + file : lists + file;
        ASSERT_EQ(LoadPlaylist(loaded, name, 1), kOk);
      }
      EXPECT_EQ(Column(loaded, kPath),
                (std::vector<std::string>{lists + "../music/a.wav", lists + "../music/sub/b c.wav",
                                          lists + "d.wav"}));
    }
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PlaylistFilesTest, XspfExternalEntitiesAreNeitherFetchedNorExpanded) {
  test::LoopbackHttpServer server("SECRET-OVER-HTTP", test::LoopbackHttpServer::Mode::kWhole);
  folder.Write("secret.txt", "SECRET-ON-DISK");
  std::string bytes = "<?xml version=\"1.0\"?>\n<!DOCTYPE playlist [\n  <!ENTITY disk SYSTEM \"" +
                      folder.Path() + "secret.txt\">\n  <!ENTITY web SYSTEM \"" +
                      server.Url("secret") +
                      "\">\n]>\n<playlist><trackList><track><location>/m/&disk;a&web;.mp3"
                      "</location><title>&disk;T&web;</title></track></trackList></playlist>\n";
  folder.Write("entity.xspf", bytes);
  ASSERT_EQ(LoadPlaylist(loaded, folder.Path() + "entity.xspf", 1), kOk);
  EXPECT_EQ(Entries(loaded), (std::vector<Entry>{{"/m/a.mp3", "T", "Unknown"}}));
  EXPECT_EQ(server.Requests(), 0);
}

using PlaylistFilesDeathTest = PlaylistFilesTest;

TEST_F(PlaylistFilesDeathTest, UnreadableOrUnwritableFileEndsTheProgram) {
  fs::create_directory(folder.Path() + "dir.qpl");
  EXPECT_EXIT(LoadQpl(loaded, folder.Path() + "dir.qpl"), ::testing::ExitedWithCode(1),
              "Can't open file .*dir.qpl");
  EXPECT_EXIT(SaveM3u(source.list, folder.Path() + "no/such/folder.m3u"),
              ::testing::ExitedWithCode(1), "Can't open file .*folder.m3u");
}

TEST(ProfileFileTest, WindowsLookupRules) {
  ProfileFile p = ProfileFile::Parse(
      "stray=before any section\n"
      "[Main0]\r\n"
      "Graphic = skin.bmp \r\n"
      "; a comment = not a key? it is one\n"
      "GRAPHIC=second.bmp\n"
      "NumStages=3 stages\n"
      "Negative=-12\n"
      "Huge=99999999999\n"
      "=no name\n"
      "  [ Slider12 ]  \n"
      "X=1\n"
      "[main0]\n"
      "Extra=hidden by the first Main0\n");
  const std::tuple<const char*, const char*, std::optional<std::string>> cases[] = {
      {"main0", "graphic", "skin.bmp"},   {"MAIN0", "Graphic", "skin.bmp"},
      {"Main0", "NumStages", "3 stages"}, {"Slider12", "x", "1"},
      {"Main0", "Extra", std::nullopt},   {"", "stray", std::nullopt},
      {"Main0", "", std::nullopt},        {"Nope", "Graphic", std::nullopt},
  };
  for (const auto& [section, key, value] : cases) EXPECT_EQ(p.Get(section, key), value) << key;
  std::vector<int> ints;
  for (const char* key : {"NumStages", "Negative", "Huge", "Graphic", "Absent"})
    ints.push_back(p.GetInt("Main0", key, -1));
  EXPECT_EQ(ints, (std::vector<int>{3, -12, 2147483647, 0, -1}));
  EXPECT_EQ(p.GetString("Main0", "Graphic", "", 4), "skin");
  EXPECT_EQ(p.GetString("Main0", "Absent", "fallback"), "fallback");
}

}  // namespace
}  // namespace qmb
