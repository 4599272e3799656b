#include "core/profile_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace qmb {
namespace {

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
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"main0", "graphic", "skin.bmp"},   {"MAIN0", "Graphic", "skin.bmp"},
      {"Main0", "NumStages", "3 stages"}, {"Slider12", "x", "1"},
      {"Main0", "Extra", std::nullopt},   {"", "stray", std::nullopt},
      {"Main0", "", std::nullopt},        {"Nope", "Graphic", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(p.Get(c.section, c.key), c.value) << c.key;
  EXPECT_EQ(p.GetInt("Main0", "NumStages", -1), 3);
  EXPECT_EQ(p.GetInt("Main0", "Negative", -1), -12);
  EXPECT_EQ(p.GetInt("Main0", "Huge", -1), 2147483647);
  EXPECT_EQ(p.GetInt("Main0", "Graphic", -1), 0);
  EXPECT_EQ(p.GetInt("Main0", "Absent", -1), -1);
  EXPECT_EQ(p.GetString("Main0", "Graphic", "", 4), "skin");
  EXPECT_EQ(p.GetString("Main0", "Absent", "fallback"), "fallback");
}

TEST(ProfileFileTest, SetReplacesFirstOrAppendsAndKeepsOtherLines) {
  ProfileFile p = ProfileFile::Parse("; skin notes\n[A]\nk=1\n# note\nK=2\n");
  p.Set("a", "K", "one");
  p.Set("A", "new", "v\r\nw");
  p.Set("B", "x", "y");
  EXPECT_EQ(p.Text(),
            "; skin notes\r\n[A]\r\nk=one\r\n# note\r\nK=2\r\nnew=v  w\r\n[B]\r\nx=y\r\n");
  EXPECT_EQ(p.Keys("a"), (std::vector<std::string>{"k", "K", "new"}));
}

TEST(ProfileFileTest, SavedFileReadsBackAndMissingFileIsEmpty) {
  test::TempFolder folder;
  ProfileFile p;
  p.Set("playlist", "File1", "/a.mp3");
  ASSERT_TRUE(p.Save(folder.Path() + "x.pls"));
  EXPECT_EQ(ProfileFile::Load(folder.Path() + "x.pls").Get("PLAYLIST", "file1"), "/a.mp3");
  EXPECT_FALSE(ProfileFile::Load(folder.Path() + "none.pls").Get("playlist", "File1"));
}

}  // namespace
}  // namespace qmb
