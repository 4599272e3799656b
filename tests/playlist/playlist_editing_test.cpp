// Editing the playlist: its rows and their cells, selection and cursor;
// deleting, cutting and pasting, the cue and the search; sorting by a column
// and moving rows with their selection, cursor and cue references; the
// shuffle's numbers.
#include "playlist/playlist_editing.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/random_generator.h"
#include "core/status_codes.h"
#include "playlist/entry_list.h"
#include "playlist/playlist_order.h"
#include "playlist/playlist_store.h"
#include "support/scripted_desktop.h"

namespace qmb {
namespace {

std::vector<std::string> Titles(const EntryList& list, int field = kTitle) {
  std::vector<std::string> titles;
  for (int row = 0; row < list.Count(); ++row) titles.push_back(list.Field(row, field));
  return titles;
}

class PlaylistEditingTest : public ::testing::Test {
 protected:
  void Fill(const std::vector<std::string>& titles) {
    for (const std::string& t : titles) {
      std::string timesPlayed = std::to_string(t.size());
      AddPlaylistEntry(store, "/m/" + t + ".mp3", {t, {}, timesPlayed, {}, {}});
    }
  }
  void Select(std::initializer_list<int> rows) {
    store.list.SelectNone();
    for (int r : rows) store.list.SetSelected(r, true);
  }

  test::ScriptedDesktop desktop;
  ControlPanelModel panel;
  PlaylistStore store{panel};
  EntryClipboard clipboard;
};

TEST_F(PlaylistEditingTest, DeleteSelectedInOnePassOrAllAtOnce) {
  Fill({"a", "b", "c", "d", "e"});
  Select({0, 2, 3});
  std::vector<ListEvent::Kind> heard;
  store.list.changed.Connect([&](const ListEvent& e) { heard.push_back(e.kind); });
  DeleteSelected(store.list);
  EXPECT_EQ(Titles(store.list), (std::vector<std::string>{"b", "e"}));
  using K = ListEvent::Kind;
  EXPECT_EQ(heard, (std::vector<K>{K::kHidden, K::kAboutToReset, K::kReset, K::kCursorChanged,
                                   K::kRedraw, K::kShown}));
  heard.clear();
  SelectAll(store.list);
  DeleteSelected(store.list);
  EXPECT_EQ(store.list.Count(), 0);
  EXPECT_EQ(heard,
            (std::vector<K>{K::kStateChanged, K::kAboutToReset, K::kReset, K::kCursorChanged}));
}

TEST_F(PlaylistEditingTest, CutTwoRowsAndPasteAtTheTop) {
  Fill({"r0", "r1", "r2", "r3", "r4"});
  Select({2, 4});
  ASSERT_EQ(CutItems(store, clipboard), kOk);
  EXPECT_EQ(Titles(store.list), (std::vector<std::string>{"r0", "r1", "r3"}));
  store.list.SetCursor(0);
  ASSERT_EQ(PasteItems(store, clipboard), kOk);
  EXPECT_EQ(Titles(store.list), (std::vector<std::string>{"r2", "r4", "r0", "r1", "r3"}));
  EXPECT_EQ(Titles(store.list, kTimesPlayed), std::vector<std::string>(5, "2"));
  EXPECT_EQ(store.list.Cursor(), 4);
  EXPECT_EQ(PasteItems(store, clipboard), kClipboardEmpty);
}

TEST_F(PlaylistEditingTest, LongPathsSurviveTheClipboardAndTheCue) {
  std::string longPath = "/" + std::string(400, 'p') + ".ogg";
  AddPlaylistEntry(store, longPath);
  Select({0});
  EntryList cue(kCueFieldCount);
  AddToCue(store, cue);
  EXPECT_EQ(cue.WholeFieldView(0, 1), longPath);
  ASSERT_EQ(CutItems(store, clipboard), kOk);
  ASSERT_EQ(PasteItems(store, clipboard), kOk);
  EXPECT_EQ(EntryPath(store.list, 0), longPath);
  EXPECT_EQ(GetEntryField(store.list, 0, kPath).size(), 254u);
}

// On the last row or without a cursor the rows go after the last row.
TEST_F(PlaylistEditingTest, PastePositions) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {1, {"a", "x", "b", "c"}}, {2, {"a", "b", "c", "x"}}, {-1, {"a", "b", "c", "x"}}};
  for (const auto& [cursor, result] : cases) {
    store.list.RemoveAll();
    Fill({"a", "b", "c", "x"});
    Select({3});
    ASSERT_EQ(CutItems(store, clipboard), kOk);
    store.list.SetCursor(cursor);
    ASSERT_EQ(PasteItems(store, clipboard), kOk);
    EXPECT_EQ(Titles(store.list), result) << cursor;
  }
}

TEST_F(PlaylistEditingTest, OverwriteQuestion) {
  Fill({"a", "b", "c"});
  Select({0});
  ASSERT_EQ(CutItems(store, clipboard), kOk);
  Select({0});
  desktop.answers.push_back(MessageAnswer::No);
  EXPECT_EQ(CutItems(store, clipboard), kClipboardCopyFailed);
  ASSERT_EQ(desktop.messages.size(), 1u);
  const test::ShownMessage& m = desktop.messages[0];
  EXPECT_EQ(std::tie(m.text, m.caption, m.icon, m.buttons),
            std::tuple("You already have items stored on the internal clipboard. Overwrite?",
                       "Attention", MessageIcon::Question, MessageButtons::YesNo));
  EXPECT_EQ(std::tuple(store.list.Count(), clipboard.records.size()), std::tuple(2, 1u));
  // Yes with nothing selected empties the clipboard and stops quietly.
  store.list.SelectNone();
  desktop.answers.push_back(MessageAnswer::Yes);
  EXPECT_EQ(CutItems(store, clipboard), kOk);
  EXPECT_EQ(PasteItems(store, clipboard), kClipboardEmpty);
}

TEST_F(PlaylistEditingTest, SearchByCategory) {
  Fill({"Rock On", "Jazz", "hard ROCK", "Rocket"});
  AddPlaylistEntry(store, "/m/track.wav");
  SearchPanel panelOfSearch;
  const std::tuple<int, std::string, std::vector<std::string>> cases[] = {
      {-1, "rock", {"0: Rock On", "2: hard ROCK", "3: Rocket"}},
      {0, "ROCK", {"0: Rock On", "2: hard ROCK", "3: Rocket"}},
      {8, "wav", {"4: track"}},
      {1, "/m/j", {"1: Jazz"}},
      {0, "", {}},
      {0, "nothing", {}},
  };
  for (const auto& [category, text, found] : cases) {
    panelOfSearch.category.Select(category);
    Search(store, panelOfSearch, text);
    EXPECT_EQ(Titles(panelOfSearch.results, 0), found) << text;
    EXPECT_EQ(panelOfSearch.results.Header(0), "Found:  " + std::to_string(found.size()));
  }
}

TEST_F(PlaylistEditingTest, TypingOnNarrowsTheLastSearchUnlessTheListChanged) {
  Fill({"rock a", "rock b", "jazz"});
  SearchPanel search;
  Search(store, search, "ro");
  Search(store, search, "rock b");
  EXPECT_EQ(Titles(search.results, 0), std::vector<std::string>{"1: rock b"});
  store.list.SetField(0, kTitle, "rock b side");
  Search(store, search, "rock b s");
  EXPECT_EQ(Titles(search.results, 0), std::vector<std::string>{"0: rock b side"});
  search.category.Select(8);
  Search(store, search, "rock b si");
  EXPECT_EQ(search.results.Count(), 0) << "another field is searched anew";
}

TEST_F(PlaylistEditingTest, PlayResultUsesTheRowNumberAsItIsNow) {
  Fill({"a", "b", "c"});
  SearchPanel search;
  Search(store, search, "c");
  std::vector<int> played;
  store.playEntry = [&](int restart, int index, int resetRepeat) {
    EXPECT_EQ(std::tuple(restart, index, resetRepeat), std::tuple(1, -1, 1));
    played.push_back(store.list.Cursor());
  };
  store.list.Remove(0);
  AddPlaylistEntry(store, "/m/d.mp3");
  EXPECT_EQ(PlayResult(store, search.results, 0), 2);
  EXPECT_EQ(played, (std::vector<int>{2}));
  search.results.SetCursor(-1);
  EXPECT_EQ(PlayResult(store, search.results, -1), -1);
  EXPECT_EQ(played.size(), 1u);
}

EntryRow RowOf(std::string_view title) {
  EntryRow row;
  row.SetCell(0, title);
  return row;
}

TEST(EntryListTest, CellsKeepTheirNeighboursWhenResized) {
  EntryRow row;
  for (int f = 0; f < kMaxFields; ++f)
    row.SetCell(f, std::string(f + 1, static_cast<char>('a' + f)));
  row.SetCell(4, "");
  row.SetCell(0, "a much longer first cell");
  row.SetCell(8, "last");
  std::vector<std::string> cells;
  for (int f : {0, 3, 4, 5, 8, 9, -1}) cells.emplace_back(row.Cell(f));
  EXPECT_EQ(cells, (std::vector<std::string>{"a much longer first cell", "dddd", "", "ffffff",
                                             "last", "", ""}));
}

TEST(EntryListTest, ReadBackIsTrimmedAndLimited) {
  EntryList list(2);
  list.Insert(-1, RowOf(""));
  const std::pair<std::string, std::string> cases[] = {
      // clang-format off
      {" \t\r\n\v x y \v\n\r\t ", "x y"}, {"\fkeeps form feeds\f", "\fkeeps form feeds\f"},
      {std::string(300, 'z'), std::string(254, 'z')},
      {std::string(253, 'z') + " tail", std::string(253, 'z')},
      {std::string(500, ' ') + "deep", "deep"},
      {std::string(253, 'z') + "\xC3\xA9", std::string(253, 'z')},
      // clang-format on
  };
  for (const auto& [stored, read] : cases) {
    list.SetField(0, 1, stored);
    EXPECT_EQ(list.Field(0, 1), read);
  }
  EXPECT_EQ(list.Field(0, 2), "");  // beyond the list's fields
  EXPECT_EQ(list.Field(5, 0), "");
}

TEST(EntryListTest, SelectionCountFollowsEveryChange) {
  EntryList list(1);
  for (int i = 0; i < 5; ++i) list.Insert(-1, RowOf(std::to_string(i)));
  for (int row : {1, 3, 3}) list.SetSelected(row, true);
  EXPECT_EQ(std::tuple(list.SelectedCount(), list.SelectedRows()),
            std::tuple(2, std::vector<int>{1, 3}));
  list.InvertSelection();
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 2, 4}));
  list.SetItemState(0, 0, kStateSelected | kStateFocused);
  list.SetItemState(2, kStateFocused | kStateCut, kStateFocused | kStateCut);
  EXPECT_EQ(list.ItemState(2, 0xFFFF), kStateSelected | kStateFocused | kStateCut);
  EXPECT_EQ(list.SelectedCount(), 2);
  list.Remove(2);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.RemoveSelected(), 1);
  EXPECT_EQ(Titles(list, 0), (std::vector<std::string>{"0", "1", "3"}));
}

TEST(EntryListTest, CursorStaysOnARow) {
  EntryList list(1);
  list.SetCursor(0);
  EXPECT_EQ(list.Cursor(), -1);
  for (int i = 0; i < 3; ++i) list.Insert(-1, RowOf("r"));
  list.SetCursor(2);
  list.Remove(2);
  EXPECT_EQ(list.Cursor(), 1);
  list.SetCursor(7);
  EXPECT_EQ(list.Cursor(), -1);
  list.SetCursor(0);
  list.RemoveAll();
  EXPECT_EQ(list.Cursor(), -1);
}

class PlaylistOrderTest : public PlaylistEditingTest {
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
};

TEST_F(PlaylistOrderTest, ColumnsSortAsValuesAndEqualRowsKeepTheirOrder) {
  using T = std::vector<std::string>;
  const std::tuple<int, bool, T> cases[] = {
      {kTitle, true, T{"Alpha", "alpha", "beta", "gamma"}},
      {kLength, true, T{"Alpha", "gamma", "beta", "alpha"}},
      {kTimesPlayed, false, T{"Alpha", "alpha", "beta", "gamma"}},
      {kDateAdded, true, T{"Alpha", "beta", "gamma", "alpha"}},
      {kDatePlayed, true, T{"beta", "gamma", "Alpha", "alpha"}},
      {kFileSize, false, T{"alpha", "Alpha", "beta", "gamma"}},
  };
  for (const auto& [field, ascending, want] : cases) {
    std::vector<std::string> titles;
    for (int row : SortedOrder(list(), field, ascending)) titles.push_back(list().Field(row, 0));
    EXPECT_EQ(titles, want) << "field " << field;
  }
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
  EXPECT_EQ(Titles(list()), (std::vector<std::string>{"beta", "gamma", "Alpha", "alpha"}));
  EXPECT_EQ(FollowRow(newRowOf, 2), 0);
  EXPECT_EQ(list().Cursor(), 0);
  EXPECT_TRUE(ApplyOrder(list(), {0, 0, 1, 2}).empty()) << "not a permutation";
  EXPECT_EQ(Titles(list()), (std::vector<std::string>{"beta", "gamma", "Alpha", "alpha"}));
}

TEST(RandomGeneratorTest, NumbersStayInsideTheOpenIntervalAndSpreadEvenly) {
  // Shuffle picks row floor(x * count): x must never be 0 or 1, and the rows
  // must come out evenly.
  RandomGenerator generator;
  generator.Seed(-7);
  int buckets[10] = {};
  for (int i = 0; i < 100000; ++i) {
    double x = generator.Next();
    ASSERT_GT(x, 0.0);
    ASSERT_LT(x, 1.0);
    ++buckets[static_cast<int>(x * 10)];
  }
  for (int count : buckets) EXPECT_NEAR(count, 10000, 500);
}

}  // namespace
}  // namespace qmb
