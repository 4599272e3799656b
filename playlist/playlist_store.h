// The playlist store: the entry list that is the playlist, the fields of an
// entry, what type a path is, and adding an entry.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/control_panel_model.h"
#include "playlist/entry_list.h"

namespace qmb {

enum EntryField : int {
  kTitle = 0,
  kPath = 1,
  kLength = 2,
  kPlayedThisCycle = 3,
  kTimesPlayed = 4,
  kDateAdded = 5,
  kDatePlayed = 6,
  kFileSize = 7,
  kFileType = 8,
};
constexpr int kEntryFieldCount = 9;

// Type icons, by index into the playlist's image list.
constexpr int kIconStream = 0;
constexpr int kIconWave = 2;
constexpr int kIconCdTrack = 3;
constexpr int kIconNetwork = 4;
constexpr int kIconModule = 6;
constexpr int kIconWma = 8;
constexpr int kIconUnsupported = 9;

// What the store asks of the input plug-ins. Until plug-ins are loaded no
// plug-in claims a path.
struct InputPluginLookup {
  // The index of the enabled input plug-in that plays `path`, or -1.
  std::function<int(const std::string& path)> find;
  // The icon that plug-in gives an extension; negative gives the row none.
  std::function<int(int plugin, const std::string& ext)> icon;
};

// The playlist with what adding to it depends on: the control panel (for
// "Do not add unsupported files to list"), the input plug-ins and a clock.
class PlaylistStore {
 public:
  explicit PlaylistStore(const ControlPanelModel& panel);

  EntryList list{kEntryFieldCount};
  const ControlPanelModel& panel;
  InputPluginLookup inputPlugins;
  // Today's date as the DateAdded column shows it; tests pin it.
  std::function<std::string()> today;
  // Starts the entry under the cursor as "play" does: PlayEntry(restart, index,
  // resetRepeat). Set by navigation; while unset nothing plays.
  std::function<void(int restart, int index, int resetRepeat)> playEntry;
};

// The input plug-in that plays `path`, or -1 (always, until plug-ins exist).
int FindInputPlugin(const PlaylistStore& store, const std::string& path);

// The fields a caller may give; an absent one gets its default. Views: the
// texts must outlive the call that takes them.
struct EntryTexts {
  std::optional<std::string_view> title;
  std::optional<std::string_view> length;
  std::optional<std::string_view> timesPlayed;
  std::optional<std::string_view> dateAdded;
  std::optional<std::string_view> datePlayed;
};

// Adds an entry before `position` (appends at -1) and moves the cursor to the
// last row. Returns 1, or 16 when an unsupported path is refused.
int AddPlaylistEntry(PlaylistStore& store, const std::string& path, const EntryTexts& texts = {},
                     int position = -1);

// The row AddPlaylistEntry would add, or nothing when it refuses the path.
// Pasting builds many rows this way and inserts them in one move.
std::optional<EntryRow> MakePlaylistRow(PlaylistStore& store, const std::string& path,
                                        const EntryTexts& texts);

// Field access by row and field number, as every part of the player uses it.
std::string GetEntryField(const EntryList& list, int row, int field);
// The entry's whole path. A read-back field stops at 254 bytes, which would
// cut the longer paths this platform allows; open and save with this one.
std::string EntryPath(const EntryList& list, int row);
void SetEntryField(EntryList& list, int row, int field, std::string_view text);
// For field 0 inserts a row at `row` (appends at -1) with the text and, when
// `icon` is 0 or more, the image; other fields set that cell of `row` (of the
// last row at -1).
void SetEntryCell(EntryList& list, int field, std::string_view text, int icon, int row);
int EntryCount(const EntryList& list);
int GetPlaylistCursor(const EntryList& list);
void SetPlaylistCursor(EntryList& list, int row);

// The icon of a path's type, or -1 when the player cannot play it.
int ClassifyPath(std::string_view path);
// The text after the last "." of the whole path, lower-cased; empty without one.
std::string PathExtension(std::string_view path);
// The file name without its folder and without its last extension.
std::string PathTitle(std::string_view path);
// Whether a path is a network address the player streams.
bool IsNetworkAddress(std::string_view path);

// Today's date, local time, as MM/DD/YY.
std::string TodayText();
// " N Kb": the file's size in whole kilobytes; 0 for addresses, folders and
// missing files.
std::string FileSizeText(const std::string& path);

}  // namespace qmb
