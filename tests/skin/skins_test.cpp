// Reading skin.ini (the number rules, the defaults and missing sections) and
// the region files; the list of skins, their stages and inversion. Then
// loading a skin folder: the files it needs, the messages and their answers,
// the pictures cut from the real decoded skin picture, the fades and the readme.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <set>
#include <tuple>
#include <vector>

#include "core/control_models.h"
#include "core/player_core.h"
#include "core/profile_file.h"
#include "core/running_state.h"
#include "core/status_codes.h"
#include "scripted_desktop.h"
#include "skin/skin_definition.h"
#include "skin/skin_info.h"
#include "skin/skin_regions.h"
#include "skin/skin_selection.h"
#include "temp_folder.h"
#include "test_bitmap.h"

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
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(std::tuple(d.text.fontFace.size(), d.graphicName.size(), d.text.width, d.visual.width),
            std::tuple(99u, 254u, kMax, kMax));
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

TEST(RegionLine, FieldsQuotesAndMissingParts) {
  struct Case {
    const char* line;
    RegionPoint point;
  } cases[] = {
      // clang-format off
      {"12,0", {12, 0}}, {"10 20", {10, 0}},  // a blank does not separate fields
      {"\"10\",\"20\"", {10, 20}},  // quotes are removed
      {"\"1,5\",7", {1, 7}},  // a comma in quotes stays in its field
      {"42", {42, 0}}, {"", {0, 0}}, {",9", {0, 9}}, {"  -3,+4", {-3, 4}}, {"7px,8.9", {7, 8}},
      {"x,y", {0, 0}}, {"1,2,3", {1, 2}}, {"99999999999,-99999999999", {2147483647, -2147483648}},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRegionLine(c.line), c.point) << c.line;
}

std::vector<RegionPoint> Read(const test::TempFolder& folder, const std::string& content) {
  folder.Write("region.txt", content);
  std::vector<RegionPoint> points{{5, 5}};
  EXPECT_EQ(ReadRegionFile(folder.Path() + "region.txt", points), RegionRead::kRead);
  return points;
}

TEST(RegionFile, EveryLineMakesOneVertexUpToFiveThousand) {
  test::TempFolder folder;
  std::string many;
  for (int i = 0; i < 6000; ++i) many += std::to_string(i) + "," + std::to_string(-i) + "\n";
  // A line one byte past the limit keeps its head and stays one vertex.
  const std::string longLine = "7," + std::string(kMaxRegionLineBytes, '1');
  struct Case {
    std::string content;
    std::vector<RegionPoint> points;
  } cases[] = {
      {"0,0\n100,0\n100,50\n0,50\n", {{0, 0}, {100, 0}, {100, 50}, {0, 50}}},
      {"0,0\n100,0\n100,50\n0,50", {{0, 0}, {100, 0}, {100, 50}, {0, 50}}},
      {"1,1\n\n2,2\n", {{1, 1}, {0, 0}, {2, 2}}},
      {"3,4\r\n5,6\r\n", {{3, 4}, {5, 6}}},
      {"", {{0, 0}}},  // an empty file still gives one vertex
      {"\n", {{0, 0}}},
      {longLine + "\n8,9\n", {{7, 2147483647}, {8, 9}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Read(folder, c.content), c.points) << c.content.substr(0, 40);
  std::vector<RegionPoint> points = Read(folder, many);
  ASSERT_EQ(points.size(), kMaxRegionPoints);
  EXPECT_EQ(points.back(), (RegionPoint{4999, -4999}));
}

TEST(SkinList, EveryNameGetsARowFilesIncluded) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder.Path() + "Skins/Blue");
  std::filesystem::create_directories(folder.Path() + "Skins/Empty");
  folder.Write("Skins/Blue/skin.ini", "[Info]\r\nName=Blue Sky\r\nVersion=QMB50\r\n");
  folder.Write("Skins/notes.txt", "not a skin");
  std::vector<SkinRow> rows = EnumerateSkins(folder.Path());
  std::set<std::pair<std::string, std::string>> got;
  for (const SkinRow& r : rows) got.insert({r.description, r.filename});
  std::string skins = folder.Path() + "Skins/";
  EXPECT_EQ(got,
            (std::set<std::pair<std::string, std::string>>{
                {"Blue Sky", skins + "Blue"}, {"", skins + "Empty"}, {"", skins + "notes.txt"}}));
  EXPECT_TRUE(EnumerateSkins(folder.Path() + "nowhere/").empty());
}

TEST(SkinStage, WrapsAndAdvances) {
  struct Case {
    int active, requested, numStages, expected;
  } cases[] = {
      // clang-format off
      {0, 1, 2, 1}, {0, 5, 2, 0}, {0, 0, 0, 0}, {0, 1, 0, 0}, {0, -1, 1, 0}, {-7, -1, 3, 0},
      // clang-format on
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextSkinStage(c.active, c.requested, c.numStages), c.expected)
        << c.active << " " << c.requested << " " << c.numStages;
  EXPECT_EQ(StageRegionPath("/s/", 12), "/s/region12.txt");
}

// Toggling back and forth is ControlInterfaceTest.SkinRequestsReachTheSkin.
TEST(SkinInversion, RefusedOnlyForDisableInverseOne) {
  RunningState state;
  CheckModel box;
  EXPECT_EQ(ToggleInversion(1, state, box), kInversionRefused);
  EXPECT_FALSE(state.rasterOp != kSourceCopy || box.Checked());
  EXPECT_EQ(ToggleInversion(2, state, box), 1);
  EXPECT_TRUE(state.rasterOp == kInvertedSourceCopy && box.Checked());
}

TEST(RandomSkin, PicksARowOrNone) {
  test::ScriptedDesktop desktop;
  EXPECT_EQ(RandomSkinRow(0), -1);
  std::set<int> seen;
  for (int t = 0; t < 200; ++t) {
    desktop.upTimeMs = t * 1000;
    seen.insert(RandomSkinRow(3));
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

class SkinLoaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk); }

  SkinLoaderTest() : loader(player) {
    loader.steps.chooseSkinFolder = [this](int how) { chosen.push_back(how); };
    loader.steps.requestShutdown = [this] { ++ended; };
    loader.steps.setSkinAlpha = [this](int a) { alphas.push_back(a); };
    loader.steps.hideMainWindow = [this] { calls.push_back("hide"); };
    loader.steps.showMainWindow = [this] { calls.push_back("show"); };
    loader.steps.placeWindows = [this](const SkinDefinition& d) {
      calls.push_back("place " + std::to_string(d.mainW));
    };
    loader.steps.reapplySliders = [this] { calls.push_back("sliders"); };
  }

  std::string Skin(const std::string& ini) {
    std::filesystem::create_directory(folder.Path() + "skin");
    folder.Write("skin/skin.ini", "[Info]\nVersion=QMB50\n" + ini);
    folder.Write("skin/main.bmp", test::Bitmap(8, 4));
    return folder.Path() + "skin";
  }

  test::ScriptedDesktop desktop;
  test::TempFolder folder;
  PlayerCore player;
  SkinLoader loader;
  std::vector<int> chosen, alphas;
  std::vector<std::string> calls;
  int ended = 0;
};

TEST_F(SkinLoaderTest, LoadsAndCutsEveryPictureFromTheSkinPicture) {
  std::string path = Skin(
      "[MainForm]\nA=2\nB=1\nW=3\nH=2\n[Visual]\nX1=0\nX2=1\nA=6\nB=3\n"
      "[Main4]\nW=2\nH=1\nA0=7\nB0=3\n[Slider11]\nW=1\nH=1\nA=1\nB=2\nW1=1\nH1=1\nA3=7\n"
      "[Light0]\nW=1\nH=1\nA1=5\nB1=2\n");
  ASSERT_EQ(loader.LoadSkin(path, 1), 1);
  EXPECT_EQ(path, folder.Path() + "skin/");
  EXPECT_STREQ(player.settings.skinFolder, path.c_str());
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(calls, (std::vector<std::string>{"place 3", "sliders"}));  // no fade, no hide
  const SkinDefinition& s = loader.skin;
  ASSERT_TRUE(s.background);
  EXPECT_EQ(s.background->pixels[0], test::BitmapPixel(2, 1));
  EXPECT_EQ(s.background->pixels[5], test::BitmapPixel(4, 2));
  ASSERT_TRUE(s.visual.visualPicture);
  EXPECT_EQ(s.visual.visualPicture->pixels[1], test::BitmapPixel(7, 3));
  // Black outside the skin picture: CutSkinPiece's test.
  EXPECT_EQ(s.buttons[4].normalPicture->pixels[0], test::BitmapPixel(7, 3));
  EXPECT_EQ(s.sliders[11].trackPicture->pixels[0], test::BitmapPixel(1, 2));
  EXPECT_EQ(s.sliders[11].thumbPressedPicture->pixels[0], test::BitmapPixel(7, 0));
  EXPECT_EQ(s.lights[0].onPicture->pixels[0], test::BitmapPixel(5, 2));
  // Sections the skin leaves out give elements of size 0 and no pictures.
  EXPECT_EQ(s.buttons[14].w, 0);
  EXPECT_FALSE(s.buttons[14].normalPicture);
  EXPECT_FALSE(s.sliders[12].overlayPicture);
  EXPECT_EQ(loader.skinInfo.Text(), kNoSkinInfoText);
}

TEST_F(SkinLoaderTest, RefusedSkinsAskAndCancelEndsOnlyTheFirstLoad) {
  // A folder too long for the settings is refused whole, as one without skin.ini.
  std::string deep;
  for (int i = 0; i < 3; ++i) deep += std::string(90, 'd') + "/";
  struct Case {
    const char* ini;  // nullptr: no skin.ini
    const char* text;
    std::string sub;  // the skin's folder in the temporary one
  } cases[] = {
      {nullptr, kNoSkinFileText, ""},
      {"[Info]\nVersion=QMB50\n", kNoSkinFileText, deep},
      {"[Info]\nVersion=qmb50\n", kIncompatibleSkinText, ""},
      {"[Info]\nVersion=QMB50 beta\n", kIncompatibleSkinText, ""},
      {"[MainForm]\nW=1\n", kIncompatibleSkinText, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini ? c.ini : "no skin.ini");
    test::TempFolder skin;
    std::filesystem::create_directories(skin.Path() + c.sub);
    if (c.ini) skin.Write(c.sub + "skin.ini", c.ini);
    skin.Write(c.sub + "main.bmp", test::Bitmap(2, 2));
    std::string path = skin.Path() + c.sub;
    desktop.messages.clear();
    chosen.clear();
    ended = 0;
    desktop.answers = {MessageAnswer::Ok, MessageAnswer::Cancel};
    EXPECT_EQ(loader.LoadSkin(path, 1), 0);
    EXPECT_EQ(chosen, std::vector<int>{1});
    EXPECT_EQ(loader.LoadSkin(path, 1), 0);
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(desktop.messages.size(), 2u);
    const auto& m = desktop.messages[0];
    EXPECT_EQ(std::tie(m.text, m.caption, m.buttons),
              std::tuple(c.text, "Error", MessageButtons::OkCancel));
    EXPECT_STREQ(player.settings.skinFolder, "");
  }
  std::string good = Skin("[MainForm]\nW=2\nH=2\n");
  ASSERT_EQ(loader.LoadSkin(good, 1), 1);
  std::string missing = folder.Path() + "nothing";
  ended = 0;
  EXPECT_EQ(loader.LoadSkin(missing, 1), 0);
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(loader.skin.background) << "the skin in use stays whole";
}

TEST_F(SkinLoaderTest, MissingOrUndecodableGraphicKeepsTheOldSkin) {
  std::string good = Skin("[MainForm]\nW=5\nH=1\n");
  ASSERT_EQ(loader.LoadSkin(good, 1), 1);
  const QmbPicture* before = loader.skin.background.get();
  test::TempFolder other;
  for (const char* picture : {"", "not a picture", "folder"}) {
    SCOPED_TRACE(picture);
    other.Write("skin.ini", "[Info]\nVersion=QMB50\n[MainForm]\nGraphic=face.bmp\nW=2\n");
    std::filesystem::remove_all(other.Path() + "face.bmp");
    if (std::string(picture) == "folder") {
      std::filesystem::create_directory(other.Path() + "face.bmp");
    } else if (*picture) {
      other.Write("face.bmp", picture);
    }
    desktop.messages.clear();
    chosen.clear();
    std::string path = other.Path();
    EXPECT_EQ(loader.LoadSkin(path, 0), 0);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "The skin refers to a file that is missing. " +
                                            other.Path() + "face.bmp could not be found.");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(chosen, std::vector<int>{0});
    EXPECT_TRUE(loader.skin.background.get() == before && loader.skin.mainW == 5)
        << "the skin in use stays whole";
    EXPECT_STREQ(player.settings.skinFolder, path.c_str());
  }
}

TEST_F(SkinLoaderTest, FadesInStepsOf15OrHidesAndShows) {
  std::string path = Skin("");
  ASSERT_EQ(loader.LoadSkin(path, 0), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"hide", "place 0", "sliders", "show"}));
  EXPECT_TRUE(alphas.empty());

  player.panel.alphaBlending.SetChecked(true);
  player.panel.alphaOnSkinSwitch.SetChecked(true);
  player.panel.mainWindowAlpha.SetPosition(40);
  calls.clear();
  ASSERT_EQ(loader.LoadSkin(path, 0), 1);
  EXPECT_EQ(alphas, (std::vector<int>{40, 25, 10, 0, 15, 30}));
  EXPECT_EQ(calls, (std::vector<std::string>{"place 0", "sliders"}));
}

TEST_F(SkinLoaderTest, ReadmeFillsTheInfoBoxOrIsReported) {
  std::string path = Skin("");
  folder.Write("skin/readme.txt", "By us.\r\nLine two\n");
  ASSERT_EQ(loader.LoadSkin(path, 1), 1);
  EXPECT_EQ(loader.skinInfo.Text(), "By us.\r\nLine two\n");

  folder.Write("skin/readme.txt", "");
  ASSERT_EQ(loader.LoadSkin(path, 1), 1);
  std::filesystem::remove(folder.Path() + "skin/readme.txt");
  std::filesystem::create_directory(folder.Path() + "skin/readme.txt");
  ASSERT_EQ(loader.LoadSkin(path, 1), 1);
  EXPECT_EQ(desktop.Texts(), (std::vector<std::string>{"Could not read file:" + path + "readme.txt",
                                                       "File Not Found:" + path + "readme.txt"}));
  EXPECT_EQ(desktop.messages[1].caption, "Error!");
  EXPECT_EQ(loader.skinInfo.Text(), "By us.\r\nLine two\n");
}

// The lights and sliders show the running state, tip colours the skin leaves
// out are the desktop's, and DisableInverse=1 (as read) forces normal drawing.
TEST_F(SkinLoaderTest, LoadedSkinTakesTheRunningStateTheDesktopsTipsAndNormalDrawing) {
  player.state.loop = true;
  player.state.sliders[kVolumeSlider] = {200.0f, 255.0f};
  loader.tipColours = {SkinColour(1, 2, 3), SkinColour(255, 255, 255)};
  // Other values than 1 are SkinByte's cases.
  for (auto [value, rasterOp] : {std::pair{"1.5", kSourceCopy}, {"2", kInvertedSourceCopy}}) {
    player.state.rasterOp = kInvertedSourceCopy;
    std::string path = Skin(std::string("[MainForm]\nTipsBC=0\nDisableInverse=") + value + "\n");
    ASSERT_EQ(loader.LoadSkin(path, 1), 1);
    EXPECT_EQ(player.state.rasterOp, rasterOp) << value;
  }
  const SkinDefinition& s = loader.skin;
  EXPECT_EQ(std::tuple(s.lights[0].on, s.lights[1].on, s.sliders[kVolumeSlider].value,
                       s.sliders[kVolumeSlider].maximum, s.tipsForeColour, s.tipsBackColour),
            std::tuple(0, 1, 200.0f, 255.0f, 1 + 2 * 256 + 3 * 65536, 0));
}

}  // namespace
}  // namespace qmb
