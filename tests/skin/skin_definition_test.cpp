// Reading skin.ini: the number rules, the defaults and missing sections.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <tuple>

#include "core/profile_file.h"
#include "skin/skin_definition.h"

namespace qmb {
namespace {

TEST(SkinNumber, DecimalTruncatedNoHex) {
  struct Case {
    std::string text;
    std::int32_t value;
  } cases[] = {
      // clang-format off
      {"12", 12}, {"12.7", 12}, {"-2.9", -2}, {"-0.5", 0}, {"+7", 7}, {"  42", 42}, {"1e2", 100},
      {"2.5E1x", 25}, {"3e", 3}, {"3e+", 3}, {".5", 0}, {"7.", 7}, {"0x10", 0}, {"abc", 0}, {"", 0},
      {"-", 0}, {".", 0}, {"inf", 0}, {"nan", 0}, {" 16777215", 16777215}, {"12px", 12},
      {"1e400", 2147483647}, {"-1e400", -2147483647 - 1}, {"1e-400", 0},
      {"99999999999", 2147483647}, {"0.001e999", 2147483647}, {"1e0000000000003", 1000},
      {"0." + std::string(1000, '0') + "1e5", 0},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(SkinNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(SkinByte, OutsideZeroTo256GivesTheMiddle) {
  struct Case {
    const char* text;
    std::uint8_t value;
  } cases[] = {
      {"1", 1},     {"1.9", 1},   {"0", 0},    {"", 0},       {"letters", 0}, {"255.99", 255},
      {"256", 128}, {"300", 128}, {"-5", 128}, {"-0.5", 128}, {"1e400", 128}, {"0x10", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(SkinByte(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadSkinDefinition, AnEmptyFileGivesTheDefaults) {
  SkinDefinition d = ReadSkinDefinition(ProfileFile::Parse(""), "/skins/x/", {123, 16777215});
  EXPECT_EQ(std::tie(d.skinFolder, d.graphicName), std::tuple("/skins/x/", "main.bmp"));
  // Corners inclusive: X1 = X2 = 0 is one pixel wide.
  EXPECT_EQ(std::tuple(d.transparentColour, d.tipsForeColour, d.tipsBackColour, d.numStages,
                       int{d.disableInverse}, d.text.width, d.visual.width),
            std::tuple(-1, 123, 16777215, 0, 0, 0, 1));
  for (const SkinSlider& s : d.sliders) EXPECT_TRUE(s.w == 0 && s.vertical == 0);
  for (const SkinButton& b : d.buttons) EXPECT_EQ(b.extraData, "");
}

TEST(ReadSkinDefinition, ReadsEveryKindOfSectionWithoutRegardToCase) {
  ProfileFile ini = ProfileFile::Parse(
      "[mainform]\ngraphic=face.png\nW=275.9\nH=116\nTransparent=0\nDisableInverse=300\n"
      "TipsFC=255\nNumStages=3\n"
      "[Visual]\nX1=10\nX2=19\nY1=5\nY2=5\nExtraData=vis.txt\n"
      "[Text]\nX1=10\nX2=19\nFont=DejaVu Sans\nFontSize=8\nBold=700\nForeColor=65280\n"
      "[Time]\nX1=100\nY1=1\nX2=140\nY2=11\n"
      "[Eq]\nX=1\nW=50\nForeColor=12\n"
      "[Light1]\nX=3\nA1=44\n"
      "[Main14]\nW=20\nH=10\nA2=0x10\nExtraData=b14.txt\n"
      "[SLIDER12]\nW=100\nVertical=1.9\nOW=4\nExtraDataSlider=t.txt\nExtraDataBack=k.txt\n"
      "[Slider3]\nVertical=256\n");
  SkinDefinition d = ReadSkinDefinition(ini, "/s/");
  EXPECT_EQ(std::tie(d.graphicName, d.visualExtraData, d.text.fontFace, d.buttons[14].extraData,
                     d.sliders[12].extraDataSlider, d.sliders[12].extraDataBack),
            std::tuple("face.png", "vis.txt", "DejaVu Sans", "b14.txt", "t.txt", "k.txt"));
  EXPECT_EQ(std::tuple(d.mainW, d.mainH, d.transparentColour, int{d.disableInverse},
                       d.tipsForeColour, d.numStages, d.visual.width, d.visual.height),
            std::tuple(275, 116, 0, 128, 255, 3, 10, 1));
  EXPECT_EQ(std::tuple(d.text.width, d.text.bold, d.text.foreColour, d.textArea.right, d.time.width,
                       d.time.height, d.eq.w, d.lights[1].x, d.lights[1].a1),
            std::tuple(9, 700, 65280, 19, 40, 10, 50, 3, 44));
  EXPECT_EQ(std::tuple(d.buttons[14].w, d.buttons[14].a2, d.sliders[12].w,
                       int{d.sliders[12].vertical}, d.sliders[12].ow, int{d.sliders[3].vertical}),
            std::tuple(20, 0, 100, 1, 4, 128));
}

TEST(ReadSkinDefinition, LongTextsAreCutAndExtremeCornersDoNotOverflow) {
  ProfileFile ini = ProfileFile::Parse("[Text]\nFont=" + std::string(300, 'f') +
                                       "\nX1=-1e300\nX2=1e300\n[Visual]\nX1=-3e9\nX2=3e9\n"
                                       "[MainForm]\nGraphic=" +
                                       std::string(400, 'g') + "\n");
  SkinDefinition d = ReadSkinDefinition(ini, "/s/");
  EXPECT_EQ(d.text.fontFace.size(), 99u);
  EXPECT_EQ(d.graphicName.size(), 254u);
  EXPECT_EQ(d.text.width, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(d.visual.width, std::numeric_limits<std::int32_t>::max());
}

// A piece is cut where it lies, black outside the picture; one larger than
// the whole picture is no piece of it and is never allocated.
TEST(CutSkinPiece, PiecesLargerThanThePictureAreRefused) {
  Picture picture(static_cast<QmbPicture*>(std::malloc(sizeof(QmbPicture) + 4 * 4 * 4)));
  *picture = {4, 4, 16, 0, reinterpret_cast<std::uint32_t*>(picture.get() + 1)};
  for (int i = 0; i < 16; ++i) picture->pixels[i] = 0xFF000000u | i;
  Picture inside = CutSkinPiece(picture.get(), 2, 3, 4, 4);
  ASSERT_NE(inside, nullptr);
  EXPECT_EQ(inside->pixels[0], 0xFF00000Eu);
  EXPECT_EQ(inside->pixels[2], 0xFF000000u);
  EXPECT_EQ(CutSkinPiece(picture.get(), 0, 0, 5, 1), nullptr);
  EXPECT_EQ(CutSkinPiece(picture.get(), 0, 0, 1, kMaxSkinPieceSide), nullptr);
  EXPECT_EQ(CutSkinPiece(picture.get(), 0, 0, 0, 1), nullptr);
}

}  // namespace
}  // namespace qmb
