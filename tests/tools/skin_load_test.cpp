// The player's own skin loader takes both bundled skins whole: no message,
// every picture cut at the size the layout asks for, the readme shown.
#include <gtest/gtest.h>

#include "core/image_library.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "scripted_desktop.h"
#include "skin/skin_definition.h"
#include "skin/skin_selection.h"
#include "temp_folder.h"
#include "tools/skins/skin_design.h"
#include "tools/skins/skin_files.h"

namespace qmb::skins {
namespace {

bool Sized(const Picture& picture, int w, int h) {
  return picture && picture->width == w && picture->height == h;
}

class LoadedSkin : public ::testing::TestWithParam<SkinDesign (*)()> {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk); }

  test::ScriptedDesktop desktop;
  test::TempFolder temp;
  PlayerCore player;
};

TEST_P(LoadedSkin, LoadsWithEveryPictureAtItsSize) {
  const SkinDesign design = GetParam()();
  ASSERT_TRUE(WriteSkinFolder(design, temp.Path()));
  SkinLoader loader(player);
  std::string folder = temp.Path() + design.folder;
  ASSERT_EQ(loader.LoadSkin(folder, 1), 1);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(loader.skinInfo.Text(), design.readme);

  const SkinDefinition& skin = loader.skin;
  EXPECT_TRUE(Sized(skin.background, design.width, design.height));
  EXPECT_EQ(skin.numStages, static_cast<int>(design.stages.size()));
  EXPECT_EQ(skin.transparentColour, design.transparent);
  EXPECT_EQ(skin.disableInverse, design.disableInverse);
  EXPECT_TRUE(Sized(skin.visual.visualPicture, design.visual.w, design.visual.h));
  EXPECT_EQ(skin.text.width, design.text.w);
  EXPECT_EQ(skin.text.height, design.text.h);
  EXPECT_EQ(skin.time.width, design.time.w);
  EXPECT_EQ(skin.text.fontFace, design.textFont.face);
  EXPECT_EQ(skin.eq.w, design.eq.w);
  for (int i = 0; i < kLightCount; ++i) {
    const SkinLight& light = skin.lights[i];
    EXPECT_TRUE(Sized(light.offPicture, design.lights[i].w, design.lights[i].h)) << i;
    EXPECT_TRUE(Sized(light.onPicture, design.lights[i].w, design.lights[i].h)) << i;
  }
  for (int i = 0; i < kButtonCount; ++i) {
    const SkinButton& button = skin.buttons[i];
    const Box& box = design.buttons[i].box;
    EXPECT_EQ(button.x, box.x) << i;
    EXPECT_EQ(button.y, box.y) << i;
    for (const Picture* picture :
         {&button.normalPicture, &button.hoverPicture, &button.pressedPicture}) {
      EXPECT_TRUE(Sized(*picture, box.w, box.h)) << i;
    }
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const SkinSlider& slider = skin.sliders[i];
    const SliderDesign& s = design.sliders[i];
    EXPECT_EQ(slider.vertical, s.vertical ? 1 : 0) << i;
    EXPECT_TRUE(Sized(slider.trackPicture, s.track.w, s.track.h)) << i;
    EXPECT_TRUE(Sized(slider.overlayPicture, s.track.w, s.track.h)) << i;
    for (const Picture* picture :
         {&slider.thumbNormalPicture, &slider.thumbHoverPicture, &slider.thumbPressedPicture}) {
      EXPECT_TRUE(Sized(*picture, s.thumbW, s.thumbH)) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, LoadedSkin, ::testing::Values(&DefaultDesign, &CompactDesign),
                         [](const auto& info) { return info.index == 0 ? "Default" : "Compact"; });

// The program folder's third skin has no skin.ini: it is listed, and choosing
// it gives the message while the skin in use stays whole.
TEST(BundledSkins, AFolderWithoutSkinIniIsListedAndRefused) {
  ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk);
  std::vector<std::string> names;
  for (const SkinRow& row : EnumerateSkins(QMB_PROGRAM_FOLDER "/")) {
    names.push_back(row.filename.substr(row.filename.rfind('/') + 1));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Compact", "Default", "Unfinished"}));

  test::ScriptedDesktop desktop;
  PlayerCore player;
  SkinLoader loader(player);
  std::string folder = QMB_PROGRAM_FOLDER "/Skins/Default";
  ASSERT_EQ(loader.LoadSkin(folder, 1), 1);
  int chosen = -1;
  loader.steps.chooseSkinFolder = [&chosen](int page) { chosen = page; };
  desktop.answers.push_back(MessageAnswer::Ok);
  folder = QMB_PROGRAM_FOLDER "/Skins/Unfinished";
  EXPECT_EQ(loader.LoadSkin(folder, 1), 0);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, kNoSkinFileText);
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(loader.skin.background);
}

}  // namespace
}  // namespace qmb::skins
