// The skinned main window on an offscreen desktop: shapes from the bundled
// skins' region files, stages, the colour key with the window's opacity, and
// choosing a skin through the folder browser or at random.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <QWidget>

#include "core/player_core.h"
#include "core/status_codes.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "test_bitmap.h"
#include "ui/skin/skin_window.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;

const std::string kProgramFolder = QMB_PROGRAM_FOLDER "/";
const std::string kDefaultSkin = QMB_PROGRAM_FOLDER "/Skins/Default/";

TEST(WindowRegion, ShapesFromRegionFiles) {
  test::TempFolder folder;
  QWidget window;
  window.resize(275, 116);
  folder.Write("rect.txt", "0,0\n100,0\n100,50\n0,50\n");
  ApplyRegionFile(folder.Path() + "rect.txt", &window);
  EXPECT_EQ(window.mask(), QRegion(0, 0, 100, 50));
  ClearRegion(&window);
  EXPECT_TRUE(window.mask().isEmpty());
  // Fewer than three vertices enclose nothing; the window stays visible.
  ApplyRegionFile(folder.Path() + "rect.txt", &window);
  folder.Write("empty.txt", "");
  ApplyRegionFile(folder.Path() + "empty.txt", &window);
  EXPECT_TRUE(window.mask().isEmpty());
}

TEST(WindowRegion, UnreadableFileEndsTheProgram) {
  test::TempFolder folder;
  fs::create_directory(folder.Path() + "dir.txt");
  QWidget window;
  EXPECT_EXIT(ApplyRegionFile(folder.Path() + "dir.txt", &window), ::testing::ExitedWithCode(1),
              "Can't open file .*dir.txt");
}

class SkinWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(kProgramFolder), kOk); }

  SkinWindowTest() : loader(player), windows(player, loader) {
    player.programFolder = kProgramFolder;
    windows.mainWindow = &main;
    for (int i = 0; i < kSkinButtonCount; ++i) windows.buttons[i] = new QWidget(&main);
    for (int i = 0; i < kSkinSliderCount; ++i) {
      windows.tracks[i] = new QWidget(&main);
      windows.thumbs[i] = new QWidget(windows.tracks[i]);
    }
    windows.visualWindow = new QWidget(&main);
    windows.InstallSteps();
  }

  // A copy of the Default skin with `line` added to [MainForm].
  std::string DefaultWith(const std::string& line) {
    std::string copy = folder.Path() + "Default";
    fs::copy(kDefaultSkin, copy, fs::copy_options::recursive);
    std::string ini = folder.Read("Default/skin.ini");
    ini.replace(ini.find("[MainForm]"), 10, "[MainForm]\n" + line);
    folder.Write("Default/skin.ini", ini);
    return copy;
  }

  int Load(std::string path, int noTransition = 1) { return loader.LoadSkin(path, noTransition); }

  test::ScriptedDesktop desktop;
  test::TempFolder folder;
  PlayerCore player;
  SkinLoader loader;
  QWidget main;  // owns the skinned children
  SkinWindows windows;
};

TEST_F(SkinWindowTest, LoadingPlacesAndShapesEveryWindow) {
  main.move(40, 30);
  ASSERT_EQ(Load(kDefaultSkin), 1);
  EXPECT_EQ(QRect(main.pos(), main.size()), QRect(40, 30, 275, 116));
  EXPECT_TRUE(main.mask().contains(QPoint(137, 100)));
  EXPECT_FALSE(main.mask().contains(QPoint(0, 0)));
  const SkinDefinition& skin = loader.skin;
  for (int i = 0; i < kSkinButtonCount; ++i) {
    const SkinButton& b = skin.buttons[i];
    EXPECT_EQ(windows.buttons[i]->geometry(), QRect(b.x, b.y, b.w, b.h)) << i;
  }
  for (int i = 0; i < kSkinSliderCount; ++i) {
    const SkinSlider& s = skin.sliders[i];
    EXPECT_EQ(windows.tracks[i]->geometry(), QRect(s.x, s.y, s.w, s.h)) << i;
    EXPECT_EQ(windows.thumbs[i]->geometry(), QRect(0, 0, s.w1, s.h1)) << i;
  }
  EXPECT_EQ(windows.visualWindow->geometry(),
            QRect(skin.visual.x1, skin.visual.y1, skin.visual.width, skin.visual.height));
}

TEST_F(SkinWindowTest, StagesAdvanceWrapAndKeepTheShapeWithoutAFile) {
  player.state.skinStage = 1;
  ASSERT_EQ(Load(kDefaultSkin), 1);
  EXPECT_FALSE(main.mask().contains(QPoint(137, 100)));  // stage 1 is the short one
  EXPECT_EQ(windows.SetSkinStage(-1), 1);
  EXPECT_EQ(player.state.skinStage, 0);
  EXPECT_TRUE(main.mask().contains(QPoint(137, 100)));

  std::string three = DefaultWith("NumStages=3");
  ASSERT_EQ(Load(three), 1);
  windows.SetSkinStage(1);
  QRegion stage1 = main.mask();
  windows.SetSkinStage(-1);  // region2.txt does not exist
  EXPECT_EQ(player.state.skinStage, 2);
  EXPECT_EQ(main.mask(), stage1);
  windows.SetSkinStage(-1);
  EXPECT_EQ(player.state.skinStage, 0);
  EXPECT_TRUE(main.mask().contains(QPoint(137, 100)));
}

TEST_F(SkinWindowTest, ColourKeyMasksThatColourOnly) {
  fs::create_directory(folder.Path() + "keyed");
  // Pixel (0, 0) is red 0, green 0, blue 7.
  folder.Write("keyed/skin.ini", "[Info]\nVersion=QMB50\n[MainForm]\nW=8\nH=4\nTransparent=" +
                                     std::to_string(SkinColour(0, 0, 7)) + "\n");
  folder.Write("keyed/main.bmp", test::Bitmap(8, 4));
  ASSERT_EQ(Load(folder.Path() + "keyed"), 1);
  EXPECT_TRUE(main.mask().isEmpty());  // no stage file, no key yet
  windows.SetSkinAlpha(120);
  EXPECT_DOUBLE_EQ(main.windowOpacity(), 120 / 255.0);
  EXPECT_EQ(main.mask(), QRegion(0, 0, 8, 4) - QRegion(0, 0, 1, 1));

  loader.skin.transparentColour = -1;
  windows.SetSkinAlpha(255);
  EXPECT_TRUE(main.mask().isEmpty());
  EXPECT_DOUBLE_EQ(main.windowOpacity(), 1.0);
}

TEST_F(SkinWindowTest, ChoosingASkinFolder) {
  int pageShown = 0;
  windows.showSkinsPage = [&] { ++pageShown; };
  windows.ChooseSkinFolder(0);
  EXPECT_EQ(pageShown, 1);

  desktop.folderChoices.push_back(kProgramFolder + "Skins/Compact");
  windows.ChooseSkinFolder(1);
  EXPECT_EQ(std::string(player.settings.skinFolder), kProgramFolder + "Skins/Compact/");
  EXPECT_TRUE(loader.SkinLoaded());

  desktop.folderChoices.push_back("");
  windows.ChooseSkinFolder(1);  // cancelled: nothing changes
  EXPECT_EQ(std::string(player.settings.skinFolder), kProgramFolder + "Skins/Compact/");
}

TEST_F(SkinWindowTest, RandomSkinFromTheList) {
  windows.LoadRandomSkin();  // an empty list loads nothing
  EXPECT_FALSE(loader.SkinLoaded());
  windows.RefreshSkinList();
  ASSERT_GE(windows.skinList.size(), 2u);
  windows.LoadRandomSkin();
  ASSERT_TRUE(loader.SkinLoaded());
  const std::string chosen = player.settings.skinFolder;
  EXPECT_TRUE(std::any_of(windows.skinList.begin(), windows.skinList.end(),
                          [&](const SkinRow& row) { return chosen == row.filename + "/"; }))
      << chosen;
}

}  // namespace
}  // namespace qmb
