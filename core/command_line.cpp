#include "core/command_line.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "core/text_util.h"

namespace qmb {

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  if (argc > 0 && argv[0]) {
    std::string program = argv[0];
    bool blank = false;
    for (char c : program) blank = blank || IsSpace(c);
    line = blank ? "\"" + program + "\"" : program;
  }
  for (int i = 1; i < argc; ++i) {
    line += ' ';
    line += argv[i];
  }
  return line;
}

std::string CommandTail(std::string_view commandLine) {
  std::size_t i = 0;
  bool quoted = false;
  // The first token: blanks end it only outside double quotes.
  for (; i < commandLine.size(); ++i) {
    char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsSpace(c)) {
      break;
    }
  }
  while (i < commandLine.size() && IsSpace(commandLine[i])) ++i;
  return std::string(commandLine.substr(i));
}

std::string RemoveAll(std::string_view text, std::string_view pattern) {
  std::string result(text);
  if (pattern.empty()) return result;
  if (pattern.size() == 1) {
    std::erase(result, pattern[0]);
    return result;
  }
  // A cut can join a new occurrence that starts at most pattern.size() - 1
  // bytes before it, so searching again from there equals starting over.
  for (std::size_t at = result.find(pattern); at != std::string::npos;) {
    result.erase(at, pattern.size());
    at = result.find(pattern, at >= pattern.size() - 1 ? at - (pattern.size() - 1) : 0);
  }
  return result;
}

std::string FolderOfPath(std::string_view path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

std::string ProgramFolder() {
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "./";
  return FolderOfPath(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
}

}  // namespace qmb
