#include "core/text_util.h"

#include <cstdint>

namespace qmb {

void CutUtf8(std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return;
  std::size_t end = maxBytes;
  // Back off over continuation bytes so the cut lands before a lead byte.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

std::string CutUtf8Copy(std::string_view text, std::size_t maxBytes) {
  // One byte past the limit shows whether the cut lands inside a character.
  std::size_t keep = maxBytes < text.size() ? maxBytes + 1 : text.size();
  std::string copy(text.substr(0, keep));
  CutUtf8(copy, maxBytes);
  return copy;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    int more = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (more < 0 || i + static_cast<std::size_t>(more) >= text.size() + (more == 0 ? 1 : 0)) {
      return false;
    }
    std::uint32_t code = more == 0 ? c : c & (0x3F >> more);
    for (int k = 1; k <= more; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

std::string Utf8FromUtf8OrLatin1(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string utf8;
  utf8.reserve(text.size() * 2);
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      utf8 += ch;
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

std::string_view TrimSpace(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace qmb
