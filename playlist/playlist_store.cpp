#include "playlist/playlist_store.h"

#include <sys/stat.h>

#include <ctime>

#include "core/status_codes.h"
#include "core/text_util.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr std::string_view kModuleTypes = "xm|it|s3m|mod|sgt|fsb";
constexpr std::string_view kStreamTypes = "cda|mp3|mp2|wav|mid|midi|rmi|ogg|wma|asf";

// Extension lists are tested by substring, so "3m" counts as a module type.
bool InList(std::string_view list, std::string_view ext) {
  return !ext.empty() && list.find(ext) != std::string_view::npos;
}

bool Contains(std::string_view path, std::string_view part) {
  return path.find(part) != std::string_view::npos;
}

int Classify(std::string_view path, std::string_view ext) {
  bool module = InList(kModuleTypes, ext);
  bool cdTrack = ext == "cda" || Contains(path, "cda://");
  if (!module && !InList(kStreamTypes, ext) && !IsNetworkAddress(path) && !cdTrack) return -1;
  if (module) return kIconModule;
  if (cdTrack) return kIconCdTrack;
  if (ext == "wma") return kIconWma;
  if (ext == "wav" || ext == "ogg") return kIconWave;
  if (ext == "mid" || ext == "midi" || ext == "rmi") return kIconModule;
  return IsNetworkAddress(path) ? kIconNetwork : kIconStream;
}

}  // namespace

PlaylistStore::PlaylistStore(const ControlPanelModel& panel) : panel(panel), today(TodayText) {}

int FindInputPlugin(const PlaylistStore& store, const std::string& path) {
  return store.inputPlugins.find ? store.inputPlugins.find(path) : -1;
}

bool IsNetworkAddress(std::string_view path) {
  return Contains(path, "http://") || Contains(path, "https://");
}

int ClassifyPath(std::string_view path) {
  return Classify(path, PathExtension(path));
}

std::string PathExtension(std::string_view path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  return ToLowerAscii(path.substr(dot + 1));
}

std::string PathTitle(std::string_view path) {
  std::size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%m/%d/%y", &local);
  return text;
}

std::string FileSizeText(const std::string& path) {
  // The full size: a cut to 32 bits would show a 5 GB file as 1 GB.
  std::uint64_t bytes = 0;
  struct stat st {};
  if (!IsNetworkAddress(path) && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    bytes = static_cast<std::uint64_t>(st.st_size);
  }
  return NumberText(static_cast<double>(bytes / 1024)) + " Kb";
}

std::optional<EntryRow> MakePlaylistRow(PlaylistStore& store, const std::string& path,
                                        const EntryTexts& texts) {
  std::string ext = PathExtension(path);
  int icon;
  int plugin = FindInputPlugin(store, path);
  if (plugin >= 0) {
    icon = store.inputPlugins.icon ? store.inputPlugins.icon(plugin, ext) : -1;
  } else {
    icon = Classify(path, ext);
    if (icon < 0) {
      if (store.panel.skipUnsupported.Checked()) return std::nullopt;
      icon = kIconUnsupported;
    }
  }
  std::string title = texts.title ? std::string() : PathTitle(path);
  std::string today = texts.dateAdded ? std::string() : store.today();
  std::string size = FileSizeText(path);
  EntryRow row;
  row.SetIcon(icon);
  row.SetCells({
      texts.title.value_or(title),
      path,
      texts.length.value_or("Unknown"),
      "No",
      texts.timesPlayed.value_or("0"),
      texts.dateAdded.value_or(today),
      texts.datePlayed.value_or("Never Played"),
      size,
      ext,
  });
  return row;
}

int AddPlaylistEntry(PlaylistStore& store, const std::string& path, const EntryTexts& texts,
                     int position) {
  std::optional<EntryRow> row = MakePlaylistRow(store, path, texts);
  if (!row) return kUnsupportedFile;
  store.list.Insert(position, std::move(*row));
  store.list.SetCursor(store.list.Count() - 1);
  return kOk;
}

std::string GetEntryField(const EntryList& list, int row, int field) {
  return list.Field(row, field);
}

std::string EntryPath(const EntryList& list, int row) {
  return std::string(list.WholeFieldView(row, kPath));
}

void SetEntryField(EntryList& list, int row, int field, std::string_view text) {
  list.SetField(row, field, text);
}

void SetEntryCell(EntryList& list, int field, std::string_view text, int icon, int row) {
  if (field == 0) {
    EntryRow fresh;
    fresh.SetCell(0, text);
    if (icon >= 0) fresh.SetIcon(icon);
    list.Insert(row, std::move(fresh));
    return;
  }
  list.SetField(row == -1 ? list.Count() - 1 : row, field, text);
}

int EntryCount(const EntryList& list) {
  return list.Count();
}
int GetPlaylistCursor(const EntryList& list) {
  return list.Cursor();
}
void SetPlaylistCursor(EntryList& list, int row) {
  list.SetCursor(row);
}

}  // namespace qmb
