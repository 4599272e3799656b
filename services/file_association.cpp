#include "services/file_association.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/atomic_file.h"
#include "core/desktop.h"
#include "core/status_codes.h"
#include "core/text_util.h"

namespace qmb {

const char* const kNoLongerAssociatedText =
    "This extension is no longer associated with Qumble Player.";

const std::vector<std::string> kPlayerMimeTypes = {
    "audio/mpeg",          "audio/x-wav",  "audio/ogg",        "audio/x-vorbis+ogg",
    "audio/x-opus+ogg",    "audio/flac",   "audio/x-flac+ogg", "audio/mp4",
    "audio/aac",           "audio/x-aiff", "audio/x-ape",      "audio/x-wavpack",
    "audio/x-ms-wma",      "audio/midi",   "audio/x-mod",      "audio/x-xm",
    "audio/x-it",          "audio/x-s3m",  "audio/x-mpegurl",  "audio/x-scpls",
    "application/xspf+xml"};

namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// A base directory variable; relative values do not count.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? value : "";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string_view::npos) end = value.size();
    std::string_view item = TrimSpace(value.substr(start, end - start));
    if (!item.empty()) items.emplace_back(item);
    start = end + 1;
  }
  return items;
}

// The line of `key` inside `group`, and the line after the group's end.
struct Found {
  int groupLine = -1;
  int keyLine = -1;
  int endLine = 0;
};

Found FindKey(const std::vector<std::string>& lines, const std::string& group,
              const std::string& key) {
  Found found;
  found.endLine = static_cast<int>(lines.size());
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string_view line = TrimSpace(lines[static_cast<std::size_t>(i)]);
    if (!line.empty() && line.front() == '[') {
      if (found.groupLine >= 0) {
        found.endLine = i;
        break;
      }
      if (line == "[" + group + "]") found.groupLine = i;
      continue;
    }
    if (found.groupLine < 0 || found.keyLine >= 0) continue;
    std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && TrimSpace(line.substr(0, equals)) == key) {
      found.keyLine = i;
    }
  }
  // Blank lines before the next group stay with it.
  while (found.groupLine >= 0 && found.endLine - 1 > found.groupLine &&
         TrimSpace(lines[static_cast<std::size_t>(found.endLine - 1)]).empty()) {
    --found.endLine;
  }
  return found;
}

std::vector<std::string> ListOf(const std::vector<std::string>& lines, const Found& found) {
  if (found.keyLine < 0) return {};
  const std::string& line = lines[static_cast<std::size_t>(found.keyLine)];
  return SplitList(std::string_view(line).substr(line.find('=') + 1));
}

// Sets `key` in `group` to the list, or removes the key when it is empty.
void StoreList(std::vector<std::string>& lines, const std::string& group, const std::string& key,
               const std::vector<std::string>& items) {
  Found found = FindKey(lines, group, key);
  std::string value = key + "=";
  for (const std::string& item : items) value += item + ";";
  if (found.keyLine >= 0) {
    if (items.empty()) {
      lines.erase(lines.begin() + found.keyLine);
    } else {
      lines[static_cast<std::size_t>(found.keyLine)] = value;
    }
    return;
  }
  if (items.empty()) return;
  if (found.groupLine < 0) {
    if (!lines.empty() && !TrimSpace(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + group + "]");
    lines.push_back(value);
    return;
  }
  lines.insert(lines.begin() + found.endLine, value);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string MimeAppsPath(const XdgFolders& folders) {
  return WithSlash(folders.configHome) + "mimeapps.list";
}

void ShowAttention(const std::string& text) {
  TheDesktop().ShowMessage(text, "Attention", MessageIcon::Information, MessageButtons::Ok);
}

bool WriteOrSay(const std::string& path, const std::string& content) {
  std::error_code ignored;
  fs::create_directories(fs::path(path).parent_path(), ignored);
  if (WriteFileAtomically(path, content)) return true;
  TheDesktop().ShowMessage("Could not write " + path + ". " + SystemErrorText(), "Error",
                           MessageIcon::Error, MessageButtons::Ok);
  return false;
}

// A desktop entry string: the Exec quoting for the program path, then the
// entry format's escapes.
std::string ExecArgument(const std::string& path) {
  static const char* kReserved = " \t\n\"'\\><~|&;$*?#()`";
  if (path.find_first_of(kReserved) == std::string::npos) return path;
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (char c : quoted) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string ExtensionGlob(const std::string& type) {
  std::string_view name = TrimSpace(type);
  while (!name.empty() && (name.front() == '*' || name.front() == '.')) name.remove_prefix(1);
  if (name.empty()) return {};
  return "*." + std::string(name);
}

}  // namespace

XdgFolders XdgFoldersFromEnvironment() {
  XdgFolders folders;
  std::string home = Environment("HOME");
  folders.dataHome = Environment("XDG_DATA_HOME");
  if (folders.dataHome.empty()) folders.dataHome = home + "/.local/share";
  folders.configHome = Environment("XDG_CONFIG_HOME");
  if (folders.configHome.empty()) folders.configHome = home + "/.config";
  std::string dirs = Environment("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (end > start) folders.dataDirs.push_back(dirs.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::string DesktopEntryText(const std::string& programFolder, const std::string& icon) {
  std::string types;
  for (const std::string& type : kPlayerMimeTypes) types += type + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Qumble Player\n"
         "GenericName=Audio Player\n"
         "Comment=Play audio files, streams and playlists in a skinnable window\n"
         "Icon=" +
         icon +
         "\n"
         "Exec=" +
         ExecArgument(programFolder + "QMB") +
         " %f\n"
         "Terminal=false\n"
         "Categories=AudioVideo;Audio;Player;\n"
         "MimeType=" +
         types + "\n";
}

std::vector<std::string> MimeTypesOfType(const std::string& type, const XdgFolders& folders) {
  std::string glob = ExtensionGlob(type);
  if (glob.empty()) return {};
  std::string lowerGlob = ToLowerAscii(glob);
  std::vector<std::string> databases = {WithSlash(folders.dataHome) + "mime/globs2"};
  for (const std::string& dir : folders.dataDirs)
    databases.push_back(WithSlash(dir) + "mime/globs2");
  int best = -1;
  std::vector<std::string> found;
  for (const std::string& database : databases) {
    std::ifstream in(database);
    for (std::string line; std::getline(in, line);) {
      // weight:type:glob[:flags]
      if (line.empty() || line.front() == '#') continue;
      std::size_t first = line.find(':');
      std::size_t second = line.find(':', first + 1);
      if (first == std::string::npos || second == std::string::npos) continue;
      std::size_t third = line.find(':', second + 1);
      std::string pattern = line.substr(
          second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
      bool caseSensitive =
          third != std::string::npos && line.find("cs", third) != std::string::npos;
      if (caseSensitive ? pattern != glob : ToLowerAscii(pattern) != lowerGlob) continue;
      int weight = std::atoi(line.substr(0, first).c_str());
      std::string mime = line.substr(first + 1, second - first - 1);
      if (weight > best) {
        best = weight;
        found.clear();
      }
      if (weight == best && std::find(found.begin(), found.end(), mime) == found.end()) {
        found.push_back(mime);
      }
    }
  }
  auto video = [](const std::string& mime) { return mime.rfind("video/", 0) == 0; };
  if (!std::all_of(found.begin(), found.end(), video)) std::erase_if(found, video);
  return found;
}

std::string DefaultApplication(const std::string& text, const std::string& mime) {
  std::vector<std::string> lines = Lines(text);
  std::vector<std::string> list = ListOf(lines, FindKey(lines, "Default Applications", mime));
  return list.empty() ? std::string() : list.front();
}

std::string MakeDefault(const std::string& text, const std::string& mime,
                        const std::string& desktop) {
  std::vector<std::string> lines = Lines(text);
  for (const char* group : {"Default Applications", "Added Associations"}) {
    std::vector<std::string> list = ListOf(lines, FindKey(lines, group, mime));
    std::erase(list, desktop);
    list.insert(list.begin(), desktop);
    StoreList(lines, group, mime, list);
  }
  return Joined(lines);
}

std::string RemoveApplication(const std::string& text, const std::string& mime,
                              const std::string& desktop) {
  std::vector<std::string> lines = Lines(text);
  for (const char* group : {"Default Applications", "Added Associations"}) {
    std::vector<std::string> list = ListOf(lines, FindKey(lines, group, mime));
    if (std::erase(list, desktop) > 0) StoreList(lines, group, mime, list);
  }
  return Joined(lines);
}

bool AssociateType(const std::string& type, const std::string& programFolder,
                   const XdgFolders& folders) {
  std::vector<std::string> mimes = MimeTypesOfType(type, folders);
  if (mimes.empty()) {
    ShowAttention("The desktop knows no file type " + std::string(TrimSpace(type)) +
                  "; it cannot be associated with Qumble Player.");
    return false;
  }
  std::string icon = programFolder + "Icons/" + kIconName + ".png";
  if (!PathExists(icon)) icon = kIconName;
  std::string entry = WithSlash(folders.dataHome) + "applications/" + kDesktopEntryName;
  if (!WriteOrSay(entry, DesktopEntryText(programFolder, icon))) return false;
  std::string path = MimeAppsPath(folders);
  std::string text = ReadText(path);
  for (const std::string& mime : mimes) text = MakeDefault(text, mime, kDesktopEntryName);
  return WriteOrSay(path, text);
}

void DisassociateType(const std::string& type, const XdgFolders& folders) {
  std::string path = MimeAppsPath(folders);
  std::string original = ReadText(path);
  std::string text = original;
  for (const std::string& mime : MimeTypesOfType(type, folders)) {
    if (DefaultApplication(text, mime) == kDesktopEntryName) {
      text = RemoveApplication(text, mime, kDesktopEntryName);
    }
  }
  if (text == original) return ShowAttention(kNoLongerAssociatedText);
  WriteOrSay(path, text);
}

void AddType(EditModel& newType, StringListModel& types, const std::string& programFolder,
             const XdgFolders& folders) {
  std::string type(TrimSpace(newType.Text()));
  if (type.empty()) return;
  if (AssociateType(type, programFolder, folders)) types.Append(type);
}

void DeleteType(StringListModel& types, int selected, const XdgFolders& folders) {
  if (selected < 0 || selected >= types.Count()) return;
  DisassociateType(std::string(TrimSpace(types.Items()[static_cast<std::size_t>(selected)])),
                   folders);
  types.RemoveAt(selected);
}

}  // namespace qmb
