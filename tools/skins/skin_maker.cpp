// Writes the bundled skins into a Skins folder, as the build asks:
//   qmb_skin_maker <Skins folder>
#include <cstdio>
#include <string>

#include "tools/skins/skin_design.h"
#include "tools/skins/skin_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmb_skin_maker <Skins folder>\n");
    return 2;
  }
  const std::string parent = argv[1];
  for (const qmb::skins::SkinDesign& design :
       {qmb::skins::DefaultDesign(), qmb::skins::CompactDesign()}) {
    if (!qmb::skins::WriteSkinFolder(design, parent)) {
      std::fprintf(stderr, "qmb_skin_maker: could not write %s/%s\n", parent.c_str(),
                   design.folder.c_str());
      return 1;
    }
  }
  return 0;
}
