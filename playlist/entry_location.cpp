#include "playlist/entry_location.h"

#include <cctype>
#include <filesystem>

namespace qmb {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::string WorkingFolder() {
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  if (error || folder.empty()) return {};
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      int byte = high * 16 + low;
      if (high >= 0 && low >= 0 && byte != 0) {
        decoded += static_cast<char>(byte);
        i += 2;
        continue;
      }
    }
    decoded += text[i];
  }
  return decoded;
}

std::optional<std::string> FileUriPath(std::string_view text) {
  if (!StartsWithNoCase(text, "file:")) return std::nullopt;
  std::string_view rest = text.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    // Only this machine's files: an empty host or "localhost".
    if (StartsWithNoCase(rest, "localhost/")) rest.remove_prefix(9);
    if (!rest.starts_with('/')) return std::nullopt;
  } else if (!rest.starts_with('/')) {
    return std::nullopt;
  }
  return PercentDecode(rest);
}

bool IsWholeLocation(std::string_view path) {
  if (path.starts_with('/') || path.starts_with('\\')) return true;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    return true;
  }
  return path.find("://") != std::string_view::npos;
}

std::string ResolveEntryLocation(std::string_view entry, std::string_view folder) {
  if (std::optional<std::string> local = FileUriPath(entry)) return *local;
  if (folder.empty() || entry.empty() || IsWholeLocation(entry)) return std::string(entry);
  while (entry.starts_with("./")) {
    entry.remove_prefix(2);
    while (entry.starts_with('/')) entry.remove_prefix(1);
  }
  return std::string(folder) + std::string(entry);
}

std::string PlaylistFolder(std::string_view playlistPath) {
  std::size_t slash = playlistPath.rfind('/');
  std::string folder(slash == std::string_view::npos ? std::string_view()
                                                     : playlistPath.substr(0, slash + 1));
  if (folder.starts_with('/')) return folder;
  if (folder.empty()) return WorkingFolder();
  return ResolveEntryLocation(folder, WorkingFolder());
}

std::string AbsoluteLocation(std::string_view path) {
  return ResolveEntryLocation(path, WorkingFolder());
}

}  // namespace qmb
