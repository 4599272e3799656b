#include "skin/skin_info.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/desktop.h"

namespace qmb {

const char* const kNoSkinInfoText = "No info availiable";

void ShowSkinInfo(const std::string& folderPath, EditModel& infoBox) {
  std::string path = folderPath + "readme.txt";
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return infoBox.SetText(kNoSkinInfoText);
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, ignored)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    TheDesktop().ShowMessage("File Not Found:" + path, "Error!", MessageIcon::None,
                             MessageButtons::Ok);
    return;
  }
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (text.empty()) {
    TheDesktop().ShowMessage("Could not read file:" + path, "Error!", MessageIcon::None,
                             MessageButtons::Ok);
    return;
  }
  infoBox.SetText(std::move(text));
}

}  // namespace qmb
