#include "tags/title_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "core/status_codes.h"
#include "playlist/entry_title.h"
#include "playlist/playlist_store.h"

namespace qmb {
namespace {

// A tag source holding records by path, as a file plug-in would answer.
class RecordedTags : public TagSource {
 public:
  std::map<std::string, TagRecord> records;
  std::optional<TagRecord> ReadTags(const std::string& path) override {
    auto it = records.find(path);
    if (it == records.end()) return std::nullopt;
    return it->second;
  }
};

TagRecord Record(const char* artist, const char* song, const char* length = "0") {
  TagRecord r = EmptyTagRecord();
  SetTagText(r.artist, artist);
  SetTagText(r.songName, song);
  SetTagText(r.length, length);
  return r;
}

TEST(TitleFormatTest, EveryLetterAndLiteral) {
  TagRecord r = EmptyTagRecord();
  SetTagText(r.genre, "G");
  SetTagText(r.artist, "Ar");
  SetTagText(r.album, "Al");
  SetTagText(r.songName, "So");
  SetTagText(r.year, "1999");
  SetTagText(r.copyright, "Co");
  SetTagText(r.comment, "Cm");
  SetTagText(r.track, "07");
  SetTagText(r.mood, "Mo");
  SetTagText(r.rating, "Ra");
  SetTagText(r.length, "215347");
  EXPECT_EQ(ExpandTitleFormat("a|s|A|g|c|y|C|t|m|r|l|L|x", r),
            "Ar|So|Al|G|Cm|1999|Co|07|Mo|Ra|00:03:35.34|215.347|x");
  EXPECT_EQ(ExpandTitleFormat("s (y) [L]", r), "So (1999) [215.347]");
}

TEST(TitleFormatTest, FieldsAndTitlesStayInTheirLimits) {
  TagRecord r = Record(std::string(99, 'x').c_str(), "y");
  EXPECT_EQ(ExpandTitleFormat(std::string(40, 'a'), r).size(), kTitleLimit);
  std::memset(r.artist, 'z', sizeof r.artist);  // no terminator: runs into album
  SetTagText(r.album, "AL");
  EXPECT_EQ(ExpandTitleFormat("a", r), std::string(100, 'z'));
  SetTagText(r.artist, std::string(98, 'a') + "\xC3\xA9");  // é straddles the 99-byte limit
  EXPECT_EQ(TagText(r.artist), std::string(98, 'a'));
}

class FormatEntryTitleTest : public ::testing::Test {
 protected:
  ControlPanelModel panel;
  PlaylistStore store{panel};
  RecordedTags tags;
  const std::string path = "/music/a.b/Track One.mp3";
  void SetUp() override { ASSERT_EQ(AddPlaylistEntry(store, path), kOk); }
};

TEST_F(FormatEntryTitleTest, TheFourTitleChoicesAndTheLength) {
  struct Case {
    const char *artist, *song, *length, *title, *lengthText;
  } cases[] = {
      {"X", "Y", "0", "X - Y", "Unknown"},
      {"X", "", "0", "X", "Unknown"},
      {"", "", "0", "Track One", "Unknown"},
      {"", "Y", "215347", "Y", "00:03:35.34"},
  };
  for (const Case& c : cases) {
    tags.records[path] = Record(c.artist, c.song, c.length);
    EXPECT_EQ(FormatEntryTitle(store.list, tags, "a - s", path, 0), kOk);
    EXPECT_EQ(GetEntryField(store.list, 0, kTitle), c.title);
    EXPECT_EQ(GetEntryField(store.list, 0, kLength), c.lengthText);
  }
}

TEST_F(FormatEntryTitleTest, NoTagsLeavesTheRowAlone) {
  NoTagSource none;
  EXPECT_EQ(FormatEntryTitle(store.list, none, "a - s", path, 0), kNoFilePlugin);
  EXPECT_EQ(FormatEntryTitle(store.list, tags, "a - s", path, 0), kNoFilePlugin);
  EXPECT_EQ(GetEntryField(store.list, 0, kTitle), "Track One");
  EXPECT_EQ(GetEntryField(store.list, 0, kLength), "Unknown");
}

}  // namespace
}  // namespace qmb
