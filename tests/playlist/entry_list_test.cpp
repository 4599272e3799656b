#include "playlist/entry_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace qmb {
namespace {

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
  EXPECT_EQ(row.Cell(0), "a much longer first cell");
  EXPECT_EQ(row.Cell(3), "dddd");
  EXPECT_EQ(row.Cell(4), "");
  EXPECT_EQ(row.Cell(5), "ffffff");
  EXPECT_EQ(row.Cell(8), "last");
  EXPECT_EQ(row.Cell(9), "");
  EXPECT_EQ(row.Cell(-1), "");
}

TEST(EntryListTest, ReadBackIsTrimmedAndLimited) {
  EntryList list(2);
  list.Insert(-1, RowOf(""));
  struct Case {
    std::string stored;
    std::string read;
  } cases[] = {
      // clang-format off
      {" \t\r\n\v x y \v\n\r\t ", "x y"}, {"\fkeeps form feeds\f", "\fkeeps form feeds\f"},
      {std::string(300, 'z'), std::string(254, 'z')},
      {std::string(253, 'z') + " tail", std::string(253, 'z')},
      {std::string(500, ' ') + "deep", "deep"},
      {std::string(253, 'z') + "\xC3\xA9", std::string(253, 'z')},
      // clang-format on
  };
  for (const Case& c : cases) {
    list.SetField(0, 1, c.stored);
    EXPECT_EQ(list.Field(0, 1), c.read);
  }
  EXPECT_EQ(list.Field(0, 2), "");  // beyond the list's fields
  EXPECT_EQ(list.Field(5, 0), "");
}

TEST(EntryListTest, SelectionCountFollowsEveryChange) {
  EntryList list(1);
  for (int i = 0; i < 5; ++i) list.Insert(-1, RowOf(std::to_string(i)));
  list.SetSelected(1, true);
  list.SetSelected(3, true);
  list.SetSelected(3, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 3}));
  list.InvertSelection();
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 2, 4}));
  list.SetItemState(0, 0, kStateSelected | kStateFocused);
  list.SetItemState(2, kStateFocused | kStateCut, kStateFocused | kStateCut);
  EXPECT_EQ(list.ItemState(2, 0xFFFF), kStateSelected | kStateFocused | kStateCut);
  EXPECT_EQ(list.SelectedCount(), 2);
  list.Remove(2);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.RemoveSelected(), 1);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Field(2, 0), "3");
  list.SelectAll();
  EXPECT_EQ(list.SelectedCount(), 3);
  list.SelectNone();
  EXPECT_EQ(list.SelectedCount(), 0);
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

TEST(EntryListTest, ViewsHearRangesAndResets) {
  EntryList list(1);
  std::vector<ListEvent> heard;
  list.changed.Connect([&](const ListEvent& e) { heard.push_back(e); });
  std::vector<EntryRow> rows;
  rows.push_back(RowOf("a"));
  rows.push_back(RowOf("b"));
  list.InsertMany(-1, std::move(rows));
  list.Insert(1, RowOf("between"));
  list.SetSelected(0, true);
  list.RemoveSelected();
  using K = ListEvent::Kind;
  std::vector<std::tuple<K, int, int>> got;
  for (auto& e : heard) got.emplace_back(e.kind, e.first, e.last);
  std::vector<std::tuple<K, int, int>> want = {
      {K::kAboutToInsert, 0, 1}, {K::kInserted, 0, 1},     {K::kAboutToInsert, 1, 1},
      {K::kInserted, 1, 1},      {K::kStateChanged, 0, 0}, {K::kAboutToReset, -1, -1},
      {K::kReset, -1, -1},
  };
  EXPECT_EQ(got, want);
  EXPECT_EQ(list.Field(0, 0), "between");
}

}  // namespace
}  // namespace qmb
