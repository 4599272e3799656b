#include "playlist/playlist_dialogs.h"

#include <vector>

#include "app/desktop.h"
#include "app/text_util.h"
#include "playlist/playlist_files.h"

namespace qmb {
namespace {

std::string ChoosePlaylist(const std::string& title, bool save, const std::string& programFolder) {
  std::vector<std::string> chosen = TheDesktop().ChooseFiles(
      title, DesktopFilter(kPlaylistFilter), save, false, programFolder + "Playlists/", "qpl");
  return chosen.empty() ? std::string() : chosen.front();
}

}  // namespace

std::string DesktopFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string label(TrimSpace(parts[i]));
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    // The desktop reads patterns from the label's last parentheses: keep one pair.
    std::string suffix = " (" + patterns + ")";
    if (!label.ends_with(suffix)) label += suffix;
    if (!result.empty()) result += ";;";
    result += label;
  }
  return result;
}

void SavePlaylistDialog(const PlaylistStore& store, const std::string& programFolder) {
  std::string path = ChoosePlaylist("Save Playlist", true, programFolder);
  if (!path.empty()) SavePlaylist(store.list, path);
}

void LoadPlaylistDialog(PlaylistStore& store, const std::string& programFolder) {
  std::string path = ChoosePlaylist("Load Playlist", false, programFolder);
  if (!path.empty()) LoadPlaylist(store, path, 1);
}

}  // namespace qmb
