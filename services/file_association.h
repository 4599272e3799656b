// File-type association the freedesktop way: the player's desktop entry in
// the user's applications folder, and the player as the default application
// of a type's MIME types in the user's mimeapps.list. The MIME types come
// from the shared MIME database's globs.
#pragma once

#include <string>
#include <vector>

#include "core/control_models.h"

namespace qmb {

constexpr const char* kDesktopEntryName = "qumble-player.desktop";
constexpr const char* kIconName = "qumble-player";

// The folders of the XDG base directories, defaults applied.
struct XdgFolders {
  std::string dataHome;               // $XDG_DATA_HOME or ~/.local/share
  std::string configHome;             // $XDG_CONFIG_HOME or ~/.config
  std::vector<std::string> dataDirs;  // $XDG_DATA_DIRS or /usr/local/share, /usr/share
};
XdgFolders XdgFoldersFromEnvironment();

// The MIME types the player opens, as its desktop entry lists them.
extern const std::vector<std::string> kPlayerMimeTypes;

// The desktop entry of the player in `programFolder` (ending in "/"); `icon`
// is an icon name or an absolute path.
std::string DesktopEntryText(const std::string& programFolder, const std::string& icon);

// The MIME types whose glob in the shared MIME database names the type
// (".ogg", "ogg" or "*.ogg"), at the highest weight found; video types are
// left out when an audio or other type shares the glob.
std::vector<std::string> MimeTypesOfType(const std::string& type, const XdgFolders& folders);

// mimeapps.list edits on the file's text; everything else stays as it was.
// The first desktop file of `mime` in [Default Applications]; empty if none.
std::string DefaultApplication(const std::string& text, const std::string& mime);
// `desktop` first in the default list and among the added associations.
std::string MakeDefault(const std::string& text, const std::string& mime,
                        const std::string& desktop);
// `desktop` out of both lists of `mime`.
std::string RemoveApplication(const std::string& text, const std::string& mime,
                              const std::string& desktop);

extern const char* const kNoLongerAssociatedText;

// Writes the desktop entry and makes the player the default of the type's
// MIME types. False, after a message, when the type has no MIME type or a
// file cannot be written.
bool AssociateType(const std::string& type, const std::string& programFolder,
                   const XdgFolders& folders);
// Takes the player away as the default of the type's MIME types where it
// still is; where no longer, says so and leaves the file alone.
void DisassociateType(const std::string& type, const XdgFolders& folders);

// "Add Type": the typed text, trimmed, joins the list once associated.
void AddType(EditModel& newType, StringListModel& types, const std::string& programFolder,
             const XdgFolders& folders);
// "Delete Type": the selected entry's association, then the entry, go.
void DeleteType(StringListModel& types, int selected, const XdgFolders& folders);

}  // namespace qmb
