#include "tags/title_format.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <tuple>

#include "core/status_codes.h"
#include "playlist/entry_title.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"

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
  const std::pair<char(TagRecord::*)[kTagFieldSize], const char*> fields[] = {
      {&TagRecord::genre, "G"},     {&TagRecord::artist, "Ar"},    {&TagRecord::album, "Al"},
      {&TagRecord::songName, "So"}, {&TagRecord::year, "1999"},    {&TagRecord::copyright, "Co"},
      {&TagRecord::comment, "Cm"},  {&TagRecord::track, "07"},     {&TagRecord::mood, "Mo"},
      {&TagRecord::rating, "Ra"},   {&TagRecord::length, "215347"}};
  for (auto [field, text] : fields) SetTagText(r.*field, text);
  EXPECT_EQ(ExpandTitleFormat("a|s|A|g|c|y|C|t|m|r|l|L|x", r),
            "Ar|So|Al|G|Cm|1999|Co|07|Mo|Ra|00:03:35.34|215.347|x");
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
  const std::array<const char*, 5> cases[] = {
      // artist, song, length, title, length text
      {"X", "Y", "0", "X - Y", "Unknown"},
      {"X", "", "0", "X", "Unknown"},
      {"", "", "0", "Track One", "Unknown"},
      {"", "Y", "215347", "Y", "00:03:35.34"},
  };
  for (auto [artist, song, length, title, lengthText] : cases) {
    tags.records[path] = Record(artist, song, length);
    EXPECT_EQ(FormatEntryTitle(store.list, tags, "a - s", path, 0), kOk);
    EXPECT_EQ(GetEntryField(store.list, 0, kTitle), title);
    EXPECT_EQ(GetEntryField(store.list, 0, kLength), lengthText);
  }
}

TEST(NumberTextTest, BlankBeforeNonNegativeAndFifteenDigits) {
  const std::pair<double, const char*> cases[] = {
      {2, " 2"},       {-2, "-2"},
      {0, " 0"},       {1.0 / 3, " 0.333333333333333"},
      {-0.0, "-0"},    {999999999999999, " 999999999999999"},
      {1e15, " 1E+15"}};
  for (auto [x, text] : cases) EXPECT_EQ(NumberText(x), text) << x;
}

TEST(NumberTextTest, ZeroPadPadsOneDigitOnly) {
  const auto min = std::numeric_limits<std::int64_t>::min();
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "00"}, {7, "07"}, {42, "42"}, {-5, "-05"}, {min, "-9223372036854775808"}};
  for (auto [x, text] : cases) EXPECT_EQ(ZeroPad(x), text) << x;
}

TEST(NumberTextTest, TimeTexts) {
  const std::tuple<float, int, float, const char*> cases[] = {
      {0, 0, 0, "00:00:00.00"},     {3725.5f, 0, 0, "01:02:05.50"}, {215.347f, 0, 0, "00:03:35.34"},
      {30, 1, 200, "-00:02:50.00"}, {200, 1, 30, "-00:02:50.00"},   {360000, 0, 0, "100:00:00.00"},
      {-5, 0, 0, "-00:00:05.00"}};
  for (auto [seconds, remaining, reference, text] : cases)
    EXPECT_EQ(TimeText(seconds, remaining, reference), text) << seconds;
}

TEST(NumberTextTest, TimeTextSurvivesValuesNoClockHolds) {
  for (float v : {std::numeric_limits<float>::infinity(), 3.0e38f, -3.0e38f})
    EXPECT_NE(TimeText(v, 0, 0).find(':'), std::string::npos);
  EXPECT_EQ(TimeText(std::numeric_limits<float>::quiet_NaN(), 0, 0), "00:00:00.00");
}

TEST(NumberTextTest, MaskedNumbers) {
  using Case = std::tuple<const char*, double, const char*>;
  const Case cases[] = {{"###", 12, "12"},
                        {"###", 1234567, "1,234,567"},
                        {"###", -123456, "-123,456"},
                        {"#,###.##", 1234.567, "1,234.57"},
                        {"$###.#", 5.25, "$5.2"},

                        {"###.", 3.7, "4"}};
  for (auto [mask, x, text] : cases) EXPECT_EQ(MaskedNumber(mask, x), text) << mask;
}

TEST(NumberTextTest, MaskedNumberOfHugeAndOddValuesStaysSane) {
  EXPECT_EQ(MaskedNumber("###", 1e300).size(), 301u + 100u);
  EXPECT_EQ(MaskedNumber("###", std::nan("")), "nan");
  EXPECT_EQ(MaskedNumber("###", -std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_LT(MaskedNumber("#." + std::string(1000, '#'), 1).size(), 64u);
}

}  // namespace
}  // namespace qmb
