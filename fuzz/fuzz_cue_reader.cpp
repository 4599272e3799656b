// Fuzzes the CD route's cue sheets: any .cue beside a short BIN opens as a
// disc or not at all, and each of its tracks opens or is refused with a
// reason, and reads and seeks within its length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/source.h"
#include "fuzz_file.h"

namespace {

constexpr int kSectorBytes = 2352;
constexpr int kBinSectors = 40;

void Check(bool ok) {
  if (!ok) std::abort();
}

void WriteBinOnce() {
  static const bool written = [] {
    std::vector<std::uint8_t> bin(kSectorBytes * kBinSectors);
    for (std::size_t i = 0; i < bin.size(); ++i) bin[i] = static_cast<std::uint8_t>(i * 7);
    qmb::fuzz::WriteFuzzFile("disc.bin", bin.data(), bin.size());
    return true;
  }();
  (void)written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteBinOnce();
  std::string cue = qmb::fuzz::WriteFuzzFile("disc.cue", data, size);
  std::string error;
  std::unique_ptr<qmb::engine::CdDisc> disc = qmb::engine::OpenCdDisc(cue, &error);
  if (!disc) {
    Check(!error.empty());
    return 0;
  }
  Check(disc->TrackCount() >= 0 && disc->TrackCount() <= 99);
  std::vector<float> samples(2 * 1200);
  for (int track = 0; track <= disc->TrackCount() + 1; ++track) {
    error.clear();
    std::unique_ptr<qmb::engine::Source> source = disc->OpenTrack(track, &error);
    if (!source) {
      Check(!error.empty());
      continue;
    }
    std::int64_t length = source->LengthFrames();
    Check(length > 0 && source->Channels() == 2);
    Check(source->Read(samples.data(), 1200) <= 1200);
    Check(source->Seek(length > 600 ? length - 600 : 0));
    std::size_t tail = source->Read(samples.data(), 1200);
    Check(static_cast<std::int64_t>(tail) <= 600);
  }
  return 0;
}
