#include "skin/skin_definition.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "core/desktop.h"
#include "core/player_core.h"
#include "core/profile_file.h"
#include "core/text_util.h"
#include "skin/skin_info.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest decimal number at the start of `text`, as the C library's atof
// reads one but without its hexadecimal, infinity and NaN forms.
double DecimalPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t start = i;
  std::size_t intDigits = 0, leadingZeros = 0;
  bool significant = false;
  while (i < text.size() && IsDigit(text[i])) {
    if (text[i] != '0') significant = true;
    if (!significant) ++leadingZeros;
    ++intDigits, ++i;
  }
  std::size_t fracDigits = 0, fracZeros = 0;
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    while (j < text.size() && IsDigit(text[j])) {
      if (text[j] != '0') significant = true;
      if (!significant) ++fracZeros;
      ++j, ++fracDigits;
    }
    if (intDigits + fracDigits > 0) i = j;
  }
  if (intDigits + fracDigits == 0) return 0.0;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      bool negativeExponent = text[j - 1] == '-';
      while (j < text.size() && text[j] == '0') ++j;
      std::size_t digitsStart = j;
      while (j < text.size() && IsDigit(text[j])) ++j;
      // A huge exponent only decides between infinity and zero.
      std::string_view digits = text.substr(digitsStart, std::min<std::size_t>(j - digitsStart, 9));
      std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }
  double value = 0.0;
  auto [end, error] =
      std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // The decimal exponent of the first significant digit decides.
    long long lead = intDigits > leadingZeros ? static_cast<long long>(intDigits - leadingZeros)
                                              : -static_cast<long long>(fracZeros);
    long long magnitude = lead + exponent;
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

std::int32_t Truncate32(double value) {
  if (std::isnan(value)) return 0;
  double t = std::trunc(value);
  if (t <= std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (t >= std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

// Differences of coordinates read from the file, kept inside 32 bits.
std::int32_t Span(std::int32_t from, std::int32_t to, int extra) {
  return Truncate32(static_cast<double>(to) - static_cast<double>(from) + extra);
}

class SkinReader {
 public:
  explicit SkinReader(const ProfileFile& ini) : ini_(ini) {}
  std::string Text(std::string_view section, std::string_view key,
                   std::string_view fallback = {}) const {
    return ini_.GetString(section, key, fallback, kSkinValueBytes);
  }
  std::int32_t Int(std::string_view section, std::string_view key,
                   std::string_view fallback = {}) const {
    return SkinNumber(Text(section, key, fallback));
  }
  std::uint8_t Byte(std::string_view section, std::string_view key) const {
    return SkinByte(Text(section, key));
  }

 private:
  const ProfileFile& ini_;
};

void ReadTextDisplay(const SkinReader& r, const char* section, SkinTextDisplay& d) {
  d.foreColour = r.Int(section, "ForeColor");
  d.x1 = r.Int(section, "X1");
  d.y1 = r.Int(section, "Y1");
  d.x2 = r.Int(section, "X2");
  d.y2 = r.Int(section, "Y2");
  d.fontFace = CutUtf8Copy(r.Text(section, "Font"), kSkinFontFaceBytes);
  d.fontSize = r.Int(section, "FontSize");
  d.bold = r.Int(section, "Bold");
  d.italic = r.Int(section, "Italic");
  d.strikethru = r.Int(section, "Strikethru");
  d.underline = r.Int(section, "Underline");
  d.width = Span(d.x1, d.x2, 0);
  d.height = Span(d.y1, d.y2, 0);
}

void ReadElement(const SkinReader& r, const std::string& section, SkinElement& e) {
  e.x = r.Int(section, "X");
  e.y = r.Int(section, "Y");
  e.w = r.Int(section, "W");
  e.h = r.Int(section, "H");
}

void ReadLight(const SkinReader& r, const std::string& section, SkinLight& l) {
  ReadElement(r, section, l);
  l.a0 = r.Int(section, "A0");
  l.b0 = r.Int(section, "B0");
  l.a1 = r.Int(section, "A1");
  l.b1 = r.Int(section, "B1");
}

void ReadButton(const SkinReader& r, const std::string& section, SkinButton& b) {
  ReadElement(r, section, b);
  b.a0 = r.Int(section, "A0");
  b.b0 = r.Int(section, "B0");
  b.a1 = r.Int(section, "A1");
  b.b1 = r.Int(section, "B1");
  b.a2 = r.Int(section, "A2");
  b.b2 = r.Int(section, "B2");
  b.extraData = r.Text(section, "ExtraData");
}

void ReadSlider(const SkinReader& r, const std::string& section, SkinSlider& s) {
  ReadElement(r, section, s);
  s.a = r.Int(section, "A");
  s.b = r.Int(section, "B");
  s.w1 = r.Int(section, "W1");
  s.h1 = r.Int(section, "H1");
  s.a1 = r.Int(section, "A1");
  s.b1 = r.Int(section, "B1");
  s.a2 = r.Int(section, "A2");
  s.b2 = r.Int(section, "B2");
  s.a3 = r.Int(section, "A3");
  s.b3 = r.Int(section, "B3");
  s.ow = r.Int(section, "OW");
  s.oh = r.Int(section, "OH");
  s.oa = r.Int(section, "OA");
  s.ob = r.Int(section, "OB");
  s.vertical = r.Byte(section, "Vertical");
  s.extraDataSlider = r.Text(section, "ExtraDataSlider");
  s.extraDataBack = r.Text(section, "ExtraDataBack");
}

}  // namespace

std::int32_t SkinNumber(std::string_view text) {
  return Truncate32(DecimalPrefix(text));
}

std::uint8_t SkinByte(std::string_view text) {
  double value = DecimalPrefix(text);
  if (!(value >= 0.0 && value < 256.0)) return 128;
  return static_cast<std::uint8_t>(value);
}

SkinDefinition ReadSkinDefinition(const ProfileFile& ini, const std::string& folderPath,
                                  SkinTipColours tips) {
  SkinReader r(ini);
  SkinDefinition d;
  d.skinFolder = folderPath;
  d.graphicName = r.Text("MainForm", "Graphic", "main.bmp");
  d.mainA = r.Int("MainForm", "A");
  d.mainB = r.Int("MainForm", "B");
  d.mainW = r.Int("MainForm", "W");
  d.mainH = r.Int("MainForm", "H");
  d.transparentColour = r.Int("MainForm", "Transparent", "-1");
  d.disableInverse = r.Byte("MainForm", "DisableInverse");
  // The desktop's colours go through the file's own number form, so a skin
  // without the keys reads exactly what one that spells them out would.
  d.tipsForeColour = r.Int("MainForm", "TipsFC", NumberText(tips.fore));
  d.tipsBackColour = r.Int("MainForm", "TipsBC", NumberText(tips.back));
  d.numStages = r.Int("MainForm", "NumStages", "0");

  SkinVisualArea& v = d.visual;
  v.x1 = r.Int("Visual", "X1");
  v.y1 = r.Int("Visual", "Y1");
  v.x2 = r.Int("Visual", "X2");
  v.y2 = r.Int("Visual", "Y2");
  v.a = r.Int("Visual", "A");
  v.b = r.Int("Visual", "B");
  v.foreColour = r.Int("Visual", "ForeColor");
  v.width = Span(v.x1, v.x2, 1);
  v.height = Span(v.y1, v.y2, 1);
  d.visualExtraData = r.Text("Visual", "ExtraData");

  ReadTextDisplay(r, "Text", d.text);
  d.textArea = {d.text.x1, d.text.y1, d.text.x2, d.text.y2};
  ReadTextDisplay(r, "Time", d.time);

  d.eq.x = r.Int("Eq", "X");
  d.eq.y = r.Int("Eq", "Y");
  d.eq.w = r.Int("Eq", "W");
  d.eq.h = r.Int("Eq", "H");
  d.eq.foreColour = r.Int("Eq", "ForeColor");

  for (int i = 0; i < kSkinLightCount; ++i) ReadLight(r, "Light" + std::to_string(i), d.lights[i]);
  for (int i = 0; i < kSkinButtonCount; ++i)
    ReadButton(r, "Main" + std::to_string(i), d.buttons[i]);
  for (int i = 0; i < kSkinSliderCount; ++i)
    ReadSlider(r, "Slider" + std::to_string(i), d.sliders[i]);
  return d;
}

SkinDefinition ReadSkinDefinition(const std::string& folderPath, SkinTipColours tips) {
  return ReadSkinDefinition(ProfileFile::Load(folderPath + "skin.ini"), folderPath, tips);
}

Picture CutSkinPiece(const QmbPicture* picture, std::int32_t a, std::int32_t b, std::int32_t w,
                     std::int32_t h) {
  if (!picture || w <= 0 || h <= 0 || w > kMaxSkinPieceSide || h > kMaxSkinPieceSide ||
      w > picture->width || h > picture->height) {
    return {};
  }
  std::size_t rowBytes = static_cast<std::size_t>(w) * sizeof(std::uint32_t);
  std::size_t bytes = sizeof(QmbPicture) + rowBytes * static_cast<std::size_t>(h);
  Picture piece(static_cast<QmbPicture*>(std::malloc(bytes)));
  if (!piece) return {};
  piece->width = w;
  piece->height = h;
  piece->stride = static_cast<std::int32_t>(rowBytes);
  piece->reserved = 0;
  piece->pixels = reinterpret_cast<std::uint32_t*>(piece.get() + 1);
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint32_t* out = piece->pixels + static_cast<std::size_t>(y) * w;
    std::int64_t sy = static_cast<std::int64_t>(b) + y;
    for (std::int32_t x = 0; x < w; ++x) {
      std::int64_t sx = static_cast<std::int64_t>(a) + x;
      bool inside = sx >= 0 && sy >= 0 && sx < picture->width && sy < picture->height;
      out[x] = inside ? reinterpret_cast<const std::uint32_t*>(
                            reinterpret_cast<const unsigned char*>(picture->pixels) +
                            sy * picture->stride)[sx]
                      : 0xFF000000u;
    }
  }
  return piece;
}

void CutSkinPictures(SkinDefinition& skin) {
  const QmbPicture* image = skin.skinImage.get();
  skin.background = CutSkinPiece(image, skin.mainA, skin.mainB, skin.mainW, skin.mainH);
  SkinVisualArea& v = skin.visual;
  v.visualPicture = CutSkinPiece(image, v.a, v.b, v.width, v.height);
  for (SkinLight& l : skin.lights) {
    l.offPicture = CutSkinPiece(image, l.a0, l.b0, l.w, l.h);
    l.onPicture = CutSkinPiece(image, l.a1, l.b1, l.w, l.h);
  }
  for (SkinButton& b : skin.buttons) {
    b.normalPicture = CutSkinPiece(image, b.a0, b.b0, b.w, b.h);
    b.hoverPicture = CutSkinPiece(image, b.a1, b.b1, b.w, b.h);
    b.pressedPicture = CutSkinPiece(image, b.a2, b.b2, b.w, b.h);
  }
  for (SkinSlider& s : skin.sliders) {
    s.trackPicture = CutSkinPiece(image, s.a, s.b, s.w, s.h);
    s.thumbNormalPicture = CutSkinPiece(image, s.a1, s.b1, s.w1, s.h1);
    s.thumbHoverPicture = CutSkinPiece(image, s.a2, s.b2, s.w1, s.h1);
    s.thumbPressedPicture = CutSkinPiece(image, s.a3, s.b3, s.w1, s.h1);
    s.overlayPicture = CutSkinPiece(image, s.oa, s.ob, s.ow, s.oh);
  }
}

void ReleaseSkinObjects(SkinDefinition& skin) {
  skin.background.reset();
  skin.visual.visualPicture.reset();
  for (SkinLight& l : skin.lights) l.onPicture.reset(), l.offPicture.reset();
  for (SkinButton& b : skin.buttons)
    b.normalPicture.reset(), b.hoverPicture.reset(), b.pressedPicture.reset();
  for (SkinSlider& s : skin.sliders) {
    s.thumbNormalPicture.reset(), s.thumbHoverPicture.reset(), s.thumbPressedPicture.reset();
    s.trackPicture.reset(), s.overlayPicture.reset();
  }
}

int SkinFontHeight(std::int32_t size, int dpi) {
  return Truncate32(-static_cast<double>(static_cast<std::int64_t>(size) * dpi / 72));
}

const char* const kNoSkinFileText =
    "Skin file 'skin.ini' was not found. Please verify that the path and filename are correct.";
const char* const kIncompatibleSkinText = "This is not a compatible QMB 5 skin.";

std::string MissingSkinFileText(const std::string& path) {
  return "The skin refers to a file that is missing. " + path + " could not be found.";
}

SkinLoader::SkinLoader(PlayerCore& player) : player_(player) {
  steps.chooseSkinFolder = [](int) {};
  steps.requestShutdown = [] {};
  steps.setSkinAlpha = [](int) {};
  steps.hideMainWindow = [] {};
  steps.showMainWindow = [] {};
  steps.placeWindows = [](const SkinDefinition&) {};
  steps.reapplySliders = [] {};
  steps.repaintMainWindow = [] {};
}

int SkinLoader::RefuseSkin(const char* text) {
  MessageAnswer answer =
      TheDesktop().ShowMessage(text, "Error", MessageIcon::None, MessageButtons::OkCancel);
  if (answer == MessageAnswer::Ok) {
    steps.chooseSkinFolder(1);
  } else if (!skinLoaded_) {
    steps.requestShutdown();
  }
  return 0;
}

int SkinLoader::RefuseGraphic(const std::string& path) {
  TheDesktop().ShowMessage(MissingSkinFileText(path), "Error", MessageIcon::Error,
                           MessageButtons::Ok);
  steps.chooseSkinFolder(0);
  return 0;
}

bool SkinLoader::Fading() const {
  return player_.panel.alphaBlending.Checked() && player_.panel.alphaOnSkinSwitch.Checked();
}

void SkinLoader::FadeOut() {
  if (!Fading()) return steps.hideMainWindow();
  for (int a = player_.panel.mainWindowAlpha.Position(); a >= 0; a -= 15) {
    steps.setSkinAlpha(a);
    TheDesktop().SleepMs(5);
  }
}

void SkinLoader::FadeIn() {
  if (!Fading()) return steps.showMainWindow();
  // The position is read at every step: the user may move the track bar meanwhile.
  for (int a = 0; a <= player_.panel.mainWindowAlpha.Position(); a += 15) {
    steps.setSkinAlpha(a);
    TheDesktop().SleepMs(5);
  }
}

int SkinLoader::LoadSkin(std::string& folderPath, int noTransition) {
  namespace fs = std::filesystem;
  if (folderPath.empty() || folderPath.back() != '/') folderPath += '/';
  std::error_code ignored;
  // A folder too long for the settings would be stored cut, naming another
  // folder; such a path is refused like a folder without skin.ini.
  std::string iniPath = folderPath + "skin.ini";
  if (folderPath.size() > kSkinFolderBytes || !fs::is_regular_file(iniPath, ignored))
    return RefuseSkin(kNoSkinFileText);
  ProfileFile ini = ProfileFile::Load(iniPath);
  if (ini.GetString("Info", "Version", {}, kSkinValueBytes) != "QMB50")
    return RefuseSkin(kIncompatibleSkinText);

  SetTextField(player_.settings.skinFolder, folderPath);

  SkinDefinition next = ReadSkinDefinition(ini, folderPath, tipColours);
  std::string graphicPath = folderPath + next.graphicName;
  if (!fs::is_regular_file(graphicPath, ignored)) return RefuseGraphic(graphicPath);
  // Decoded before anything of the old skin is let go, so a picture that
  // cannot be read leaves the old skin working, as a missing one does.
  next.skinImage = LoadPicture(graphicPath);
  if (!next.skinImage) return RefuseGraphic(graphicPath);

  if (!noTransition) FadeOut();
  ReleaseSkinObjects(skin);
  // The lights and sliders show what the running state holds; the captions
  // stay until the displays write new ones.
  next.lights[0].on = player_.state.shuffle;
  next.lights[1].on = player_.state.loop;
  for (int i = 0; i < kSkinSliderCount; ++i) {
    next.sliders[i].value = player_.state.sliders[i].value;
    next.sliders[i].maximum = player_.state.sliders[i].maximum;
  }
  next.text.caption = skin.text.caption;
  next.time.caption = skin.time.caption;
  skin = std::move(next);
  CutSkinPictures(skin);
  if (skin.disableInverse == 1) player_.state.rasterOp = kSourceCopy;
  steps.placeWindows(skin);
  steps.reapplySliders();
  skinLoaded_ = true;
  ShowSkinInfo(folderPath, skinInfo);
  steps.repaintMainWindow();
  if (!noTransition) FadeIn();
  return 1;
}

}  // namespace qmb
