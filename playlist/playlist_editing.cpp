#include "playlist/playlist_editing.h"

#include <algorithm>
#include <cstdlib>

#include "core/desktop.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr const char* kCategoryNames[] = {
    "Title",      "File Name",   "Length",    "Played This Cycle", "Times Played",
    "Date Added", "Date Played", "File Size", "File Type",
};

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

SearchPanel::SearchPanel() {
  category.SetItems({std::begin(kCategoryNames), std::end(kCategoryNames)});
  category.Select(-1);
  results.SetHeader(0, "Matching Items");
}

void DeleteSelected(EntryList& list) {
  if (list.SelectedCount() == list.Count()) {
    list.RemoveAll();
    return;
  }
  if (list.SelectedCount() == 0) return;
  list.Hide();
  list.RemoveSelected();
  list.Redraw();
  list.Show();
}

void DeleteAll(EntryList& list) {
  list.RemoveAll();
}
void SelectAll(EntryList& list) {
  list.SelectAll();
}
void InvertSelection(EntryList& list) {
  list.InvertSelection();
}
void SelectNone(EntryList& list) {
  list.SelectNone();
}

int CutItems(PlaylistStore& store, EntryClipboard& clipboard) {
  if (clipboard.holdsItems) {
    MessageAnswer answer = TheDesktop().ShowMessage(
        "You already have items stored on the internal clipboard. Overwrite?", "Attention",
        MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) return kClipboardCopyFailed;
    clipboard.records.clear();
    clipboard.holdsItems = false;
  }
  EntryList& list = store.list;
  if (list.Count() == 0 || list.SelectedCount() == 0) return kOk;
  for (int row : list.SelectedRows()) {
    auto& record = clipboard.records.emplace_back();
    for (int field = 0; field < kEntryFieldCount; ++field) record[field] = list.Field(row, field);
    record[kPath] = EntryPath(list, row);
  }
  DeleteSelected(list);
  clipboard.holdsItems = true;
  return kOk;
}

int PasteItems(PlaylistStore& store, EntryClipboard& clipboard) {
  if (!clipboard.holdsItems) return kClipboardEmpty;
  EntryList& list = store.list;
  int position = list.Cursor();
  if (position >= 0 && position == list.Count() - 1) position = list.Count();
  std::vector<EntryRow> rows;
  rows.reserve(clipboard.records.size());
  for (const auto& record : clipboard.records) {
    EntryTexts texts{record[kTitle], record[kLength], record[kTimesPlayed], record[kDateAdded],
                     record[kDatePlayed]};
    // A row the store refuses now (unsupported types) is dropped with the clipboard.
    if (auto row = MakePlaylistRow(store, record[kPath], texts)) rows.push_back(std::move(*row));
  }
  if (!rows.empty()) {
    list.InsertMany(position, std::move(rows));
    list.SetCursor(list.Count() - 1);
  }
  clipboard.records.clear();
  clipboard.holdsItems = false;
  return kOk;
}

std::string EntryReferenceText(const EntryList& playlist, int row) {
  return NumberText(row) + ": " + std::string(playlist.FieldView(row, kTitle));
}

int ReferencedRow(std::string_view text) {
  std::string number(text.substr(0, text.find(':')));
  return std::atoi(number.c_str());
}

void AddToCue(const PlaylistStore& store, EntryList& cue) {
  std::vector<EntryRow> rows;
  for (int row : store.list.SelectedRows()) {
    EntryRow& cueRow = rows.emplace_back();
    cueRow.SetCell(0, EntryReferenceText(store.list, row));
    cueRow.SetCell(1, store.list.WholeFieldView(row, kPath));
  }
  cue.InsertMany(-1, std::move(rows));
}

void Search(const PlaylistStore& store, SearchPanel& panel, const std::string& text) {
  EntryList& results = panel.results;
  const EntryList& list = store.list;
  int field = panel.category.Selection();
  if (field < 0 || field >= kEntryFieldCount) field = kTitle;
  std::string needle = ToLowerAscii(text);
  auto same = [](char a, char b) { return LowerAscii(a) == b; };
  auto matches = [&](int row) {
    std::string_view value = list.FieldView(row, field);
    return value.size() >= needle.size() && std::search(value.begin(), value.end(), needle.begin(),
                                                        needle.end(), same) != value.end();
  };
  // Typing on narrows the last search: only the rows it found can match,
  // as long as the playlist has not changed since.
  SearchPanel::Found& last = panel.found;
  bool narrowing = !needle.empty() && !last.needle.empty() && last.list == &list &&
                   last.revision == list.Revision() && last.field == field &&
                   needle.find(last.needle) != std::string::npos &&
                   static_cast<std::size_t>(results.Count()) == last.rows.size();
  std::vector<int> rows;
  if (narrowing) {
    for (int row : last.rows) {
      if (matches(row)) rows.push_back(row);
    }
  } else if (!needle.empty()) {
    for (int row = 0; row < list.Count(); ++row) {
      if (matches(row)) rows.push_back(row);
    }
  }
  if (!narrowing || rows.size() != last.rows.size()) {
    results.RemoveAll();
    results.Hide();
    std::vector<EntryRow> found(rows.size());
    std::string reference;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      // One allocation per result: a long list may match entirely.
      reference = NumberText(rows[i]);
      reference += ": ";
      reference += list.FieldView(rows[i], kTitle);
      found[i].SetCells({reference});
    }
    results.InsertMany(-1, std::move(found));
    results.Redraw();
    results.Show();
  }
  int count = static_cast<int>(rows.size());
  last = {&list, list.Revision(), field, std::move(needle), std::move(rows)};
  results.SetHeader(0, "Found: " + NumberText(count));
}

void ConnectSearch(const PlaylistStore& store, SearchPanel& panel) {
  auto run = [&store, &panel] { Search(store, panel, panel.text.Text()); };
  panel.text.changed.Connect(run);
  panel.category.changed.Connect(run);
}

int LocateResult(PlaylistStore& store, const EntryList& results, int row) {
  if (row == -1) row = results.Cursor();
  if (!results.IsRow(row)) return -1;
  int target = ReferencedRow(results.FieldView(row, 0));
  store.list.SetCursor(target);
  store.list.EnsureVisible(target);
  return store.list.Cursor();
}

int PlayResult(PlaylistStore& store, const EntryList& results, int row) {
  int target = LocateResult(store, results, row);
  if (target >= 0 && store.playEntry) store.playEntry(1, -1, 1);
  return target;
}

void LocateCurrent(EntryList& playlist, int currentIndex) {
  playlist.EnsureVisible(currentIndex);
}

}  // namespace qmb
