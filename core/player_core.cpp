#include "core/player_core.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qmb {

PlayerCore& ThePlayer() {
  static PlayerCore player;
  return player;
}

std::string ChooseDataFolder(const std::string& programFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string base = config && *config == '/' ? config : std::string(home ? home : "") + "/.config";
  std::string folder = base + "/qumble-player/";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

}  // namespace qmb
