// Writes the desktop entry that `cmake --install` puts under share/:
//   qmb_desktop_entry <program folder> <icon> <output file>
#include <cstdio>
#include <fstream>

#include "services/file_association.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: qmb_desktop_entry <program folder> <icon> <output file>\n");
    return 2;
  }
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out << qmb::DesktopEntryText(std::string(argv[1]) + "/", argv[2]);
  return out.good() ? 0 : 1;
}
