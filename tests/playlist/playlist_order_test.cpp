// Sorting by a column compares values, and moving rows takes the selection,
// the cursor and the cue rows with them.
#include "playlist/playlist_order.h"

#include <gtest/gtest.h>

#include "playlist/playlist_editing.h"
#include "playlist/playlist_store.h"

namespace qmb {
namespace {

class PlaylistOrderTest : public ::testing::Test {
 protected:
  PlaylistOrderTest() {
    // title, length, times played, date added, date played, size
    const char* rows[][6] = {
        {"beta", "00:10:00.00", "9", "01/02/03", "Never Played", "900 Kb"},
        {"Alpha", "Unknown", "10", "12/31/99", "05/05/05", "1000 Kb"},
        {"gamma", "00:02:00.00", "2", "07/04/04", "01/01/70", "80 Kb"},
        {"alpha", "01:00:00.00", "10", "07/04/04", "12/12/12", "10000 Kb"},
    };
    for (auto& r : rows) {
      AddPlaylistEntry(store, std::string("/m/") + r[0] + ".mp3", {r[0], r[1], r[2], r[3], r[4]});
      list().SetField(list().Count() - 1, kFileSize, r[5]);
    }
  }
  EntryList& list() { return store.list; }
  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (int row = 0; row < list().Count(); ++row) titles.push_back(list().Field(row, kTitle));
    return titles;
  }

  ControlPanelModel panel;
  PlaylistStore store{panel};
};

TEST_F(PlaylistOrderTest, ColumnsSortAsValuesAndEqualRowsKeepTheirOrder) {
  using T = std::vector<std::string>;
  struct {
    int field;
    bool ascending;
    T titles;
  } cases[] = {
      {kTitle, true, T{"Alpha", "alpha", "beta", "gamma"}},
      {kLength, true, T{"Alpha", "gamma", "beta", "alpha"}},
      {kTimesPlayed, false, T{"Alpha", "alpha", "beta", "gamma"}},
      {kDateAdded, true, T{"Alpha", "beta", "gamma", "alpha"}},
      {kDatePlayed, true, T{"beta", "gamma", "Alpha", "alpha"}},
      {kFileSize, false, T{"alpha", "Alpha", "beta", "gamma"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> titles;
    for (int row : SortedOrder(list(), c.field, c.ascending))
      titles.push_back(list().Field(row, 0));
    EXPECT_EQ(titles, c.titles) << "field " << c.field;
  }
  SortState state;
  NextSortState(state, kLength);
  NextSortState(state, kLength);
  EXPECT_FALSE(state.ascending);
  NextSortState(state, kTitle);
  EXPECT_TRUE(state.ascending);
}

TEST_F(PlaylistOrderTest, RowsMoveWithTheirSelectionCursorAndCueReferences) {
  EntryList cue{kCueFieldCount};
  list().SetSelected(3, true);
  AddToCue(store, cue);  // " 3: alpha"
  list().SetCursor(0);
  std::vector<int> newRowOf = ApplyOrder(list(), SortedOrder(list(), kTitle, true));
  ASSERT_EQ(newRowOf, (std::vector<int>{2, 0, 3, 1}));
  RenumberReferences(cue, newRowOf);
  EXPECT_EQ(cue.Field(0, 0), "1: alpha");
  EXPECT_EQ(list().Cursor(), 2) << "beta";
  EXPECT_EQ(list().SelectedRows(), std::vector<int>{1});

  list().SetSelected(0, true);  // Alpha and alpha to the end
  newRowOf = ApplyOrder(list(), MovedOrder(list(), 4));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"beta", "gamma", "Alpha", "alpha"}));
  EXPECT_EQ(FollowRow(newRowOf, 2), 0);
  EXPECT_EQ(list().Cursor(), 0);
  EXPECT_TRUE(ApplyOrder(list(), {0, 0, 1, 2}).empty()) << "not a permutation";
  EXPECT_EQ(Titles(), (std::vector<std::string>{"beta", "gamma", "Alpha", "alpha"}));
}

}  // namespace
}  // namespace qmb
