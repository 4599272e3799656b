#include "app/hand_off.h"

#include "app/command_line.h"
#include "app/text_util.h"

namespace qmb {

int HandOffKind(const std::string& path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return 0;
  std::string ext = ToLowerAscii(path.substr(dot + 1));
  return (ext == "qpl" || ext == "pls" || ext == "m3u" || ext == "qsp") ? 1 : 0;
}

void ReceiveHandOff(int, const std::string&) {}

void ProcessOwnCommandLine(const std::string& tail) {
  if (tail.empty()) return;
  std::string path = RemoveAll(tail, "\"");
  (void)path;
}

}  // namespace qmb
