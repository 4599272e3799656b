// Playlists as other programs write them: M3U and M3U8 without strict pairs,
// PLS from other players, XSPF, and entries relative to the playlist file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/status_codes.h"
#include "playlist/playlist_files.h"
#include "support/loopback_http_server.h"
#include "support/scripted_desktop.h"
#include "test_files.h"

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

class PlaylistFormatsTest : public ::testing::Test {
 protected:
  PlaylistFormatsTest() {
    store.today = [] { return std::string("07/04/04"); };
  }

  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore store{panel};
  test::TestFolder folder;
};

TEST_F(PlaylistFormatsTest, M3uAsOtherPlayersWriteIt) {
  const std::string longTitle(3000, 'T');
  struct Case {
    const char* what;
    std::string bytes;
    int status;
    std::vector<Entry> entries;
  } cases[] = {
      {"paths without #EXTINF",
       "#EXTM3U\n/m/a.mp3\n/m/b.mp3\n",
       kOk,
       {{"/m/a.mp3", "a", "Unknown"}, {"/m/b.mp3", "b", "Unknown"}}},
      {"comments and blank lines",
       "#EXTM3U\n# made by hand\n#EXTINF:10,A\n/m/a.mp3\n\n  \n#EXTINF:20,B\n/m/b.mp3\n",
       kOk,
       {{"/m/a.mp3", "A", "00:00:10.00"}, {"/m/b.mp3", "B", "00:00:20.00"}}},
      {"byte-order mark",
       "\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,A\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "A", "00:00:01.00"}}},
      {"relative paths",
       "#EXTM3U\na.wav\nsub/b.wav\n./c.wav\n../d.wav\n",
       kOk,
       {{"/lists/a.wav", "a", "Unknown"},
        {"/lists/sub/b.wav", "b", "Unknown"},
        {"/lists/c.wav", "c", "Unknown"},
        {"/lists/../d.wav", "d", "Unknown"}}},
      {"trailing #EXTINF",
       "#EXTM3U\n/m/a.mp3\n#EXTINF:5,Lost\n",
       kOk,
       {{"/m/a.mp3", "a", "Unknown"}}},
      {"UTF-8 title",
       "#EXTM3U\n#EXTINF:123, АБВГД\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "АБВГД", "00:02:03.00"}}},
      {"artist and title",
       "#EXTM3U\n#EXTINF:123, Artist - Title\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "Artist - Title", "00:02:03.00"}}},
      {"header only", "#EXTM3U\n", kOk, {}},
      {"header without line end", "#EXTM3U", kOk, {}},
      {"Windows line ends",
       "#EXTM3U\r\n#EXTINF:1,A\r\n/m/a.mp3\r\n\r\n/m/b.mp3\r\n",
       kOk,
       {{"/m/a.mp3", "A", "00:00:01.00"}, {"/m/b.mp3", "b", "Unknown"}}},
      {"3000-byte line",
       "#EXTM3U\n#EXTINF:1," + longTitle + "\n/m/a.mp3\n/m/b.mp3\n",
       kOk,
       {{"/m/a.mp3", std::string(kFieldReadLimit, 'T'), "00:00:01.00"},
        {"/m/b.mp3", "b", "Unknown"}}},
      {"path with spaces",
       "#EXTM3U\n#EXTINF:1,S\n/m/my song.mp3\nmy other song.mp3\n",
       kOk,
       {{"/m/my song.mp3", "S", "00:00:01.00"},
        {"/lists/my other song.mp3", "my other song", "Unknown"}}},
      {"address line",
       "#EXTM3U\n#EXTINF:-1,Radio\nhttp://radio.example:8000/live\n",
       kOk,
       {{"http://radio.example:8000/live", "Radio", "Unknown"}}},
      {"file URIs",
       "#EXTM3U\nfile:///m/My%20Song.mp3\nfile://localhost/m/x.mp3\nFILE:/m/%41%00%zz.mp3\n"
       "file://otherhost/m/y.mp3\n",
       kOk,
       {{"/m/My Song.mp3", "My Song", "Unknown"},
        {"/m/x.mp3", "x", "Unknown"},
        {"/m/A%00%zz.mp3", "A%00%zz", "Unknown"},
        {"file://otherhost/m/y.mp3", "y", "Unknown"}}},
      {"the player's own file",
       "#EXTM3U\r\n#EXTINF:0,First\r\n/m/a.mp3\r\n#EXTINF:0,\r\n\\Music\\b.mp3\r\n",
       kOk,
       {{"/m/a.mp3", "First", "Unknown"}, {"\\Music\\b.mp3", "", "Unknown"}}},
      {"#EXTINF without a title, other tags between",
       "#EXTM3U x-tvg-url=\"u\"\n#extinf:7.5\n#EXTVLCOPT:network-caching=1000\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "a", "00:00:07.50"}}},
      {"stray return before a comment",
       "#EXTM3U\n\r\t# c\n/m/a.mp3\n",
       kOk,
       {{"/m/a.mp3", "a", "Unknown"}}},
      {"no header", "/m/a.mp3\n", kUnknownPlaylistFormat, {}},
      {"mark without header", "\xEF\xBB\xBF/m/a.mp3\n", kUnknownPlaylistFormat, {}},
      {"header word run on", "#EXTM3UX\n/m/a.mp3\n", kUnknownPlaylistFormat, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.list.RemoveAll();
    EXPECT_EQ(ParseM3u(store, c.bytes, "/lists/"), c.status);
    EXPECT_EQ(Entries(store), c.entries);
  }
}

TEST_F(PlaylistFormatsTest, PlsFromOtherPlayers) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<Entry> entries;
  } cases[] = {
      {"gaps, not from 1, any letter case",
       "\xEF\xBB\xBF[Playlist]\nNumberOfEntries=4\nFILE2=b.mp3\ntitle2=B\nFile4=/m/d.mp3\n",
       {{"/lists/b.mp3", "B", ""}, {"/m/d.mp3", "", ""}}},
      {"counted from 0",
       "[playlist]\nnumberofentries=2\nFile0=/m/a.mp3\nFile1=/m/b.mp3\n",
       {{"/m/a.mp3", "", ""}, {"/m/b.mp3", "", ""}}},
      {"seconds and streams",
       "[playlist]\nnumberofentries=3\nFile1=/m/a.mp3\nLength1=215\n"
       "File2=http://radio.example/live\nLength2=-1\nFile3=/m/c.mp3\nLength3=00:01:00.00\n",
       {{"/m/a.mp3", "", "00:03:35.00"},
        {"http://radio.example/live", "", ""},
        {"/m/c.mp3", "", "00:01:00.00"}}},
      {"file URI",
       "[playlist]\nnumberofentries=1\nFile1=file:///m/a%20b.mp3\n",
       {{"/m/a b.mp3", "", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.list.RemoveAll();
    EXPECT_EQ(ParsePls(store, c.bytes, "/lists/"), kOk);
    EXPECT_EQ(Entries(store), c.entries);
  }
}

// The same music beside and above the playlists in each format, read with
// the working folder somewhere else entirely.
TEST_F(PlaylistFormatsTest, RelativeEntriesNameFilesBesideThePlaylist) {
  fs::create_directories(folder / "music/sub");
  fs::create_directories(folder / "lists");
  fs::create_directories(folder / "elsewhere");
  for (const char* name : {"music/a.wav", "music/sub/b c.wav", "lists/d.wav"}) {
    test::WriteBytes(folder / name, "RIFF");
  }
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"l.m3u", "#EXTM3U\n../music/a.wav\n../music/sub/b c.wav\nd.wav\n"},
      {"l.m3u8", "\xEF\xBB\xBF#EXTM3U\r\n../music/a.wav\r\n../music/sub/b c.wav\r\n./d.wav\r\n"},
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
  const std::string lists = folder / "lists/";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(lists + c.name, c.bytes);
    for (bool relativeName : {false, true}) {
      store.list.RemoveAll();
      {
        // Loaded by a relative name, the playlist is found from the working
        // folder as opening it was; by its full name, from anywhere.
        WorkingFolder in(relativeName ? folder.Path() : folder / "elsewhere");
        std::string name = relativeName ? std::string("lists/") + c.name : lists + c.name;
        ASSERT_EQ(LoadPlaylist(store, name, 1), kOk);
      }
      std::vector<std::string> paths;
      for (const Entry& e : Entries(store)) paths.push_back(e.path);
      ASSERT_EQ(paths, (std::vector<std::string>{lists + "../music/a.wav",
                                                 lists + "../music/sub/b c.wav", lists + "d.wav"}));
      for (const std::string& path : paths) EXPECT_TRUE(fs::exists(path)) << path;
    }
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PlaylistFormatsTest, XspfTracksFromAFile) {
  std::string xspf = folder / "mix.xspf";
  test::WriteBytes(xspf, R"(<?xml version="1.0" encoding="UTF-8"?>
<playlist version="1" xmlns="http://xspf.org/ns/0/">
  <title>Not a track</title>
  <trackList>
    <track>
      <location>sub/first song.ogg</location>
      <location>ignored.ogg</location>
      <creator>Artist</creator><title>Первая</title><duration>61500</duration>
      <extension application="x"><title>nested, ignored</title></extension>
    </track>
    <track><location>file:///music/My%20Song.mp3</location><title>Second</title></track>
    <track><location> http://radio.example/live%20now </location><creator>Radio</creator>
      <duration>-1</duration></track>
    <track><title>nothing to play</title></track>
  </trackList>
</playlist>
)");
  ASSERT_EQ(LoadPlaylist(store, xspf, 1), kOk);
  EXPECT_EQ(Entries(store), (std::vector<Entry>{
                                {folder / "sub/first song.ogg", "Artist - Первая", "00:01:01.50"},
                                {"/music/My Song.mp3", "Second", "Unknown"},
                                {"http://radio.example/live%20now", "Radio", "Unknown"},
                            }));
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(SavePlaylist(store.list, folder / "back.xspf"), kUnknownPlaylistFormat);
  EXPECT_FALSE(fs::exists(folder / "back.xspf"));
}

TEST_F(PlaylistFormatsTest, DamagedXspfKeepsWhatCameBeforeTheDamage) {
  const std::string head = "<?xml version=\"1.0\"?><playlist><trackList>";
  struct Case {
    const char* what;
    std::string bytes;
    int status;
    std::vector<std::string> paths;
  } cases[] = {
      {"cut inside the third track",
       head + "<track><location>/m/a.mp3</location></track>"
              "<track><location>/m/b.mp3</location></track><track><location>/m/c.m",
       kOk,
       {"/m/a.mp3", "/m/b.mp3"}},
      {"cut inside the first track",
       head + "<track><location>/m/a.mp3</loc",
       kUnknownPlaylistFormat,
       {}},
      {"broken after a track",
       head + "<track><location>/m/a.mp3</location></track><x></y>",
       kOk,
       {"/m/a.mp3"}},
      {"no tracks at all", head + "</trackList></playlist>", kOk, {}},
      {"another XML file",
       "<html><track><location>/m/a.mp3</location></track></html>",
       kUnknownPlaylistFormat,
       {}},
      {"not XML", "#EXTM3U\n/m/a.mp3\n", kUnknownPlaylistFormat, {}},
      {"empty", "", kUnknownPlaylistFormat, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.list.RemoveAll();
    EXPECT_EQ(ParseXspf(store, c.bytes, "/l/"), c.status);
    std::vector<std::string> paths;
    for (const Entry& e : Entries(store)) paths.push_back(e.path);
    EXPECT_EQ(paths, c.paths);
  }
}

TEST_F(PlaylistFormatsTest, XspfExternalEntitiesAreNeitherFetchedNorExpanded) {
  test::LoopbackHttpServer server("SECRET-OVER-HTTP", test::LoopbackHttpServer::Mode::kWhole);
  std::string secret = folder / "secret.txt";
  test::WriteBytes(secret, "SECRET-ON-DISK");
  std::string xspf = folder / "entity.xspf";
  std::string bytes = "<?xml version=\"1.0\"?>\n<!DOCTYPE playlist [\n  <!ENTITY disk SYSTEM \"" +
                      secret + "\">\n  <!ENTITY web SYSTEM \"" + server.Url("secret") +
                      "\">\n]>\n<playlist><trackList><track><location>/m/&disk;a&web;.mp3"
                      "</location><title>&disk;T&web;</title></track></trackList></playlist>\n";
  test::WriteBytes(xspf, bytes);
  ASSERT_EQ(LoadPlaylist(store, xspf, 1), kOk);
  EXPECT_EQ(Entries(store), (std::vector<Entry>{{"/m/a.mp3", "T", "Unknown"}}));
  EXPECT_EQ(server.Requests(), 0);
  EXPECT_EQ(test::ReadBytes(xspf), bytes);
  EXPECT_EQ(test::ReadBytes(secret), "SECRET-ON-DISK");
}

// What the player writes reads back the same: every field each format keeps,
// for plain paths, paths with blanks, UTF-8 titles and addresses.
TEST_F(PlaylistFormatsTest, WhatThePlayerWritesReadsBackTheSame) {
  PlaylistStore source{panel};
  source.today = store.today;
  EntryTexts texts;
  texts.title = "Артист - Песня";
  texts.length = "00:02:03.00";
  AddPlaylistEntry(source, folder / "my music/one song.mp3", texts);
  AddPlaylistEntry(source, "http://radio.example:8000/live");
  texts.title = "";
  texts.length = "No Length";
  AddPlaylistEntry(source, "/m/#hash, comma.ogg", texts);
  struct Case {
    const char* name;
    std::vector<int> kept;
  } cases[] = {
      {"r.qpl", {kPath, kTitle, kLength, kTimesPlayed, kDateAdded, kDatePlayed}},
      {"r.pls", {kPath, kTitle, kLength}},
      {"r.m3u", {kPath, kTitle}},
      {"r.m3u8", {kPath, kTitle}},
      {"r.qsp", {kPath}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store.list.RemoveAll();
    ASSERT_EQ(SavePlaylist(source.list, folder / c.name), kOk);
    ASSERT_EQ(LoadPlaylist(store, folder / c.name, 1), kOk);
    ASSERT_EQ(store.list.Count(), source.list.Count());
    for (int row = 0; row < source.list.Count(); ++row) {
      for (int field : c.kept) {
        EXPECT_EQ(store.list.Field(row, field), source.list.Field(row, field))
            << "row " << row << " field " << field;
      }
    }
  }
  EXPECT_TRUE(desktop.messages.empty());
}

}  // namespace
}  // namespace qmb
