// Byte-limited texts. The formats count bytes; texts are UTF-8 here, so a cut
// never splits a character.
#pragma once

#include <string>
#include <string_view>

namespace qmb {

// Cuts `text` to at most `maxBytes` bytes, backing off to a character boundary.
void CutUtf8(std::string& text, std::size_t maxBytes);
std::string CutUtf8Copy(std::string_view text, std::size_t maxBytes);

// True for blank, tab, line feed, vertical tab, form feed and carriage return.
inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);
// Texts from outside in an unknown encoding: UTF-8 stays as it is, anything
// else is read as Latin-1 and converted.
std::string Utf8FromUtf8OrLatin1(std::string_view text);

std::string_view TrimSpace(std::string_view text);
std::string ToLowerAscii(std::string_view text);

}  // namespace qmb
