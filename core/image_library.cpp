#include "core/image_library.h"

#include <dlfcn.h>

#include "core/status_codes.h"

namespace qmb {
namespace {

void* libraryHandle = nullptr;
QmbLoadImageFn loadImage = nullptr;

}  // namespace

int LoadImageLibrary(const std::string& programFolder) {
  std::string path = programFolder + kImageLibraryName;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return kImageLibraryMissing;
  auto entry = reinterpret_cast<QmbLoadImageFn>(::dlsym(handle, QMB_LOAD_IMAGE_ENTRY));
  if (!entry) {
    ::dlclose(handle);
    return kEntryPointMissing;
  }
  if (libraryHandle) ::dlclose(libraryHandle);
  libraryHandle = handle;
  loadImage = entry;
  return kOk;
}

Picture LoadPicture(const std::string& path) {
  if (!loadImage) return nullptr;
  return Picture(loadImage(path.c_str()));
}

}  // namespace qmb
