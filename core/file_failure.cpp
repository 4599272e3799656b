#include "core/file_failure.h"

#include <cstdio>
#include <cstdlib>

namespace qmb {

void CannotOpenFile(const std::string& path) {
  std::fprintf(stderr, "Can't open file %s\n", path.c_str());
  std::fflush(nullptr);
  // No destructors: the windows and the engine go with the process.
  std::_Exit(1);
}

}  // namespace qmb
