// The bundled skins as the generator writes them and the player's own loader
// reads them: whole, every piece inside the picture, no window hiding a
// painted surface, every state drawn, the colour key only beside the
// controls, and every expansion stage usable.
#include <gtest/gtest.h>

#include <QImage>
#include <QPolygon>
#include <QRect>
#include <algorithm>
#include <cstring>
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

// A missing picture is drawn apart from nothing.
bool Same(const Picture& a, const Picture& b) {
  return !a || !b ||
         (a->width == b->width && a->height == b->height &&
          std::memcmp(a->pixels, b->pixels, sizeof(std::uint32_t) * a->width * a->height) == 0);
}

class BundledSkin : public ::testing::TestWithParam<SkinDesign (*)()> {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk); }

  void SetUp() override {
    design_ = GetParam()();
    ASSERT_TRUE(WriteSkinFolder(design_, temp_.Path()));
    folder_ = temp_.Path() + design_.folder;
    ASSERT_EQ(loader_.LoadSkin(folder_, 1), 1);
    picture_ = QImage(QString::fromStdString(folder_ + skin().graphicName));
    ASSERT_FALSE(picture_.isNull());
  }
  const SkinDefinition& skin() const { return loader_.skin; }

  // Every piece the loader cuts from the picture.
  std::vector<Piece> Pieces() const {
    const SkinDefinition& s = skin();
    std::vector<Piece> pieces = {
        {"face", QRect(s.mainA, s.mainB, s.mainW, s.mainH)},
        {"visual", QRect(s.visual.a, s.visual.b, s.visual.width, s.visual.height)}};
    for (const SkinLight& l : s.lights) {
      pieces.push_back({"light", QRect(l.a0, l.b0, l.w, l.h)});
      pieces.push_back({"light", QRect(l.a1, l.b1, l.w, l.h)});
    }
    for (const SkinButton& b : s.buttons) {
      for (auto [a, y] : {std::pair{b.a0, b.b0}, {b.a1, b.b1}, {b.a2, b.b2}})
        pieces.push_back({"button", QRect(a, y, b.w, b.h)});
    }
    for (const SkinSlider& t : s.sliders) {
      pieces.push_back({"track", QRect(t.a, t.b, t.w, t.h)});
      pieces.push_back({"overlay", QRect(t.oa, t.ob, t.ow, t.oh)});
      for (auto [a, y] : {std::pair{t.a1, t.b1}, {t.a2, t.b2}, {t.a3, t.b3}})
        pieces.push_back({"thumb", QRect(a, y, t.w1, t.h1)});
    }
    return pieces;
  }
  // The windows the player puts on the face.
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
  QImage picture_;
};

TEST_P(BundledSkin, LoadsWholeWithEveryPictureAtItsSizeInsideThePicture) {
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(loader_.skinInfo.Text(), design_.readme);
  EXPECT_FALSE(design_.readme.empty());
  const SkinDefinition& s = skin();
  const Palette palette;
  const SkinDesign& d = design_;
  EXPECT_EQ(std::tuple(s.tipsForeColour, s.tipsBackColour, s.numStages, s.transparentColour,
                       int{s.disableInverse}, s.text.width, s.text.height, s.time.width,
                       s.time.bold, s.eq.w),
            std::tuple(palette.tipsText.IniValue(), palette.tipsBack.IniValue(),
                       static_cast<int>(d.stages.size()), d.transparent, d.disableInverse, d.text.w,
                       d.text.h, d.time.w, d.timeFont.weight, d.eq.w));
  EXPECT_EQ(std::tie(s.text.fontFace, s.time.fontFace), std::tie(d.textFont.face, d.timeFont.face));
  // Pieces come at the sizes the skin.ini gives: these must be the design's.
  EXPECT_EQ(QSize(s.mainW, s.mainH), QSize(d.width, d.height));
  EXPECT_EQ(QSize(s.visual.width, s.visual.height), QSize(d.visual.w, d.visual.h));
  for (int i = 0; i < kLightCount; ++i)
    EXPECT_EQ(QSize(s.lights[i].w, s.lights[i].h), QSize(d.lights[i].w, d.lights[i].h)) << i;
  for (int i = 0; i < kButtonCount; ++i) {
    const SkinButton& b = s.buttons[i];
    const Box& box = d.buttons[i].box;
    EXPECT_EQ(QRect(b.x, b.y, b.w, b.h), QRect(box.x, box.y, box.w, box.h)) << i;
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const SkinSlider& t = s.sliders[i];
    const SliderDesign& sd = d.sliders[i];
    EXPECT_EQ(std::tuple(int{t.vertical}, t.w, t.h, t.w1, t.h1),
              std::tuple(sd.vertical ? 1 : 0, sd.track.w, sd.track.h, sd.thumbW, sd.thumbH))
        << i;
  }
  // The loader would fill a piece outside the picture with black.
  for (const Piece& piece : Pieces()) {
    EXPECT_FALSE(piece.rect.isEmpty()) << piece.what;
    EXPECT_TRUE(picture_.rect().contains(piece.rect)) << piece.what;
  }
}

TEST_P(BundledSkin, ElementsFitTheFaceAndNoWindowHidesAnother) {
  const SkinDefinition& s = skin();
  const QRect face(0, 0, s.mainW, s.mainH);
  for (int i = 0; i < kSliderCount; ++i) {
    const SkinSlider& t = s.sliders[i];
    if (i >= 10) {
      EXPECT_FALSE(t.vertical) << i;
    }
    // The thumb spans the track across and leaves it room to travel.
    EXPECT_EQ(t.vertical ? t.w1 : t.h1, t.vertical ? t.w : t.h) << i;
    EXPECT_LT(t.vertical ? t.h1 : t.w1, t.vertical ? t.h : t.w) << i;
    EXPECT_EQ(QSize(t.ow, t.oh), QSize(t.w, t.h)) << i;
  }
  // Surfaces painted on the face itself.
  const std::vector<Piece> surfaces = {
      {"text", QRect(s.text.x1, s.text.y1, s.text.width, s.text.height)},
      {"time", QRect(s.time.x1, s.time.y1, s.time.width, s.time.height)},
      {"eq", QRect(s.eq.x, s.eq.y, s.eq.w, s.eq.h)},
      {"light 0", QRect(s.lights[0].x, s.lights[0].y, s.lights[0].w, s.lights[0].h)},
      {"light 1", QRect(s.lights[1].x, s.lights[1].y, s.lights[1].w, s.lights[1].h)}};
  const std::vector<Piece> windows = Windows();
  for (const Piece& w : windows) {
    EXPECT_FALSE(w.rect.isEmpty()) << w.what;
    EXPECT_TRUE(face.contains(w.rect)) << w.what;
    for (const Piece& other : windows) {
      if (&other != &w) {
        EXPECT_FALSE(w.rect.intersects(other.rect)) << w.what << "/" << other.what;
      }
    }
    for (const Piece& p : surfaces)
      EXPECT_FALSE(w.rect.intersects(p.rect)) << w.what << " / " << p.what;
  }
  for (const Piece& p : surfaces) {
    EXPECT_FALSE(p.rect.isEmpty()) << p.what;
    EXPECT_TRUE(face.contains(p.rect)) << p.what;
  }
}

TEST_P(BundledSkin, EveryStateIsDrawnApart) {
  const SkinDefinition& s = skin();
  for (int i = 0; i < kButtonCount; ++i) {
    const SkinButton& b = s.buttons[i];
    EXPECT_FALSE(Same(b.normalPicture, b.hoverPicture)) << i;
    EXPECT_FALSE(Same(b.normalPicture, b.pressedPicture)) << i;
    EXPECT_FALSE(Same(b.hoverPicture, b.pressedPicture)) << i;
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const SkinSlider& t = s.sliders[i];
    EXPECT_FALSE(Same(t.thumbNormalPicture, t.thumbHoverPicture)) << i;
    EXPECT_FALSE(Same(t.thumbNormalPicture, t.thumbPressedPicture)) << i;
    // Volume, position and bands show how far they are; the balance does not.
    EXPECT_EQ(Same(t.trackPicture, t.overlayPicture), i == 12) << i;
  }
  for (const SkinLight& l : s.lights) EXPECT_FALSE(Same(l.offPicture, l.onPicture));
}

// The colour key cuts only the face around the controls: never a piece the
// player copies, and, where a skin has a drawer, everything beside it.
TEST_P(BundledSkin, ColourKeyCutsOnlyBesideTheControls) {
  const int key = skin().transparentColour;
  if (key < 0) GTEST_SKIP() << "no colour key";
  const QRgb keyPixel = qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF);
  auto keyed = [&](int x, int y) { return (picture_.pixel(x, y) | 0xFF000000u) == keyPixel; };
  const Box& drawer = design_.drawer;
  int count = 0;
  for (const Piece& piece : Pieces()) {
    for (int y = piece.rect.top(); y <= piece.rect.bottom(); ++y) {
      for (int x = piece.rect.left(); x <= piece.rect.right(); ++x) {
        if (!keyed(x, y)) continue;
        EXPECT_EQ(piece.what, "face") << x << "," << y;
        // Not inside the drawer, nor in the body above it.
        const int fx = x - piece.rect.left(), fy = y - piece.rect.top();
        EXPECT_TRUE(fy > drawer.y &&
                    (fx < drawer.x || fx >= drawer.Right() || fy >= drawer.Bottom() - 2))
            << x << "," << y;
        ++count;
      }
    }
  }
  EXPECT_GT(count, 0);
  const QPoint face(skin().mainA, skin().mainB);
  for (const Piece& w : Windows()) {
    if (w.what == "visual") continue;
    for (int y = w.rect.top(); y <= w.rect.bottom(); ++y)
      for (int x = w.rect.left(); x <= w.rect.right(); ++x)
        EXPECT_FALSE(keyed(face.x() + x, face.y() + y)) << w.what << " " << x << "," << y;
  }
  if (drawer.w > 0) {
    const int y = face.y() + drawer.y + drawer.h / 2;
    EXPECT_TRUE(keyed(face.x() + drawer.x - 1, y));
    EXPECT_TRUE(keyed(face.x() + drawer.Right(), y));
    EXPECT_FALSE(keyed(face.x() + drawer.x + drawer.w / 2, y));
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

TEST_P(BundledSkin, PaintingAgainGivesTheSameFiles) {
  test::TempFolder again;
  ASSERT_TRUE(WriteSkinFolder(design_, again.Path()));
  for (const char* file : {"skin.ini", "main.bmp", "readme.txt", "region0.txt"}) {
    EXPECT_EQ(again.Read(design_.folder + "/" + file), temp_.Read(design_.folder + "/" + file))
        << file;
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, BundledSkin, ::testing::Values(&DefaultDesign, &CompactDesign),
                         [](const auto& info) { return info.index == 0 ? "Default" : "Compact"; });

TEST(SkinFolder, AnUnwritableParentIsReported) {
  test::TempFolder temp;
  temp.Write("file", "not a folder");
  EXPECT_FALSE(WriteSkinFolder(DefaultDesign(), temp.Path() + "file"));
}

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
  EXPECT_EQ(desktop.Texts(), std::vector<std::string>{kNoSkinFileText});
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(loader.skin.background);
}

}  // namespace
}  // namespace qmb::skins
