#include "core/type_list.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/control_models.h"
#include "core/file_failure.h"
#include "core/text_util.h"

namespace qmb {
namespace {

// A line's first word; a zero byte ends it as it ends a C string.
std::string FirstWord(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::size_t begin = 0;
  while (begin < line.size() && IsSpace(line[begin])) ++begin;
  std::size_t end = begin;
  while (end < line.size() && !IsSpace(line[end])) ++end;
  return std::string(line.substr(begin, end - begin));
}

}  // namespace

void ReadTypeList(const std::string& path, StringListModel& list) {
  if (!PathExists(path)) return;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) CannotOpenFile(path);
  // Lines are read whole however long they are, zero bytes and all; only
  // their first word counts.
  std::string line;
  bool pending = false;
  char chunk[4096];
  while (std::size_t got = std::fread(chunk, 1, sizeof chunk, file)) {
    for (std::size_t i = 0; i < got; ++i) {
      if (chunk[i] != '\n') {
        line += chunk[i];
        pending = true;
        continue;
      }
      list.Append(FirstWord(line));
      line.clear();
      pending = false;
    }
  }
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) CannotOpenFile(path);
  if (pending) list.Append(FirstWord(line));
}

void WriteTypeList(const std::string& path, const StringListModel& list) {
  std::string content;
  for (const std::string& item : list.Items()) {
    content += TrimSpace(item);
    content += '\n';
  }
  if (!WriteFileAtomically(path, content)) CannotOpenFile(path);
}

}  // namespace qmb
