// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qmb::test {

// The whole file at `path`; empty when unreadable.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qmb-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Ends in "/".
  const std::string& Path() const { return path_; }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ + name, std::ios::binary | std::ios::trunc);
    out << content;
  }
  std::string Read(const std::string& name) const { return ReadFile(path_ + name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ + name); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

}  // namespace qmb::test
