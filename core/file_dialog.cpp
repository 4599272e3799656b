#include "core/file_dialog.h"

#include <vector>

#include "core/command_line.h"
#include "core/desktop.h"
#include "core/text_util.h"

namespace qmb {
namespace {

std::vector<std::string_view> SplitBar(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) bar = text.size();
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return parts;
}

}  // namespace

std::string ConvertFilter(std::string_view filter) {
  std::vector<std::string_view> parts = SplitBar(filter);
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string_view label = TrimSpace(parts[i]);
    std::string patterns(TrimSpace(parts[i + 1]));
    if (patterns.empty()) continue;
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    // Qt reads the patterns from the last parenthesised group, so ours replaces one.
    if (!label.empty() && label.back() == ')') {
      std::size_t open = label.rfind('(');
      if (open != std::string_view::npos) label = TrimSpace(label.substr(0, open));
    }
    if (!result.empty()) result += ";;";
    result += std::string(label) + " (" + patterns + ")";
  }
  return result;
}

std::string FileDialog(const std::string& title, const std::string& filter, bool save,
                       const std::string& initialFolder, const std::string& defaultExtension) {
  std::vector<std::string> chosen = TheDesktop().ChooseFiles(
      title, ConvertFilter(filter), save, false, initialFolder, defaultExtension);
  if (chosen.empty()) return {};
  if (chosen.size() == 1) return chosen.front();
  std::string folder = FolderOfPath(chosen.front());
  if (folder.size() > 1) folder.pop_back();
  std::string result = folder;
  for (const std::string& path : chosen) result += ", " + path.substr(FolderOfPath(path).size());
  return result;
}

std::string ChooseFolder(const std::string& title, int, const std::string& initialFolder) {
  // The options of the system dialog have no counterpart here.
  return TheDesktop().ChooseFolderPath(title, initialFolder);
}

}  // namespace qmb
