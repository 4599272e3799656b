// The skin definition: the record a skin folder's skin.ini is read into, the
// number rules of that file, the pictures cut from the skin picture, and the
// window-free steps of loading a skin (which files must be there, the messages
// and their answers, the fades' steps, the readme).
//
// The Qt layer does the rest through SkinLoadSteps: the fonts (CreateSkinFont
// sizes them with SkinFontHeight), resizing, moving and shaping
// the main, visual, button and slider windows, the tooltips' colours, setting
// the window opacity, hiding and showing, the region files, ChooseSkinFolder
// and re-applying the sliders' values. The windows, tooltips and fonts of the
// elements live there too, beside this record and indexed like it; the
// pictures here are 32-bit ARGB rows a QImage can wrap without a copy. The
// Qt layer fills tipColours from the palette and owns the one SkinLoader.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/control_models.h"
#include "core/image_library.h"

namespace qmb {

class ProfileFile;
struct PlayerCore;

constexpr int kSkinLightCount = 2;
constexpr int kSkinButtonCount = 15;
constexpr int kSkinSliderCount = 13;

// Every skin.ini value is read as at most this many bytes.
constexpr std::size_t kSkinValueBytes = 254;
constexpr std::size_t kSkinFolderBytes = 259;
constexpr std::size_t kSkinFontFaceBytes = 99;
constexpr std::size_t kSkinCaptionBytes = 255;
// A piece larger than this on either side is refused rather than allocated.
constexpr int kMaxSkinPieceSide = 16384;

// A number of skin.ini: decimal floating point, then truncated toward zero to
// 32 bits (saturating; not a number gives 0). Hexadecimal is not read.
std::int32_t SkinNumber(std::string_view text);
// DisableInverse and Vertical: [0, 256) truncated, anything else 128.
std::uint8_t SkinByte(std::string_view text);

// A Windows RGB colour: red + 256 × green + 65536 × blue.
constexpr std::int32_t SkinColour(int red, int green, int blue) {
  return red + 256 * green + 65536 * blue;
}

struct SkinRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct SkinVisualArea {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // both corners inclusive
  std::int32_t width = 0, height = 0;
  std::int32_t a = 0, b = 0;
  std::int32_t foreColour = 0;
  Picture visualPicture;
};

struct SkinTextDisplay {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::int32_t width = 0, height = 0;  // right and bottom exclusive, unlike the visual area
  std::string fontFace;
  std::int32_t fontSize = 0;
  std::int32_t bold = 0;  // the font weight as it stands: 0 default, 700 bold
  std::int32_t italic = 0, underline = 0, strikethru = 0;
  std::int32_t foreColour = 0;
  std::string caption;
};

struct SkinEqArea {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  std::int32_t foreColour = 0;
};

// Lights, buttons and sliders: placed elements whose index fixes their role.
struct SkinElement {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
};

struct SkinLight : SkinElement {
  std::int32_t a0 = 0, b0 = 0;  // "off"
  std::int32_t a1 = 0, b1 = 0;  // "on"
  std::uint8_t on = 0;
  Picture onPicture, offPicture;
};

struct SkinButton : SkinElement {
  std::int32_t a0 = 0, b0 = 0, a1 = 0, b1 = 0, a2 = 0, b2 = 0;
  std::string extraData;  // region file of the button window
  Picture normalPicture, hoverPicture, pressedPicture;
  std::uint8_t state = 0;  // 0 normal, 1 hover, 2 pressed
};

struct SkinSlider : SkinElement {
  std::int32_t thumbX = 0, thumbY = 0;
  std::int32_t a = 0, b = 0;
  std::int32_t w1 = 0, h1 = 0;
  std::int32_t a1 = 0, b1 = 0, a2 = 0, b2 = 0, a3 = 0, b3 = 0;
  std::int32_t ow = 0, oh = 0, oa = 0, ob = 0;
  std::string extraDataSlider;  // region file of the thumb window
  std::string extraDataBack;    // region file of the track window
  Picture thumbNormalPicture, thumbHoverPicture, thumbPressedPicture;
  Picture trackPicture;
  Picture overlayPicture;
  std::uint8_t thumbState = 0;
  std::uint8_t vertical = 0;  // 1 = the thumb moves up and down
  float value = 0.0f;
  float maximum = 0.0f;
};

struct SkinDefinition {
  std::string skinFolder;  // ends in "/"
  std::string graphicName;
  Picture skinImage;
  std::int32_t mainA = 0, mainB = 0, mainW = 0, mainH = 0;
  Picture background;
  std::int32_t transparentColour = -1;
  std::uint8_t disableInverse = 0;
  std::int32_t tipsForeColour = 0, tipsBackColour = 0;
  std::int32_t numStages = 0;
  SkinVisualArea visual;
  std::string visualExtraData;  // region file of the visual window
  SkinTextDisplay text;
  SkinRect textArea;
  SkinTextDisplay time;
  SkinEqArea eq;
  std::array<SkinLight, kSkinLightCount> lights;
  std::array<SkinSlider, kSkinSliderCount> sliders;
  std::array<SkinButton, kSkinButtonCount> buttons;
};

// The desktop's tooltip colours, the defaults of TipsFC and TipsBC.
struct SkinTipColours {
  std::int32_t fore = 0;
  std::int32_t back = SkinColour(255, 255, 225);
};

// Reads every key of skin.ini into a definition with no pictures. `folderPath`
// becomes skinFolder as given.
SkinDefinition ReadSkinDefinition(const ProfileFile& ini, const std::string& folderPath,
                                  SkinTipColours tips = {});
SkinDefinition ReadSkinDefinition(const std::string& folderPath, SkinTipColours tips = {});

// A w × h copy of the piece of `picture` whose top-left is (a, b); pixels
// outside the picture are opaque black. Null for an empty piece, no picture,
// or a piece larger than the picture on either side: no piece of it can be,
// and a skin.ini asking for many would make the player allocate gigabytes.
Picture CutSkinPiece(const QmbPicture* picture, std::int32_t a, std::int32_t b, std::int32_t w,
                     std::int32_t h);
// Cuts background, the visual picture and every element's pictures from skinImage.
void CutSkinPictures(SkinDefinition& skin);
// Drops every picture cut from skinImage; skinImage stays.
void ReleaseSkinObjects(SkinDefinition& skin);

// The font height CreateSkinFont asks for: -trunc(size × dpi / 72).
int SkinFontHeight(std::int32_t size, int dpi);

// The texts of loading a skin.
extern const char* const kNoSkinFileText;
extern const char* const kIncompatibleSkinText;
// "The skin refers to a file that is missing. " + path + " could not be found."
std::string MissingSkinFileText(const std::string& path);

// What loading a skin does to windows. Each hook defaults to doing nothing.
// The loader never ends the process itself: when the user cancels before any
// skin was loaded it calls requestShutdown, and the composition root ends the
// player (saving) there.
struct SkinLoadSteps {
  std::function<void(int showBrowser)> chooseSkinFolder;  // 1 folder browser, 0 Skins page
  std::function<void()> requestShutdown;
  std::function<void(int alpha)> setSkinAlpha;  // the main window's opacity
  std::function<void()> hideMainWindow;
  std::function<void()> showMainWindow;  // redrawn and shown
  // Fonts, window geometry, shapes, stage and tooltips from the new definition.
  std::function<void(const SkinDefinition&)> placeWindows;
  std::function<void()> reapplySliders;  // every slider but the position
  std::function<void()> repaintMainWindow;
};

class SkinLoader {
 public:
  explicit SkinLoader(PlayerCore& player);
  SkinLoader(const SkinLoader&) = delete;
  SkinLoader& operator=(const SkinLoader&) = delete;

  // 1 when the skin in `folderPath` was loaded, 0 when not. The path gains a
  // trailing "/" in place. noTransition skips the fade or hiding around it.
  int LoadSkin(std::string& folderPath, int noTransition);

  bool SkinLoaded() const { return skinLoaded_; }

  SkinDefinition skin;
  SkinLoadSteps steps;
  SkinTipColours tipColours;
  EditModel skinInfo;  // the control panel's skin information box

 private:
  int RefuseSkin(const char* text);
  int RefuseGraphic(const std::string& path);
  bool Fading() const;
  void FadeOut();
  void FadeIn();

  PlayerCore& player_;
  bool skinLoaded_ = false;
};

}  // namespace qmb
