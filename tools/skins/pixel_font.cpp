// Glyphs are rows of '#' (ink) and '.' (paper); widths vary so that M, N, Q
// and W stay readable.
#include "tools/skins/pixel_font.h"

#include <array>
#include <cctype>
#include <string>

namespace qmb::skins {

namespace {

using Glyph = std::array<const char*, kPixelFontHeight>;

const Glyph* FindGlyph(char c) {
  static const std::array<std::pair<char, Glyph>, 40> glyphs = {{
      {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
      {'B', {"##.", "#.#", "##.", "#.#", "##."}},
      {'C', {".##", "#..", "#..", "#..", ".##"}},
      {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
      {'E', {"###", "#..", "##.", "#..", "###"}},
      {'F', {"###", "#..", "##.", "#..", "#.."}},
      {'G', {".##", "#..", "#.#", "#.#", ".##"}},
      {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
      {'I', {"###", ".#.", ".#.", ".#.", "###"}},
      {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
      {'L', {"#..", "#..", "#..", "#..", "###"}},
      {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
      {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
      {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
      {'P', {"##.", "#.#", "##.", "#..", "#.."}},
      {'Q', {".##.", "#..#", "#..#", "#.#.", ".#.#"}},
      {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
      {'S', {".##", "#..", ".#.", "..#", "##."}},
      {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
      {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
      {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
      {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
      {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
      {'0', {"###", "#.#", "#.#", "#.#", "###"}},
      {'1', {".#.", "##.", ".#.", ".#.", "###"}},
      {'2', {"##.", "..#", ".#.", "#..", "###"}},
      {'3', {"##.", "..#", ".#.", "..#", "##."}},
      {'4', {"#.#", "#.#", "###", "..#", "..#"}},
      {'5', {"###", "#..", "##.", "..#", "##."}},
      {'6', {".##", "#..", "###", "#.#", "###"}},
      {'7', {"###", "..#", ".#.", ".#.", ".#."}},
      {'8', {"###", "#.#", "###", "#.#", "###"}},
      {'9', {"###", "#.#", "###", "..#", "##."}},
      {'+', {"...", ".#.", "###", ".#.", "..."}},
      {'-', {"...", "...", "###", "...", "..."}},
      {'?', {"##.", "..#", ".#.", "...", ".#."}},
      {'.', {".", ".", ".", ".", "#"}},
      {':', {".", "#", ".", "#", "."}},
      {'/', {"..#", "..#", ".#.", "#..", "#.."}},
      {' ', {"..", "..", "..", "..", ".."}},
  }};
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& [letter, glyph] : glyphs) {
    if (letter == upper) return &glyph;
  }
  return nullptr;
}

const Glyph& GlyphOrSpace(char c) {
  const Glyph* glyph = FindGlyph(c);
  return glyph ? *glyph : *FindGlyph(' ');
}

int GlyphWidth(const Glyph& glyph) {
  return static_cast<int>(std::string_view(glyph[0]).size());
}

}  // namespace

int PixelTextWidth(std::string_view text) {
  int width = 0;
  for (char c : text) width += GlyphWidth(GlyphOrSpace(c)) + 1;
  return width > 0 ? width - 1 : 0;
}

void DrawPixelText(QImage& image, int x, int y, std::string_view text, QColor colour) {
  const QRgb ink = colour.rgb();
  for (char c : text) {
    const Glyph& glyph = GlyphOrSpace(c);
    const int width = GlyphWidth(glyph);
    for (int row = 0; row < kPixelFontHeight; ++row) {
      for (int col = 0; col < width; ++col) {
        if (glyph[row][col] != '#') continue;
        const int px = x + col, py = y + row;
        if (image.rect().contains(px, py)) image.setPixel(px, py, ink);
      }
    }
    x += width + 1;
  }
}

}  // namespace qmb::skins
