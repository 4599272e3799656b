#include "skin/skin_regions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/control_models.h"
#include "core/running_state.h"
#include "skin/skin_selection.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

namespace qmb {
namespace {

TEST(RegionLine, FieldsQuotesAndMissingParts) {
  struct Case {
    const char* line;
    RegionPoint point;
  } cases[] = {
      // clang-format off
      {"12,0", {12, 0}}, {"10 20", {10, 0}},  // a blank does not separate fields
      {"\"10\",\"20\"", {10, 20}},  // quotes are removed
      {"\"1,5\",7", {1, 7}},  // a comma in quotes stays in its field
      {"42", {42, 0}}, {"", {0, 0}}, {",9", {0, 9}}, {"  -3,+4", {-3, 4}}, {"7px,8.9", {7, 8}},
      {"x,y", {0, 0}}, {"1,2,3", {1, 2}}, {"99999999999,-99999999999", {2147483647, -2147483648}},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRegionLine(c.line), c.point) << c.line;
}

std::vector<RegionPoint> Read(const test::TempFolder& folder, const std::string& content) {
  folder.Write("region.txt", content);
  std::vector<RegionPoint> points{{5, 5}};
  EXPECT_EQ(ReadRegionFile(folder.Path() + "region.txt", points), RegionRead::kRead);
  return points;
}

TEST(RegionFile, EveryLineMakesOneVertexUpToFiveThousand) {
  test::TempFolder folder;
  std::string many;
  for (int i = 0; i < 6000; ++i) many += std::to_string(i) + "," + std::to_string(-i) + "\n";
  // A line one byte past the limit keeps its head and stays one vertex.
  const std::string longLine = "7," + std::string(kMaxRegionLineBytes, '1');
  struct Case {
    std::string content;
    std::vector<RegionPoint> points;
  } cases[] = {
      {"0,0\n100,0\n100,50\n0,50\n", {{0, 0}, {100, 0}, {100, 50}, {0, 50}}},
      {"0,0\n100,0\n100,50\n0,50", {{0, 0}, {100, 0}, {100, 50}, {0, 50}}},
      {"1,1\n\n2,2\n", {{1, 1}, {0, 0}, {2, 2}}},
      {"3,4\r\n5,6\r\n", {{3, 4}, {5, 6}}},
      {"", {{0, 0}}},  // an empty file still gives one vertex
      {"\n", {{0, 0}}},
      {longLine + "\n8,9\n", {{7, 2147483647}, {8, 9}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Read(folder, c.content), c.points) << c.content.substr(0, 40);
  std::vector<RegionPoint> points = Read(folder, many);
  ASSERT_EQ(points.size(), kMaxRegionPoints);
  EXPECT_EQ(points.back(), (RegionPoint{4999, -4999}));
}

TEST(RegionFile, MissingAndUnreadable) {
  test::TempFolder folder;
  std::vector<RegionPoint> points{{1, 1}};
  EXPECT_EQ(ReadRegionFile(folder.Path() + "none.txt", points), RegionRead::kMissing);
  EXPECT_TRUE(points.empty());
  std::filesystem::create_directory(folder.Path() + "dir.txt");
  EXPECT_EQ(ReadRegionFile(folder.Path() + "dir.txt", points), RegionRead::kUnreadable);
}

TEST(SkinList, EveryNameGetsARowFilesIncluded) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder.Path() + "Skins/Blue");
  std::filesystem::create_directories(folder.Path() + "Skins/Empty");
  folder.Write("Skins/Blue/skin.ini", "[Info]\r\nName=Blue Sky\r\nVersion=QMB50\r\n");
  folder.Write("Skins/notes.txt", "not a skin");
  std::vector<SkinRow> rows = EnumerateSkins(folder.Path());
  std::set<std::pair<std::string, std::string>> got;
  for (const SkinRow& r : rows) got.insert({r.description, r.filename});
  std::string skins = folder.Path() + "Skins/";
  EXPECT_EQ(got,
            (std::set<std::pair<std::string, std::string>>{
                {"Blue Sky", skins + "Blue"}, {"", skins + "Empty"}, {"", skins + "notes.txt"}}));
  EXPECT_TRUE(EnumerateSkins(folder.Path() + "nowhere/").empty());
}

TEST(SkinStage, WrapsAndAdvances) {
  struct Case {
    int active, requested, numStages, expected;
  } cases[] = {
      // clang-format off
      {2, -1, 3, 0}, {0, -1, 3, 1}, {1, -1, 2, 0}, {0, 1, 2, 1}, {0, 5, 2, 0}, {0, 0, 0, 0},
      {0, 1, 0, 0}, {0, -1, 1, 0}, {-7, -1, 3, 0},
      // clang-format on
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextSkinStage(c.active, c.requested, c.numStages), c.expected)
        << c.active << " " << c.requested << " " << c.numStages;
  EXPECT_EQ(StageRegionPath("/s/", 0), "/s/region0.txt");
  EXPECT_EQ(StageRegionPath("/s/", 12), "/s/region12.txt");
}

TEST(SkinInversion, RefusedOnlyForDisableInverseOne) {
  RunningState state;
  CheckModel box;
  EXPECT_EQ(ToggleInversion(1, state, box), kInversionRefused);
  EXPECT_EQ(state.rasterOp, kSourceCopy);
  EXPECT_FALSE(box.Checked());
  for (std::uint8_t disable : {0, 2, 128}) {
    EXPECT_EQ(ToggleInversion(disable, state, box), 1);
    EXPECT_EQ(state.rasterOp, kInvertedSourceCopy);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(ToggleInversion(disable, state, box), 1);
    EXPECT_EQ(state.rasterOp, kSourceCopy);
    EXPECT_FALSE(box.Checked());
  }
}

TEST(RandomSkin, PicksARowOrNone) {
  test::ScriptedDesktop desktop;
  EXPECT_EQ(RandomSkinRow(0), -1);
  std::set<int> seen;
  for (int t = 0; t < 200; ++t) {
    desktop.upTimeMs = t * 1000;
    int row = RandomSkinRow(3);
    ASSERT_GE(row, 0);
    ASSERT_LT(row, 3);
    seen.insert(row);
  }
  EXPECT_EQ(seen.size(), 3u);
}

}  // namespace
}  // namespace qmb
