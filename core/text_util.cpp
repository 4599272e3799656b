#include "core/text_util.h"

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
