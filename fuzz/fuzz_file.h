// For readers that take a path: the fuzz input written to a file in a
// folder of this process's own, removed when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace qmb::fuzz {

inline const std::string& FuzzFolder() {
  // A plain array: the handler at exit must not outlive the name it removes.
  // TMPDIR may name a memory file system, where a save's fsync costs nothing.
  static char name[4096];
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::snprintf(name, sizeof name, "%s/qmb-fuzz-XXXXXX", base && *base ? base : "/tmp");
    if (!mkdtemp(name)) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(name, ignored);
    });
    return std::string(name) + "/";
  }();
  return folder;
}

// Writes `data` to `name` in the fuzz folder and returns its path.
inline std::string WriteFuzzFile(const std::string& name, const std::uint8_t* data,
                                 std::size_t size) {
  std::string path = FuzzFolder() + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  return path;
}

}  // namespace qmb::fuzz
