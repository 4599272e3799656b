#include "core/type_list.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/control_models.h"
#include "core/file_failure.h"
#include "core/text_util.h"

namespace qmb {
namespace {

std::string FirstWord(std::string_view line) {
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
  // Lines are read whole however long they are; only their first word counts.
  std::string line;
  bool pending = false;
  char chunk[4096];
  while (std::fgets(chunk, sizeof chunk, file)) {
    line += chunk;
    pending = true;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
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
