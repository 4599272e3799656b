#include "services/splash_choice.h"

#include <filesystem>
#include <system_error>

#include "core/desktop.h"
#include "core/random_generator.h"

namespace qmb {

std::string RandomFileName(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  if (names.empty()) return {};
  RandomSeed(TheDesktop().UpTimeMs() / 1000);
  auto index = static_cast<std::size_t>(RandomNumber() * static_cast<double>(names.size()));
  return names[index < names.size() ? index : names.size() - 1];
}

Picture ChooseSplashPicture(const std::string& programFolder) {
  std::string folder = programFolder + kSplashFolderName;
  std::string name = RandomFileName(folder);
  Picture picture;
  if (!name.empty()) picture = LoadPicture(folder + name);
  if (!picture) {
    TheDesktop().ShowMessage(
        "Error loading the splash screen graphic. Perhaps you have none, or it is invalid.",
        "Error", MessageIcon::Error, MessageButtons::Ok);
  }
  return picture;
}

std::vector<int> FadeInSteps() {
  std::vector<int> steps;
  for (int alpha = 0; alpha <= 255; alpha += 5) steps.push_back(alpha);
  return steps;
}

std::vector<int> FadeOutSteps() {
  std::vector<int> steps;
  for (int alpha = 255; alpha > 0; alpha -= 10) steps.push_back(alpha);
  return steps;
}

}  // namespace qmb
