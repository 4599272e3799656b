#include "playlist/playlist_files.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "core/atomic_file.h"
#include "core/file_failure.h"
#include "core/line_reader.h"
#include "core/profile_file.h"
#include "core/status_codes.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr std::string_view kQplHeader = "QMBQPLv1";
constexpr std::string_view kQspHeader = "QMBQSPv1";
constexpr std::string_view kM3uHeader = "#EXTM3U";
constexpr const char* kPlsSection = "playlist";
// What a PLS value may hold, in bytes.
constexpr std::size_t kPlsValueLimit = 511;

// What a reader will see of a field: it stops at a zero byte.
std::string_view AsLine(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

void AddLine(std::string& text, std::string_view line) {
  // A line break inside a field would shift every following line of the file.
  for (char c : AsLine(line)) text += (c == '\r' || c == '\n') ? ' ' : c;
  text += "\r\n";
}

// On this platform only a Windows drive prefix ("C:") is dropped; addresses and
// other paths keep their colons so that no round trip corrupts them.
std::string_view WithoutDrive(std::string_view path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      path.find("://") == std::string_view::npos) {
    return path.substr(2);
  }
  return path;
}

// An entry without a path plays nothing, and its empty path line would end
// the file for the reader, losing every entry after it.
bool Writable(const EntryList& list, int row) {
  return !WithoutDrive(AsLine(list.WholeFieldView(row, kPath))).empty();
}

void Write(const std::string& path, const std::string& text) {
  if (!WriteFileAtomically(path, text)) CannotOpenFile(path);
}

std::string ReadOrEnd(const std::string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) CannotOpenFile(path);
  return std::move(*bytes);
}

// The entry number of a PLS key such as "File12", or 0.
long PlsKeyNumber(std::string_view key) {
  for (std::string_view name : {"file", "title", "length"}) {
    if (key.size() <= name.size()) continue;
    bool same = std::equal(name.begin(), name.end(), key.begin(), [](char a, char b) {
      return a == std::tolower(static_cast<unsigned char>(b));
    });
    if (!same) continue;
    long n = 0;
    for (char c : key.substr(name.size())) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
      if (n > 1000000000) return 0;
    }
    return n;
  }
  return 0;
}

}  // namespace

std::string QplText(const EntryList& list) {
  std::string text;
  AddLine(text, kQplHeader);
  for (int row = 0; row < list.Count(); ++row) {
    if (!Writable(list, row)) continue;
    AddLine(text, list.WholeFieldView(row, kPath));
    for (int field : {kTitle, kLength, kTimesPlayed, kDateAdded, kDatePlayed}) {
      AddLine(text, list.FieldView(row, field));
    }
  }
  return text;
}

std::string PlsText(const EntryList& list) {
  ProfileFile profile;
  int written = 0;
  for (int row = 0; row < list.Count(); ++row) written += Writable(list, row);
  profile.Set(kPlsSection, "numberofentries", NumberText(written));
  int n = 0;
  for (int row = 0; row < list.Count(); ++row) {
    if (!Writable(list, row)) continue;
    std::string number = std::to_string(++n);
    profile.Set(kPlsSection, "File" + number, list.WholeFieldView(row, kPath));
    profile.Set(kPlsSection, "Title" + number, list.FieldView(row, kTitle));
    profile.Set(kPlsSection, "Length" + number, list.FieldView(row, kLength));
  }
  profile.Set(kPlsSection, "Version", "2");
  return profile.Text();
}

std::string M3uText(const EntryList& list) {
  std::string text;
  AddLine(text, kM3uHeader);
  for (int row = 0; row < list.Count(); ++row) {
    if (!Writable(list, row)) continue;
    AddLine(text, "#EXTINF:0," + std::string(list.FieldView(row, kTitle)));
    AddLine(text, WithoutDrive(list.WholeFieldView(row, kPath)));
  }
  return text;
}

std::string QspText(const EntryList& list) {
  std::string text;
  AddLine(text, kQspHeader);
  for (int row = 0; row < list.Count(); ++row) {
    if (Writable(list, row)) AddLine(text, list.WholeFieldView(row, kPath));
  }
  return text;
}

void SaveQpl(const EntryList& list, const std::string& path) {
  Write(path, QplText(list));
}
void SavePls(const EntryList& list, const std::string& path) {
  Write(path, PlsText(list));
}
void SaveM3u(const EntryList& list, const std::string& path) {
  Write(path, M3uText(list));
}
void SaveQsp(const EntryList& list, const std::string& path) {
  Write(path, QspText(list));
}

int ParseQpl(PlaylistStore& store, std::string_view bytes) {
  LineReader reader(bytes);
  if (reader.Next() != kQplHeader) return kUnknownPlaylistFormat;
  while (!reader.AtEnd()) {
    std::string path(reader.Next());
    if (path.empty()) break;
    EntryTexts texts;
    texts.title = reader.Next();
    texts.length = reader.Next();
    texts.timesPlayed = reader.Next();
    texts.dateAdded = reader.Next();
    texts.datePlayed = reader.Next();
    AddPlaylistEntry(store, path, texts);
  }
  return kOk;
}

int ParsePls(PlaylistStore& store, std::string_view bytes) {
  ProfileFile profile = ProfileFile::Parse(bytes);
  long count = profile.GetInt(kPlsSection, "numberofentries", 0);
  // Only numbers that have a key make an entry: a count from a damaged file
  // must not add millions of empty ones.
  std::set<long> numbers;
  for (const std::string& key : profile.Keys(kPlsSection)) {
    long n = PlsKeyNumber(key);
    if (n >= 1 && n <= count) numbers.insert(n);
  }
  for (long n : numbers) {
    std::string number = std::to_string(n);
    std::string path = profile.GetString(kPlsSection, "File" + number, "", kPlsValueLimit);
    std::string title = profile.GetString(kPlsSection, "Title" + number, "", kPlsValueLimit);
    std::string length = profile.GetString(kPlsSection, "Length" + number, "", kPlsValueLimit);
    EntryTexts texts;
    texts.title = title;
    texts.length = length;
    AddPlaylistEntry(store, path, texts);
  }
  return kOk;
}

int ParseM3u(PlaylistStore& store, std::string_view bytes) {
  LineReader reader(bytes);
  if (reader.Next() != kM3uHeader) return kUnknownPlaylistFormat;
  while (!reader.AtEnd()) {
    std::string_view info = reader.Next();
    std::string path(reader.Next());
    if (path.empty()) break;
    std::size_t comma = info.find(',');
    std::string_view title = comma == std::string_view::npos ? info : info.substr(comma + 1);
    EntryTexts texts;
    texts.title = title;
    AddPlaylistEntry(store, path, texts);
  }
  return kOk;
}

int ParseQsp(PlaylistStore& store, std::string_view bytes) {
  LineReader reader(bytes);
  if (reader.Next().empty()) return kUnknownPlaylistFormat;
  while (!reader.AtEnd()) {
    std::string path(reader.Next());
    if (path.empty()) break;
    AddPlaylistEntry(store, path);
  }
  return kOk;
}

int LoadQpl(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseQpl(store, ReadOrEnd(path));
}

int LoadPls(PlaylistStore& store, const std::string& path) {
  // Read as the profile functions read: a missing file has no entries.
  std::optional<std::string> bytes = ReadWholeFile(path);
  return ParsePls(store, bytes ? *bytes : std::string());
}

bool WritableEntry(const EntryList& list, int row) {
  return Writable(list, row);
}

// A missing file is not one that "exists but cannot be opened": a second start
// naming one must not end the running player.
int LoadM3u(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseM3u(store, ReadOrEnd(path));
}

int LoadQsp(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseQsp(store, ReadOrEnd(path));
}

PlaylistFormat PlaylistFormatOf(std::string_view path) {
  std::string ext = PathExtension(path);
  if (ext == "qpl") return PlaylistFormat::kQpl;
  if (ext == "pls") return PlaylistFormat::kPls;
  if (ext == "m3u") return PlaylistFormat::kM3u;
  if (ext == "qsp") return PlaylistFormat::kQsp;
  return PlaylistFormat::kNone;
}

int LoadPlaylist(PlaylistStore& store, const std::string& path, int load) {
  PlaylistFormat format = PlaylistFormatOf(path);
  if (format == PlaylistFormat::kNone) return kUnknownPlaylistFormat;
  if (load != 1) return kOk;
  int status = kOk;
  switch (format) {
    case PlaylistFormat::kQpl:
      status = LoadQpl(store, path);
      break;
    case PlaylistFormat::kPls:
      status = LoadPls(store, path);
      break;
    case PlaylistFormat::kM3u:
      status = LoadM3u(store, path);
      break;
    case PlaylistFormat::kQsp:
      status = LoadQsp(store, path);
      break;
    case PlaylistFormat::kNone:
      break;
  }
  ShowErrorCode(status);
  return kOk;
}

int SavePlaylist(const EntryList& list, const std::string& path) {
  switch (PlaylistFormatOf(path)) {
    case PlaylistFormat::kQpl:
      SaveQpl(list, path);
      return kOk;
    case PlaylistFormat::kPls:
      SavePls(list, path);
      return kOk;
    case PlaylistFormat::kM3u:
      SaveM3u(list, path);
      return kOk;
    case PlaylistFormat::kQsp:
      SaveQsp(list, path);
      return kOk;
    case PlaylistFormat::kNone:
      break;
  }
  return kUnknownPlaylistFormat;
}

}  // namespace qmb
