// The playlist window's editing commands: selection, deletion, the program's
// own clipboard, queuing on the cue list, search, and playing or locating what
// a search found.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/control_models.h"
#include "playlist/entry_list.h"
#include "playlist/playlist_store.h"

namespace qmb {

// The cue list: field 0 the row text, field 1 the path.
constexpr int kCueFieldCount = 2;

// Entries cut from the playlist, every field as read back, waiting for a paste.
struct EntryClipboard {
  std::vector<std::array<std::string, kEntryFieldCount>> records;
  bool holdsItems = false;
};

// The search bar and its results list.
struct SearchPanel {
  SearchPanel();
  EditModel text;       // "Search Text"
  ComboModel category;  // no selection means "[Select Category]", the title
  EntryList results{1};

  // What the last search found, so that typing on searches only those rows.
  struct Found {
    const EntryList* list = nullptr;
    std::uint64_t revision = 0;
    int field = -1;
    std::string needle;
    std::vector<int> rows;
  } found;
};

// Removes the selected rows of a playlist or cue list: all at once when every
// row is selected, otherwise in one pass between a hide and a show.
void DeleteSelected(EntryList& list);
void DeleteAll(EntryList& list);
void SelectAll(EntryList& list);
void InvertSelection(EntryList& list);
void SelectNone(EntryList& list);

// Moves the selected rows to the clipboard. 1, or 10 when the user declines to
// overwrite what the clipboard holds.
[[nodiscard]] int CutItems(PlaylistStore& store, EntryClipboard& clipboard);
// Inserts the clipboard at the cursor (after it when it is on the last row,
// at the end without one) and empties it. 1, or 11 when it holds nothing.
[[nodiscard]] int PasteItems(PlaylistStore& store, EntryClipboard& clipboard);
// Appends every selected row to the cue list.
void AddToCue(const PlaylistStore& store, EntryList& cue);

// " N: title", the text that names playlist row N in the cue and result lists.
std::string EntryReferenceText(const EntryList& playlist, int row);
// The playlist row that a reference text names (its number before the ":").
int ReferencedRow(std::string_view text);

// Fills the results with every row whose field of the chosen category contains
// `text`, ignoring letter case, and sets the "Found: " header.
void Search(const PlaylistStore& store, SearchPanel& panel, const std::string& text);
// Runs the search whenever the search text or the category changes, as the
// search bar does. `store` and `panel` must outlive the connection.
void ConnectSearch(const PlaylistStore& store, SearchPanel& panel);
// Puts the playlist cursor on the row a results row names (`row` -1: the
// results' cursor) and plays it. Returns that row, or -1.
int PlayResult(PlaylistStore& store, const EntryList& results, int row);
// The same without playing; the playlist scrolls to the row.
int LocateResult(PlaylistStore& store, const EntryList& results, int row);
// "Locate Current": scrolls the playlist to the entry that plays.
void LocateCurrent(EntryList& playlist, int currentIndex);

}  // namespace qmb
