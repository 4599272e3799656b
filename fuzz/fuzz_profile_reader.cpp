// Fuzzes the profile-file reader: any bytes parse, and what it writes back
// reads the same for every section and key it found.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qmb::ProfileFile profile = qmb::ProfileFile::Parse(bytes);
  qmb::ProfileFile again = qmb::ProfileFile::Parse(profile.Text());
  if (again.Text() != profile.Text()) std::abort();
  profile.Set("Main0", "Graphic", bytes.substr(0, 64));
  (void)profile.GetInt("Main0", "Graphic", -1);
  return 0;
}
