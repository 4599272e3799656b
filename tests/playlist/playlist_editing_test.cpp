#include "playlist/playlist_editing.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/status_codes.h"
#include "support/scripted_desktop.h"

namespace qmb {
namespace {

class PlaylistEditingTest : public ::testing::Test {
 protected:
  void Fill(const std::vector<std::string>& titles) {
    for (const std::string& t : titles) {
      std::string timesPlayed = std::to_string(t.size());
      AddPlaylistEntry(store, "/m/" + t + ".mp3", {t, {}, timesPlayed, {}, {}});
    }
  }
  std::vector<std::string> Titles(const EntryList& list, int field = kTitle) {
    std::vector<std::string> titles;
    for (int row = 0; row < list.Count(); ++row) titles.push_back(list.Field(row, field));
    return titles;
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
  EXPECT_EQ(Titles(store.list, kTimesPlayed), (std::vector<std::string>{"2", "2", "2", "2", "2"}));
  EXPECT_EQ(store.list.Cursor(), 4);
  EXPECT_FALSE(clipboard.holdsItems);
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
  struct Case {
    int cursor;
    std::vector<std::string> result;
  } cases[] = {
      {1, {"a", "x", "b", "c"}},
      {2, {"a", "b", "c", "x"}},
      {-1, {"a", "b", "c", "x"}},
  };
  for (const Case& c : cases) {
    store.list.RemoveAll();
    Fill({"a", "b", "c", "x"});
    Select({3});
    ASSERT_EQ(CutItems(store, clipboard), kOk);
    store.list.SetCursor(c.cursor);
    ASSERT_EQ(PasteItems(store, clipboard), kOk);
    EXPECT_EQ(Titles(store.list), c.result) << c.cursor;
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
  EXPECT_EQ(store.list.Count(), 2);
  EXPECT_EQ(clipboard.records.size(), 1u);
  // Yes with nothing selected empties the clipboard and stops quietly.
  store.list.SelectNone();
  desktop.answers.push_back(MessageAnswer::Yes);
  EXPECT_EQ(CutItems(store, clipboard), kOk);
  EXPECT_FALSE(clipboard.holdsItems);
  EXPECT_EQ(PasteItems(store, clipboard), kClipboardEmpty);
}

TEST_F(PlaylistEditingTest, PastedUnsupportedEntriesAreDroppedWhenRefused) {
  AddPlaylistEntry(store, "/m/notes.txt");
  AddPlaylistEntry(store, "/m/song.ogg");
  SelectAll(store.list);
  ASSERT_EQ(CutItems(store, clipboard), kOk);
  panel.skipUnsupported.SetChecked(true);
  ASSERT_EQ(PasteItems(store, clipboard), kOk);
  EXPECT_EQ(Titles(store.list, kPath), (std::vector<std::string>{"/m/song.ogg"}));
}

TEST_F(PlaylistEditingTest, CueRowsNameRowAndTitle) {
  Fill({"a", "b", "c"});
  Select({0, 2});
  EntryList cue(kCueFieldCount);
  AddToCue(store, cue);
  EXPECT_EQ(Titles(cue, 0), (std::vector<std::string>{"0: a", "2: c"}));
  EXPECT_EQ(cue.Row(0).Cell(0), " 0: a");
  EXPECT_EQ(Titles(cue, 1), (std::vector<std::string>{"/m/a.mp3", "/m/c.mp3"}));
}

TEST_F(PlaylistEditingTest, SearchByCategory) {
  Fill({"Rock On", "Jazz", "hard ROCK", "Rocket"});
  AddPlaylistEntry(store, "/m/track.wav");
  SearchPanel panelOfSearch;
  struct Case {
    int category;
    std::string text;
    std::vector<std::string> found;
  } cases[] = {
      {-1, "rock", {"0: Rock On", "2: hard ROCK", "3: Rocket"}},
      {0, "ROCK", {"0: Rock On", "2: hard ROCK", "3: Rocket"}},
      {8, "wav", {"4: track"}},
      {1, "/m/j", {"1: Jazz"}},
      {0, "", {}},
      {0, "nothing", {}},
  };
  for (const Case& c : cases) {
    panelOfSearch.category.Select(c.category);
    Search(store, panelOfSearch, c.text);
    EXPECT_EQ(Titles(panelOfSearch.results, 0), c.found) << c.text;
    EXPECT_EQ(panelOfSearch.results.Header(0), "Found:  " + std::to_string(c.found.size()));
    if (c.category == 8) {
      EXPECT_EQ(panelOfSearch.results.Row(0).Cell(0), " 4: track");
    }
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

TEST_F(PlaylistEditingTest, SearchBarRunsOnEveryChange) {
  Fill({"Alpha", "beta"});
  SearchPanel search;
  ConnectSearch(store, search);
  search.text.SetText("a");
  EXPECT_EQ(search.results.Count(), 2);
  search.category.Select(8);  // File Type: mp3 has no "a"
  EXPECT_EQ(search.results.Count(), 0);
  EXPECT_EQ(search.results.Header(0), "Found:  0");
}

TEST_F(PlaylistEditingTest, PlayResultUsesTheRowNumberAsItIsNow) {
  Fill({"a", "b", "c"});
  SearchPanel search;
  Search(store, search, "c");
  std::vector<int> played;
  store.playEntry = [&](int restart, int index, int resetRepeat) {
    EXPECT_EQ(restart, 1);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(resetRepeat, 1);
    played.push_back(store.list.Cursor());
  };
  store.list.Remove(0);
  AddPlaylistEntry(store, "/m/d.mp3");
  EXPECT_EQ(PlayResult(store, search.results, 0), 2);
  EXPECT_EQ(played, (std::vector<int>{2}));
  EXPECT_EQ(store.list.Field(2, kTitle), "d");
  search.results.SetCursor(-1);
  EXPECT_EQ(PlayResult(store, search.results, -1), -1);
  EXPECT_EQ(played.size(), 1u);
}

TEST(ReferencedRowTest, Parsing) {
  const std::pair<const char*, int> cases[] = {{" 12: a: b", 12}, {"7", 7}, {"x: 3", 0}, {"", 0}};
  for (auto [text, row] : cases) EXPECT_EQ(ReferencedRow(text), row) << text;
}

}  // namespace
}  // namespace qmb
