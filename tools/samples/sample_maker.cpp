// Writes one sample piece, or the playlists of them, as the build asks:
//   qmb_sample_maker melody|waltz|chip <file>
//   qmb_sample_maker playlists <folder>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/atomic_file.h"
#include "tools/samples/pieces.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qmb_sample_maker melody|waltz|chip <file>\n"
               "       qmb_sample_maker playlists <folder>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  std::string_view what = argv[1];
  std::string target = argv[2];
  std::string bytes;
  if (what == "melody") {
    bytes = qmb::samples::MelodyWav();
  } else if (what == "waltz") {
    bytes = qmb::samples::WaltzMidi();
  } else if (what == "chip") {
    bytes = qmb::samples::ChipModule();
  } else if (what == "playlists") {
    qmb::samples::WritePlaylists(target);
    return 0;
  } else {
    return Usage();
  }
  // Atomic, so an interrupted build never leaves a half piece that looks new.
  if (!qmb::WriteFileAtomically(target, bytes)) {
    std::fprintf(stderr, "qmb_sample_maker: cannot write %s\n", target.c_str());
    return 1;
  }
  return 0;
}
