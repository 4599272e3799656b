// Loads the picture library from the program folder and decodes pictures
// through its one entry point.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "imagelib/qmb_image.h"

namespace qmb {

#ifdef _WIN32
constexpr const char* kImageLibraryName = "image.dll";
#else
constexpr const char* kImageLibraryName = "image.so";
#endif

struct PictureDeleter {
  void operator()(QmbPicture* picture) const { std::free(picture); }
};
using Picture = std::unique_ptr<QmbPicture, PictureDeleter>;

// 1 when program folder + the library and its entry point were found, 22 when
// the library cannot be loaded, 9 when the entry point is missing. The library
// stays loaded for the rest of the run.
[[nodiscard]] int LoadImageLibrary(const std::string& programFolder);

// Decodes `path` through the loaded library; null when it cannot (or when the
// library is not loaded).
Picture LoadPicture(const std::string& path);

}  // namespace qmb
