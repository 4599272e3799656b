#include "playlist/playlist_files.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <set>

#include "core/atomic_file.h"
#include "core/file_failure.h"
#include "core/line_reader.h"
#include "core/profile_file.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "playlist/entry_location.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

constexpr std::string_view kQplHeader = "QMBQPLv1";
constexpr std::string_view kQspHeader = "QMBQSPv1";
constexpr std::string_view kM3uHeader = "#EXTM3U";
constexpr std::string_view kM3uInfo = "#extinf:";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
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

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  return text.size() >= lowerPrefix.size() &&
         std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

// The entry number of a PLS key such as "File12", or -1.
long PlsKeyNumber(std::string_view key) {
  for (std::string_view name : {"file", "title", "length"}) {
    if (key.size() <= name.size() || !StartsWithNoCase(key, name)) continue;
    long n = 0;
    for (char c : key.substr(name.size())) {
      if (c < '0' || c > '9') return -1;
      n = n * 10 + (c - '0');
      if (n > 1000000000) return -1;
    }
    return n;
  }
  return -1;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return bytes;
}

// White space before a line's text, a stray carriage return included, never
// makes a comment a path.
std::string_view WithoutLeadingBlanks(std::string_view line) {
  while (!line.empty() && IsSpace(line.front())) line.remove_prefix(1);
  return line;
}

// Other players' M3U files may carry attributes after the header word.
bool IsM3uHeader(std::string_view line) {
  return line.starts_with(kM3uHeader) &&
         (line.size() == kM3uHeader.size() || line[kM3uHeader.size()] == ' ' ||
          line[kM3uHeader.size()] == '\t');
}

// The Length column's text for a duration in seconds; empty when the value
// is no positive duration.
std::string SecondsLength(std::string_view text) {
  text = TrimSpace(text);
  double seconds = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc() || end == text.data() || !std::isfinite(seconds) || seconds <= 0) {
    return {};
  }
  return TimeText(static_cast<float>(seconds), 0, 0.0f);
}

// What an #EXTINF line tells about the path after it.
struct M3uInfo {
  std::optional<std::string> title;
  std::string length;
};

M3uInfo ReadM3uInfo(std::string_view line) {
  std::string_view rest = line.substr(kM3uInfo.size());
  std::size_t comma = rest.find(',');
  M3uInfo info;
  info.length = SecondsLength(rest.substr(0, comma));
  if (comma != std::string_view::npos) info.title = TrimSpace(rest.substr(comma + 1));
  return info;
}

// Other players write a PLS length in whole seconds, -1 for a stream.
std::string PlsLength(std::string length) {
  std::string_view digits = length;
  bool negative = digits.starts_with('-');
  if (negative) digits.remove_prefix(1);
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return length;
  }
  if (negative) return {};
  std::string seconds = SecondsLength(digits);
  return seconds.empty() ? length : seconds;
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
    std::string_view path = AsLine(list.WholeFieldView(row, kPath));
    std::string_view written = WithoutDrive(path);
    // Without its drive the path must not read as a comment or a blank line.
    if (WithoutLeadingBlanks(written).starts_with('#') || TrimSpace(written).empty()) {
      written = path;
    }
    AddLine(text, written);
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

int ParsePls(PlaylistStore& store, std::string_view bytes, std::string_view folder) {
  ProfileFile profile = ProfileFile::Parse(WithoutByteOrderMark(bytes));
  long count = profile.GetInt(kPlsSection, "numberofentries", 0);
  // Only numbers that have a key make an entry: a count from a damaged file
  // must not add millions of empty ones. Some players count from 0.
  std::set<long> numbers;
  for (const std::string& key : profile.Keys(kPlsSection)) {
    long n = PlsKeyNumber(key);
    if (n >= 0 && n <= count) numbers.insert(n);
  }
  for (long n : numbers) {
    std::string number = std::to_string(n);
    std::string path = profile.GetString(kPlsSection, "File" + number, "", kPlsValueLimit);
    std::string title = profile.GetString(kPlsSection, "Title" + number, "", kPlsValueLimit);
    std::string length =
        PlsLength(profile.GetString(kPlsSection, "Length" + number, "", kPlsValueLimit));
    EntryTexts texts;
    texts.title = title;
    texts.length = length;
    AddPlaylistEntry(store, ResolveEntryLocation(path, folder), texts);
  }
  return kOk;
}

int ParseM3u(PlaylistStore& store, std::string_view bytes, std::string_view folder) {
  LineReader reader(WithoutByteOrderMark(bytes));
  if (!IsM3uHeader(reader.Next())) return kUnknownPlaylistFormat;
  std::optional<M3uInfo> info;
  while (!reader.AtEnd()) {
    std::string_view line = WithoutLeadingBlanks(reader.Next());
    if (TrimSpace(line).empty()) continue;
    if (line.front() == '#') {
      if (StartsWithNoCase(line, kM3uInfo)) info = ReadM3uInfo(line);
      continue;
    }
    EntryTexts texts;
    if (info) {
      if (info->title) texts.title = *info->title;
      if (!info->length.empty()) texts.length = info->length;
    }
    AddPlaylistEntry(store, ResolveEntryLocation(line, folder), texts);
    info.reset();
  }
  return kOk;
}

int ParseQsp(PlaylistStore& store, std::string_view bytes, std::string_view folder) {
  LineReader reader(bytes);
  if (reader.Next().empty()) return kUnknownPlaylistFormat;
  while (!reader.AtEnd()) {
    std::string_view path = reader.Next();
    if (path.empty()) break;
    AddPlaylistEntry(store, ResolveEntryLocation(path, folder));
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
  return ParsePls(store, bytes ? *bytes : std::string(), PlaylistFolder(path));
}

bool WritableEntry(const EntryList& list, int row) {
  return Writable(list, row);
}

// A missing file is not one that "exists but cannot be opened": a second start
// naming one must not end the running player.
int LoadM3u(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseM3u(store, ReadOrEnd(path), PlaylistFolder(path));
}

int LoadQsp(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseQsp(store, ReadOrEnd(path), PlaylistFolder(path));
}

int LoadXspf(PlaylistStore& store, const std::string& path) {
  if (!PathExists(path)) return kUnknownPlaylistFormat;
  return ParseXspf(store, ReadOrEnd(path), PlaylistFolder(path));
}

PlaylistFormat PlaylistFormatOf(std::string_view path) {
  // An address such as an HLS stream ending in .m3u8 is played, not read.
  if (path.find("://") != std::string_view::npos && !FileUriPath(path)) {
    return PlaylistFormat::kNone;
  }
  std::string ext = PathExtension(path);
  if (ext == "qpl") return PlaylistFormat::kQpl;
  if (ext == "pls") return PlaylistFormat::kPls;
  if (ext == "m3u" || ext == "m3u8") return PlaylistFormat::kM3u;
  if (ext == "qsp") return PlaylistFormat::kQsp;
  if (ext == "xspf") return PlaylistFormat::kXspf;
  return PlaylistFormat::kNone;
}

int LoadPlaylist(PlaylistStore& store, const std::string& location, int load) {
  PlaylistFormat format = PlaylistFormatOf(location);
  if (format == PlaylistFormat::kNone) return kUnknownPlaylistFormat;
  if (load != 1) return kOk;
  std::string path = FileUriPath(location).value_or(location);
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
    case PlaylistFormat::kXspf:
      status = LoadXspf(store, path);
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
    case PlaylistFormat::kXspf:
    case PlaylistFormat::kNone:
      break;
  }
  return kUnknownPlaylistFormat;
}

}  // namespace qmb
