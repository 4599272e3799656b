// A small 24-bit BMP whose pixel (x, y) is red x * 16, green y * 16, blue 7,
// for tests that need a real picture file.
#pragma once

#include <cstdint>
#include <string>

namespace qmb::test {

inline std::string Bitmap(int w, int h) {
  int rowBytes = (w * 3 + 3) / 4 * 4;
  auto le = [](std::string& s, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string s = "BM";
  le(s, 54 + rowBytes * h, 4), le(s, 0, 4), le(s, 54, 4);
  le(s, 40, 4), le(s, w, 4), le(s, h, 4), le(s, 1, 2), le(s, 24, 2), le(s, 0, 4);
  le(s, rowBytes * h, 4), le(s, 2835, 4), le(s, 2835, 4), le(s, 0, 4), le(s, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += {char(7), char(y * 16), char(x * 16)};
    row.resize(rowBytes, '\0');
    s += row;
  }
  return s;
}

// The ARGB value Bitmap gives pixel (x, y).
inline std::uint32_t BitmapPixel(int x, int y) {
  return 0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | 7;
}

}  // namespace qmb::test
