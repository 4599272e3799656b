#include "media/drive_items.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/command_ids.h"

namespace qmb {
namespace {

// The mount table writes blanks, tabs, newlines and backslashes as octal escapes.
std::string Unescape(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      std::string_view digits = field.substr(i + 1, 3);
      if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out +=
            static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    std::size_t end = line.find_first_of(" \t");
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) break;
    line.remove_prefix(end);
  }
  return fields;
}

bool ReadOnly(std::string_view options) {
  while (!options.empty()) {
    std::size_t comma = options.find(',');
    if (options.substr(0, comma) == "ro") return true;
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  return false;
}

bool Below(std::string_view folder, std::string_view parent) {
  return folder.size() > parent.size() && folder.starts_with(parent);
}

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// A partition's removable flag is its disk's, one folder up.
bool RemovableDevice(const std::string& device) {
  if (device.empty() || device.find('/') != std::string::npos) return false;
  std::string base = "/sys/class/block/" + device;
  std::string flag = ReadFirstLine(base + "/removable");
  if (flag.empty()) flag = ReadFirstLine(base + "/../removable");
  return flag == "1";
}

std::string UserName() {
  if (const passwd* entry = ::getpwuid(::getuid())) return entry->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

}  // namespace

DriveItemList DriveItemsFrom(std::string_view mountTable, std::string_view user,
                             const std::function<bool(const std::string& device)>& removable) {
  DriveItemList items;
  std::string userMedia = "/run/media/" + std::string(user) + "/";
  std::vector<std::string> folders;
  while (!mountTable.empty() && static_cast<int>(folders.size()) < kMaxDriveItems) {
    std::size_t end = mountTable.find('\n');
    std::vector<std::string_view> fields = Fields(mountTable.substr(0, end));
    mountTable.remove_prefix(end == std::string_view::npos ? mountTable.size() : end + 1);
    if (fields.size() < 4 || ReadOnly(fields[3])) continue;
    std::string folder = Unescape(fields[1]);
    std::string device = Unescape(fields[0]);
    bool userMount = Below(folder, "/media/") || Below(folder, "/mnt/") ||
                     (!user.empty() && Below(folder, userMedia));
    bool removableMount = device.starts_with("/dev/") && removable &&
                          removable(device.substr(std::string_view("/dev/").size()));
    if (!userMount && !removableMount) continue;
    if (std::find(folders.begin(), folders.end(), folder) != folders.end()) continue;
    folders.push_back(folder);
  }
  for (std::size_t i = 0; i < folders.size(); ++i) {
    items.emplace_back(command::kFirstDrive + static_cast<int>(i), folders[i]);
  }
  return items;
}

DriveItemList CurrentDriveItems() {
  std::ifstream in("/proc/self/mounts");
  std::stringstream table;
  table << in.rdbuf();
  return DriveItemsFrom(table.str(), UserName(), RemovableDevice);
}

}  // namespace qmb
