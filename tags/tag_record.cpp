#include "tags/tag_record.h"

#include <cstring>

namespace qmb {

TagRecord EmptyTagRecord() {
  TagRecord record;
  std::memset(&record, 0, sizeof record);
  return record;
}

std::string_view TagText(const char (&field)[kTagFieldSize]) {
  const void* end = std::memchr(field, '\0', kTagFieldSize);
  std::size_t size =
      end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : kTagFieldSize;
  return std::string_view(field, size);
}

void SetTagText(char (&field)[kTagFieldSize], std::string_view text) {
  std::size_t size = text.size() < kTagFieldSize ? text.size() : kTagFieldSize - 1;
  while (size > 0 && size < text.size() &&
         (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
    --size;
  }
  std::memcpy(field, text.data(), size);
  std::memset(field + size, 0, kTagFieldSize - size);
}

}  // namespace qmb
