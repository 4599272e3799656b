// Fuzzes skin.ini through the skin loader's number rules: any file reads into
// a definition whose pictures are cut from a small skin picture at the sizes
// asked for, or not at all; and a number reads as the C library reads it,
// but for the hexadecimal, infinity and NaN forms it leaves out.
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/profile_file.h"
#include "skin/skin_definition.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

qmb::Picture SmallPicture() {
  constexpr int kSide = 32;
  std::size_t bytes = sizeof(QmbPicture) + kSide * kSide * sizeof(std::uint32_t);
  qmb::Picture picture(static_cast<QmbPicture*>(std::malloc(bytes)));
  picture->width = picture->height = kSide;
  picture->stride = kSide * sizeof(std::uint32_t);
  picture->reserved = 0;
  picture->pixels = reinterpret_cast<std::uint32_t*>(picture.get() + 1);
  for (int i = 0; i < kSide * kSide; ++i) picture->pixels[i] = 0xFF000000u | i;
  return picture;
}

void CheckPiece(const qmb::Picture& piece, std::int32_t w, std::int32_t h) {
  if (!piece) return;
  Check(piece->width == w && piece->height == h);
  Check(piece->width <= qmb::kMaxSkinPieceSide && piece->height <= qmb::kMaxSkinPieceSide);
}

// The C library's reading, where it reads the same forms.
void CheckNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return;
  if (text[i] == '+' || text[i] == '-') ++i;
  if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
    return;
  if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) return;
  double value = std::strtod(text.c_str(), nullptr);
  std::int32_t expected = 0;
  if (std::isnan(value)) {
    expected = 0;
  } else if (value <= std::numeric_limits<std::int32_t>::min()) {
    expected = std::numeric_limits<std::int32_t>::min();
  } else if (value >= std::numeric_limits<std::int32_t>::max()) {
    expected = std::numeric_limits<std::int32_t>::max();
  } else {
    expected = static_cast<std::int32_t>(value);
  }
  Check(qmb::SkinNumber(text) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string firstLine(bytes.substr(0, std::min<std::size_t>(bytes.find('\n'), 254)));
  if (firstLine.find('\0') == std::string::npos) CheckNumber(firstLine);

  qmb::SkinDefinition skin = qmb::ReadSkinDefinition(qmb::ProfileFile::Parse(bytes), "/fuzz/skin/");
  skin.skinImage = SmallPicture();
  qmb::CutSkinPictures(skin);
  CheckPiece(skin.background, skin.mainW, skin.mainH);
  CheckPiece(skin.visual.visualPicture, skin.visual.width, skin.visual.height);
  for (const qmb::SkinButton& b : skin.buttons) CheckPiece(b.pressedPicture, b.w, b.h);
  for (const qmb::SkinSlider& s : skin.sliders) {
    CheckPiece(s.trackPicture, s.w, s.h);
    CheckPiece(s.thumbNormalPicture, s.w1, s.h1);
    CheckPiece(s.overlayPicture, s.ow, s.oh);
  }
  Check(skin.text.fontFace.size() <= qmb::kSkinFontFaceBytes);
  (void)qmb::SkinFontHeight(skin.text.fontSize, 96);
  (void)qmb::SkinFontHeight(skin.time.fontSize, 600);
  qmb::ReleaseSkinObjects(skin);
  return 0;
}
