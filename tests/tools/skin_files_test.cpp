// The bundled skins as the generator writes them and the player's own loader
// reads them: whole, as designed, no window hiding a painted surface, and
// every expansion stage usable.
#include <gtest/gtest.h>

#include <QPolygon>
#include <QRect>
#include <string>
#include <tuple>
#include <vector>

#include "core/image_library.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "scripted_desktop.h"
#include "skin/skin_definition.h"
#include "skin/skin_regions.h"
#include "skin/skin_selection.h"
#include "temp_folder.h"
#include "tools/skins/skin_design.h"
#include "tools/skins/skin_files.h"

namespace qmb::skins {
namespace {

struct Piece {
  std::string what;
  QRect rect;
};

class BundledSkin : public ::testing::TestWithParam<SkinDesign (*)()> {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk); }

  void SetUp() override {
    design_ = GetParam()();
    ASSERT_TRUE(WriteSkinFolder(design_, temp_.Path()));
    folder_ = temp_.Path() + design_.folder;
    ASSERT_EQ(loader_.LoadSkin(folder_, 1), 1);
  }
  const SkinDefinition& skin() const { return loader_.skin; }

  std::vector<Piece> Windows() const {
    const SkinDefinition& s = skin();
    std::vector<Piece> windows = {
        {"visual", QRect(s.visual.x1, s.visual.y1, s.visual.width, s.visual.height)}};
    for (int i = 0; i < kButtonCount; ++i) {
      const SkinButton& b = s.buttons[i];
      windows.push_back({"button " + std::to_string(i), QRect(b.x, b.y, b.w, b.h)});
    }
    for (int i = 0; i < kSliderCount; ++i) {
      const SkinSlider& t = s.sliders[i];
      windows.push_back({"slider " + std::to_string(i), QRect(t.x, t.y, t.w, t.h)});
    }
    return windows;
  }

  test::ScriptedDesktop desktop_;
  test::TempFolder temp_;
  SkinDesign design_;
  std::string folder_;
  PlayerCore player_;
  SkinLoader loader_{player_};
};

TEST_P(BundledSkin, LoadsWholeAsDesigned) {
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(loader_.skinInfo.Text(), design_.readme);
  EXPECT_FALSE(design_.readme.empty());
  const SkinDefinition& s = skin();
  const Palette palette;
  const SkinDesign& d = design_;
  EXPECT_EQ(std::tuple(s.tipsForeColour, s.tipsBackColour, s.numStages, s.transparentColour,
                       int{s.disableInverse}, s.text.width, s.text.height, s.time.width,
                       s.time.bold, s.eq.w, s.mainW, s.mainH, s.visual.width, s.visual.height),
            std::tuple(palette.tipsText.IniValue(), palette.tipsBack.IniValue(),
                       static_cast<int>(d.stages.size()), d.transparent, d.disableInverse, d.text.w,
                       d.text.h, d.time.w, d.timeFont.weight, d.eq.w, d.width, d.height, d.visual.w,
                       d.visual.h));
  EXPECT_EQ(std::tie(s.text.fontFace, s.time.fontFace), std::tie(d.textFont.face, d.timeFont.face));
  for (int i = 0; i < kButtonCount; ++i) {
    const Box& box = d.buttons[i].box;
    EXPECT_EQ(Windows()[1 + i].rect, QRect(box.x, box.y, box.w, box.h)) << i;
  }
}

TEST_P(BundledSkin, ElementsFitTheFaceAndNoWindowHidesAnother) {
  const SkinDefinition& s = skin();
  const QRect face(0, 0, s.mainW, s.mainH);
  for (int i = 0; i < kSliderCount; ++i) {
    const SkinSlider& t = s.sliders[i];
    EXPECT_TRUE(i < 10 || !t.vertical) << i;
    // The thumb spans the track across and leaves it room to travel.
    EXPECT_EQ(t.vertical ? t.w1 : t.h1, t.vertical ? t.w : t.h) << i;
    EXPECT_LT(t.vertical ? t.h1 : t.w1, t.vertical ? t.h : t.w) << i;
    EXPECT_EQ(QSize(t.ow, t.oh), QSize(t.w, t.h)) << i;
  }
  std::vector<Piece> all = Windows();
  all.insert(all.end(),
             {{"text", QRect(s.text.x1, s.text.y1, s.text.width, s.text.height)},
              {"time", QRect(s.time.x1, s.time.y1, s.time.width, s.time.height)},
              {"eq", QRect(s.eq.x, s.eq.y, s.eq.w, s.eq.h)},
              {"light 0", QRect(s.lights[0].x, s.lights[0].y, s.lights[0].w, s.lights[0].h)},
              {"light 1", QRect(s.lights[1].x, s.lights[1].y, s.lights[1].w, s.lights[1].h)}});
  for (const Piece& a : all) {
    EXPECT_FALSE(a.rect.isEmpty()) << a.what;
    EXPECT_TRUE(face.contains(a.rect)) << a.what;
    for (const Piece& b : all)
      EXPECT_TRUE(&a == &b || !a.rect.intersects(b.rect)) << a.what << " / " << b.what;
  }
}

TEST_P(BundledSkin, EveryStageShowsTheButtonsNeededToLeaveIt) {
  const SkinDefinition& s = skin();
  ASSERT_GE(s.numStages, 1);
  for (int stage = 0; stage < s.numStages; ++stage) {
    const std::string path = StageRegionPath(s.skinFolder, stage);
    const std::string text = temp_.Read(path.substr(temp_.Path().size()));
    ASSERT_FALSE(text.empty()) << stage;
    EXPECT_NE(text.back(), '\n') << "a reader looping on end of file would add (0, 0)";
    std::vector<RegionPoint> vertices;
    ASSERT_EQ(ReadRegionFile(path, vertices), RegionRead::kRead);
    ASSERT_GE(vertices.size(), 3u);
    QPolygon shape;
    for (const RegionPoint& v : vertices) {
      EXPECT_TRUE(v.x >= 0 && v.x <= s.mainW && v.y >= 0 && v.y <= s.mainH);
      shape << QPoint(v.x, v.y);
    }
    auto shows = [&shape](const QRect& r) {
      for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        if (!shape.containsPoint(corner, Qt::OddEvenFill)) return false;
      }
      return true;
    };
    // Menu, exit and the stage button itself, whatever the stage; stage 0 shows all.
    for (const Piece& w : Windows()) {
      bool needed = w.what == "button 0" || w.what == "button 2" || w.what == "button 14";
      if ((stage == 0 && w.what != "visual") || needed) {
        EXPECT_TRUE(shows(w.rect)) << stage << " " << w.what;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, BundledSkin, ::testing::Values(&DefaultDesign, &CompactDesign),
                         [](const auto& info) { return info.index == 0 ? "Default" : "Compact"; });

}  // namespace
}  // namespace qmb::skins
