// Loading a skin folder: the files it needs, the messages and their answers,
// the pictures cut from the real decoded skin picture, the fades and the readme.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/player_core.h"
#include "core/status_codes.h"
#include "scripted_desktop.h"
#include "skin/skin_definition.h"
#include "skin/skin_info.h"
#include "temp_folder.h"
#include "test_bitmap.h"

namespace qmb {
namespace {

using test::Bitmap;

std::uint32_t Pixel(int x, int y) {
  return test::BitmapPixel(x, y);
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

  std::string Skin(const std::string& ini, const std::string& graphic = "main.bmp") {
    std::filesystem::create_directory(folder.Path() + "skin");
    folder.Write("skin/skin.ini", "[Info]\nVersion=QMB50\n" + ini);
    if (!graphic.empty()) folder.Write("skin/" + graphic, Bitmap(8, 4));
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
  EXPECT_TRUE(loader.SkinLoaded());
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(calls, (std::vector<std::string>{"place 3", "sliders"}));  // no fade, no hide
  const SkinDefinition& s = loader.skin;
  ASSERT_TRUE(s.background);
  EXPECT_EQ(s.background->width, 3);
  EXPECT_EQ(s.background->pixels[0], Pixel(2, 1));
  EXPECT_EQ(s.background->pixels[5], Pixel(4, 2));
  ASSERT_TRUE(s.visual.visualPicture);
  EXPECT_EQ(s.visual.visualPicture->pixels[1], Pixel(7, 3));
  // The part of a piece outside the skin picture is black.
  EXPECT_EQ(s.buttons[4].normalPicture->pixels[0], Pixel(7, 3));
  EXPECT_EQ(s.buttons[4].normalPicture->pixels[1], 0xFF000000u);
  EXPECT_EQ(s.sliders[11].trackPicture->pixels[0], Pixel(1, 2));
  EXPECT_EQ(s.sliders[11].thumbPressedPicture->pixels[0], Pixel(7, 0));
  EXPECT_EQ(s.lights[0].onPicture->pixels[0], Pixel(5, 2));
  // Sections the skin leaves out give elements of size 0 and no pictures.
  EXPECT_EQ(s.buttons[14].w, 0);
  EXPECT_FALSE(s.buttons[14].normalPicture);
  EXPECT_FALSE(s.sliders[12].overlayPicture);
  EXPECT_EQ(loader.skinInfo.Text(), kNoSkinInfoText);
}

TEST_F(SkinLoaderTest, RefusedSkinsAskAndCancelEndsOnlyTheFirstLoad) {
  struct Case {
    const char* ini;  // nullptr: no skin.ini
    const char* text;
  } cases[] = {
      {nullptr, kNoSkinFileText},
      {"[Info]\nVersion=qmb50\n", kIncompatibleSkinText},
      {"[Info]\nVersion=QMB50 beta\n", kIncompatibleSkinText},
      {"[MainForm]\nW=1\n", kIncompatibleSkinText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    test::TempFolder skin;
    if (c.ini) skin.Write("skin.ini", c.ini);
    std::string path = skin.Path();
    desktop.messages.clear();
    chosen.clear();
    ended = 0;
    desktop.answers = {MessageAnswer::Ok, MessageAnswer::Cancel};
    EXPECT_EQ(loader.LoadSkin(path, 1), 0);
    EXPECT_EQ(chosen, std::vector<int>{1});
    EXPECT_EQ(loader.LoadSkin(path, 1), 0);
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[0].text, c.text);
    EXPECT_EQ(desktop.messages[0].caption, "Error");
    EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::OkCancel);
  }
  std::string good = Skin("");
  ASSERT_EQ(loader.LoadSkin(good, 1), 1);
  std::string missing = folder.Path() + "nothing";
  ended = 0;
  EXPECT_EQ(loader.LoadSkin(missing, 1), 0);
  EXPECT_EQ(ended, 0);
}

TEST_F(SkinLoaderTest, AFolderTooLongForTheSettingsIsRefusedWhole) {
  std::string deep = "skin";
  for (int i = 0; i < 3; ++i) deep += "/" + std::string(90, 'd');
  std::filesystem::create_directories(folder.Path() + deep);
  folder.Write(deep + "/skin.ini", "[Info]\nVersion=QMB50\n");
  folder.Write(deep + "/main.bmp", Bitmap(2, 2));
  std::string path = folder.Path() + deep;
  desktop.answers = {MessageAnswer::Ok};
  EXPECT_EQ(loader.LoadSkin(path, 1), 0);
  EXPECT_EQ(desktop.Texts(), std::vector<std::string>{kNoSkinFileText});
  EXPECT_STREQ(player.settings.skinFolder, "");
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
    EXPECT_EQ(loader.skin.background.get(), before);
    EXPECT_EQ(loader.skin.mainW, 5);
    EXPECT_STREQ(player.settings.skinFolder, path.c_str());
  }
}

TEST_F(SkinLoaderTest, FadesInStepsOf15OrHidesAndShows) {
  std::string path = Skin("");
  ASSERT_EQ(loader.LoadSkin(path, 0), 1);
  EXPECT_EQ(calls.front(), "hide");
  EXPECT_EQ(calls.back(), "show");
  EXPECT_TRUE(alphas.empty());

  player.panel.alphaBlending.SetChecked(true);
  player.panel.alphaOnSkinSwitch.SetChecked(true);
  player.panel.mainWindowAlpha.SetPosition(40);
  calls.clear();
  ASSERT_EQ(loader.LoadSkin(path, 0), 1);
  EXPECT_EQ(alphas, (std::vector<int>{40, 25, 10, 0, 15, 30}));
  EXPECT_EQ(desktop.upTimeMs, 6 * 5);
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
  const std::pair<const char*, std::uint32_t> cases[] = {{"1", kSourceCopy},
                                                         {"1.5", kSourceCopy},
                                                         {"2", kInvertedSourceCopy},
                                                         {"-5", kInvertedSourceCopy},
                                                         {"300", kInvertedSourceCopy}};
  for (auto [value, rasterOp] : cases) {
    player.state.rasterOp = kInvertedSourceCopy;
    std::string path = Skin(std::string("[MainForm]\nTipsBC=0\nDisableInverse=") + value + "\n");
    ASSERT_EQ(loader.LoadSkin(path, 1), 1);
    EXPECT_EQ(player.state.rasterOp, rasterOp) << value;
  }
  EXPECT_EQ(loader.skin.lights[0].on, 0);
  EXPECT_EQ(loader.skin.lights[1].on, 1);
  EXPECT_EQ(loader.skin.sliders[kVolumeSlider].value, 200.0f);
  EXPECT_EQ(loader.skin.sliders[kVolumeSlider].maximum, 255.0f);
  EXPECT_EQ(loader.skin.tipsForeColour, 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(loader.skin.tipsBackColour, 0);
}

}  // namespace
}  // namespace qmb
