// Fuzzes the QMB.typ reader: every line gives one entry without blanks, and
// what the writer makes of them reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/control_models.h"
#include "core/type_list.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path = qmb::fuzz::WriteFuzzFile("QMB.typ", data, size);
  qmb::StringListModel list;
  qmb::ReadTypeList(path, list);
  std::size_t lines = 0;
  for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  if (size > 0 && data[size - 1] != '\n') ++lines;
  if (static_cast<std::size_t>(list.Count()) != lines) std::abort();
  for (const std::string& item : list.Items()) {
    if (item.find_first_of(" \t\n\r\v\f") != std::string::npos) std::abort();
  }
  qmb::WriteTypeList(path, list);
  qmb::StringListModel again;
  qmb::ReadTypeList(path, again);
  if (again.Items() != list.Items()) std::abort();
  return 0;
}
