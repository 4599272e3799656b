// The bundled skins read back as the player reads them: every key one the
// loader knows, every piece inside the picture, no window hiding a painted
// surface, every state drawn, and every expansion stage usable.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QImage>
#include <QPolygon>
#include <QRect>

#include "core/profile_file.h"
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
  void SetUp() override {
    design_ = GetParam()();
    ASSERT_TRUE(WriteSkinFolder(design_, temp_.Path()));
    folder_ = temp_.Path() + design_.folder + "/";
    ini_ = ProfileFile::Load(folder_ + "skin.ini");
    picture_ = QImage(QString::fromStdString(folder_ + ini_.GetString("MainForm", "Graphic")));
    ASSERT_FALSE(picture_.isNull());
  }

  int Int(const std::string& section, const char* key) const {
    return ini_.GetInt(section, key, 0);
  }
  QRect Place(const std::string& section) const {
    return QRect(Int(section, "X"), Int(section, "Y"), Int(section, "W"), Int(section, "H"));
  }
  QRect Cut(const std::string& section, const char* a, const char* b, int w, int h) const {
    return QRect(Int(section, a), Int(section, b), w, h);
  }
  QImage Picture(const QRect& r) const { return picture_.copy(r); }

  // Every piece the loader cuts, with its size as the loader computes it.
  std::vector<Piece> Pieces() const {
    std::vector<Piece> pieces;
    pieces.push_back(
        {"face", Cut("MainForm", "A", "B", Int("MainForm", "W"), Int("MainForm", "H"))});
    pieces.push_back(
        {"visual", Cut("Visual", "A", "B", Int("Visual", "X2") - Int("Visual", "X1") + 1,
                       Int("Visual", "Y2") - Int("Visual", "Y1") + 1)});
    for (int i = 0; i < kLightCount; ++i) {
      const std::string s = "Light" + std::to_string(i);
      for (auto [a, b] : {std::pair{"A0", "B0"}, {"A1", "B1"}}) {
        pieces.push_back({s + a, Cut(s, a, b, Int(s, "W"), Int(s, "H"))});
      }
    }
    for (int i = 0; i < kButtonCount; ++i) {
      const std::string s = "Main" + std::to_string(i);
      for (auto [a, b] : {std::pair{"A0", "B0"}, {"A1", "B1"}, {"A2", "B2"}}) {
        pieces.push_back({s + a, Cut(s, a, b, Int(s, "W"), Int(s, "H"))});
      }
    }
    for (int i = 0; i < kSliderCount; ++i) {
      const std::string s = "Slider" + std::to_string(i);
      pieces.push_back({s + "A", Cut(s, "A", "B", Int(s, "W"), Int(s, "H"))});
      for (auto [a, b] : {std::pair{"A1", "B1"}, {"A2", "B2"}, {"A3", "B3"}}) {
        pieces.push_back({s + a, Cut(s, a, b, Int(s, "W1"), Int(s, "H1"))});
      }
      pieces.push_back({s + "OA", Cut(s, "OA", "OB", Int(s, "OW"), Int(s, "OH"))});
    }
    return pieces;
  }

  test::TempFolder temp_;
  SkinDesign design_;
  std::string folder_;
  ProfileFile ini_;
  QImage picture_;
};

TEST_P(BundledSkin, FolderHoldsWhatTheLoaderOpens) {
  EXPECT_EQ(ini_.GetString("Info", "Version"), "QMB50");
  EXPECT_FALSE(ini_.GetString("Info", "Name").empty());
  EXPECT_EQ(ini_.GetString("MainForm", "Graphic"), "main.bmp");
  EXPECT_FALSE(temp_.Read(design_.folder + "/readme.txt").empty());
  const int stages = Int("MainForm", "NumStages");
  ASSERT_GE(stages, 1);
  for (int stage = 0; stage < stages; ++stage) {
    EXPECT_TRUE(temp_.Exists(design_.folder + "/region" + std::to_string(stage) + ".txt")) << stage;
  }
}

TEST_P(BundledSkin, WritesOnlyKeysTheLoaderReadsWithValuesInRange) {
  const std::set<std::string> place = {"X", "Y", "W", "H"};
  auto with = [](std::set<std::string> keys, std::initializer_list<const char*> more) {
    keys.insert(more.begin(), more.end());
    return keys;
  };
  const std::set<std::string> display = {"ForeColor", "X1",         "Y1",       "X2",
                                         "Y2",        "Font",       "FontSize", "Bold",
                                         "Italic",    "Strikethru", "Underline"};
  std::vector<std::pair<std::string, std::set<std::string>>> sections = {
      {"Info", {"Name", "Version"}},
      {"MainForm",
       {"Graphic", "A", "B", "W", "H", "Transparent", "DisableInverse", "TipsFC", "TipsBC",
        "NumStages"}},
      {"Visual", {"X1", "Y1", "X2", "Y2", "A", "B", "ForeColor", "ExtraData"}},
      {"Text", display},
      {"Time", display},
      {"Eq", with(place, {"ForeColor"})}};
  for (int i = 0; i < kLightCount; ++i) {
    sections.push_back({"Light" + std::to_string(i), with(place, {"A0", "B0", "A1", "B1"})});
  }
  for (int i = 0; i < kButtonCount; ++i) {
    sections.push_back({"Main" + std::to_string(i),
                        with(place, {"A0", "B0", "A1", "B1", "A2", "B2", "ExtraData"})});
  }
  for (int i = 0; i < kSliderCount; ++i) {
    sections.push_back(
        {"Slider" + std::to_string(i),
         with(place, {"A", "B", "W1", "H1", "A1", "B1", "A2", "B2", "A3", "B3", "OW", "OH", "OA",
                      "OB", "Vertical", "ExtraDataSlider", "ExtraDataBack"})});
  }
  const std::set<std::string> texts = {"Name", "Version", "Graphic", "Font", "ExtraData"};
  std::set<std::string> known;
  for (const auto& [section, keys] : sections) {
    known.insert(section);
    EXPECT_FALSE(ini_.Keys(section).empty()) << section << " is missing";
    for (const std::string& key : ini_.Keys(section)) {
      EXPECT_TRUE(keys.count(key)) << section << "." << key << " is not read by the loader";
      if (texts.count(key)) continue;
      // Whole decimal integers only: the loader would stop at anything else.
      const std::string value = ini_.GetString(section, key);
      long number = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      EXPECT_TRUE(error == std::errc() && end == value.data() + value.size())
          << section << "." << key << "=" << value;
      const bool colour = key == "ForeColor" || key == "TipsFC" || key == "TipsBC";
      if (colour) {
        EXPECT_TRUE(number >= 0 && number <= 0xFFFFFF) << section << "." << key;
      }
      if (key == "Vertical" || key == "DisableInverse") {
        EXPECT_TRUE(number == 0 || number == 1);
      }
      if (key == "Transparent") {
        EXPECT_EQ(number, design_.transparent);
      }
      if (!colour && key != "Transparent") {
        EXPECT_GE(number, 0) << section << "." << key;
      }
    }
  }
  std::istringstream lines(temp_.Read(design_.folder + "/skin.ini"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] != '[') continue;
    const std::string name = line.substr(1, line.find(']') - 1);
    EXPECT_TRUE(known.count(name)) << "unknown section " << name;
  }
}

TEST_P(BundledSkin, EveryPieceLiesInThePicture) {
  for (const Piece& piece : Pieces()) {
    EXPECT_FALSE(piece.rect.isEmpty()) << piece.what;
    EXPECT_TRUE(picture_.rect().contains(piece.rect)) << piece.what;
  }
}

TEST_P(BundledSkin, ElementsFitTheFaceAndNoWindowHidesAnother) {
  const QRect face(0, 0, Int("MainForm", "W"), Int("MainForm", "H"));
  std::vector<Piece> windows = {
      {"visual", QRect(QPoint(Int("Visual", "X1"), Int("Visual", "Y1")),
                       QPoint(Int("Visual", "X2"), Int("Visual", "Y2")))}};
  for (int i = 0; i < kButtonCount; ++i)
    windows.push_back({"Main" + std::to_string(i), Place("Main" + std::to_string(i))});
  for (int i = 0; i < kSliderCount; ++i) {
    const std::string s = "Slider" + std::to_string(i);
    windows.push_back({s, Place(s)});
    const bool vertical = Int(s, "Vertical") == 1;
    EXPECT_EQ(vertical, design_.sliders[i].vertical) << s;
    if (i >= 10) {
      EXPECT_FALSE(vertical) << s;
    }
    // The thumb spans the track across and leaves it room to travel.
    EXPECT_EQ(vertical ? Int(s, "W1") : Int(s, "H1"), vertical ? Int(s, "W") : Int(s, "H")) << s;
    EXPECT_LT(vertical ? Int(s, "H1") : Int(s, "W1"), vertical ? Int(s, "H") : Int(s, "W")) << s;
    EXPECT_EQ(Int(s, "OW"), Int(s, "W")) << s;
    EXPECT_EQ(Int(s, "OH"), Int(s, "H")) << s;
  }
  // Surfaces painted on the face itself: text and time (right and bottom
  // edges exclusive), the equalizer curve and the lights.
  std::vector<Piece> surfaces = {
      {"Text", QRect(QPoint(Int("Text", "X1"), Int("Text", "Y1")),
                     QPoint(Int("Text", "X2") - 1, Int("Text", "Y2") - 1))},
      {"Time", QRect(QPoint(Int("Time", "X1"), Int("Time", "Y1")),
                     QPoint(Int("Time", "X2") - 1, Int("Time", "Y2") - 1))},
      {"Eq", Place("Eq")},
      {"Light0", Place("Light0")},
      {"Light1", Place("Light1")}};
  for (const Piece& w : windows) {
    EXPECT_FALSE(w.rect.isEmpty()) << w.what;
    EXPECT_TRUE(face.contains(w.rect)) << w.what;
    for (const Piece& other : windows) {
      if (&other == &w) continue;
      EXPECT_FALSE(w.rect.intersects(other.rect)) << w.what << " / " << other.what;
    }
    for (const Piece& s : surfaces)
      EXPECT_FALSE(w.rect.intersects(s.rect)) << w.what << " / " << s.what;
  }
  for (const Piece& s : surfaces) {
    EXPECT_FALSE(s.rect.isEmpty()) << s.what;
    EXPECT_TRUE(face.contains(s.rect)) << s.what;
  }
}

TEST_P(BundledSkin, EveryStateIsDrawnApart) {
  for (int i = 0; i < kButtonCount; ++i) {
    const std::string s = "Main" + std::to_string(i);
    const QImage normal = Picture(Cut(s, "A0", "B0", Int(s, "W"), Int(s, "H")));
    const QImage hover = Picture(Cut(s, "A1", "B1", Int(s, "W"), Int(s, "H")));
    const QImage pressed = Picture(Cut(s, "A2", "B2", Int(s, "W"), Int(s, "H")));
    EXPECT_NE(normal, hover) << s;
    EXPECT_NE(normal, pressed) << s;
    EXPECT_NE(hover, pressed) << s;
  }
  for (int i = 0; i < kSliderCount; ++i) {
    const std::string s = "Slider" + std::to_string(i);
    const QImage normal = Picture(Cut(s, "A1", "B1", Int(s, "W1"), Int(s, "H1")));
    EXPECT_NE(normal, Picture(Cut(s, "A2", "B2", Int(s, "W1"), Int(s, "H1")))) << s;
    EXPECT_NE(normal, Picture(Cut(s, "A3", "B3", Int(s, "W1"), Int(s, "H1")))) << s;
    const QImage track = Picture(Cut(s, "A", "B", Int(s, "W"), Int(s, "H")));
    const QImage overlay = Picture(Cut(s, "OA", "OB", Int(s, "OW"), Int(s, "OH")));
    // Volume, position and bands show how far they are; the balance does not.
    EXPECT_EQ(track == overlay, i == 12) << s;
  }
  for (int i = 0; i < kLightCount; ++i) {
    const std::string s = "Light" + std::to_string(i);
    EXPECT_NE(Picture(Cut(s, "A0", "B0", Int(s, "W"), Int(s, "H"))),
              Picture(Cut(s, "A1", "B1", Int(s, "W"), Int(s, "H"))))
        << s;
  }
}

// The region reader's way: one vertex per line, x and y before and after the
// first comma, a missing field 0.
std::vector<QPoint> ReadRegion(const std::string& text) {
  std::vector<QPoint> vertices;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto comma = line.find(',');
    const int x = std::atoi(line.substr(0, comma).c_str());
    const int y = comma == std::string::npos ? 0 : std::atoi(line.substr(comma + 1).c_str());
    vertices.emplace_back(x, y);
  }
  return vertices;
}

// The colour key cuts only the face around the controls: never a piece the
// player copies, and, where a skin has a drawer, everything beside it.
TEST_P(BundledSkin, ColourKeyCutsOnlyBesideTheControls) {
  const int key = Int("MainForm", "Transparent");
  if (key < 0) GTEST_SKIP() << "no colour key";
  const QRgb keyPixel = qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF);
  int keyed = 0;
  for (const Piece& piece : Pieces()) {
    const QImage image = Picture(piece.rect);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) | 0xFF000000u) != (keyPixel | 0xFF000000u)) continue;
        EXPECT_EQ(piece.what, "face") << x << "," << y;
        // Not inside the drawer, nor in the body above it.
        const Box& drawer = design_.drawer;
        EXPECT_TRUE(y > drawer.y &&
                    (x < drawer.x || x >= drawer.Right() || y >= drawer.Bottom() - 2))
            << x << "," << y;
        ++keyed;
      }
    }
  }
  std::vector<QRect> windows;
  for (int i = 0; i < kButtonCount; ++i) windows.push_back(Place("Main" + std::to_string(i)));
  for (int i = 0; i < kSliderCount; ++i) windows.push_back(Place("Slider" + std::to_string(i)));
  const QImage face = Picture(Pieces()[0].rect);
  for (const QRect& r : windows) {
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        EXPECT_NE(face.pixel(x, y) | 0xFF000000u, keyPixel | 0xFF000000u) << x << "," << y;
  }
  const Box& drawer = design_.drawer;
  if (drawer.w > 0) {
    const int y = drawer.y + drawer.h / 2;
    EXPECT_EQ(face.pixel(drawer.x - 1, y) | 0xFF000000u, keyPixel | 0xFF000000u);
    EXPECT_EQ(face.pixel(drawer.Right(), y) | 0xFF000000u, keyPixel | 0xFF000000u);
    EXPECT_NE(face.pixel(drawer.x + drawer.w / 2, y) | 0xFF000000u, keyPixel | 0xFF000000u);
  }
  EXPECT_GT(keyed, 0);
}

TEST_P(BundledSkin, EveryStageShowsTheButtonsNeededToLeaveIt) {
  const int w = Int("MainForm", "W"), h = Int("MainForm", "H");
  for (int stage = 0; stage < Int("MainForm", "NumStages"); ++stage) {
    const std::string text =
        temp_.Read(design_.folder + "/region" + std::to_string(stage) + ".txt");
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n') << "a reader looping on end of file would add (0, 0)";
    const std::vector<QPoint> vertices = ReadRegion(text);
    ASSERT_GE(vertices.size(), 3u);
    for (const QPoint& v : vertices)
      EXPECT_TRUE(v.x() >= 0 && v.x() <= w && v.y() >= 0 && v.y() <= h);
    const QPolygon shape(QList<QPoint>(vertices.begin(), vertices.end()));
    auto shows = [&shape](const QRect& r) {
      for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        if (!shape.containsPoint(corner, Qt::OddEvenFill)) return false;
      }
      return true;
    };
    // Menu, exit and the stage button itself, whatever the stage.
    for (int button : {0, 2, 14})
      EXPECT_TRUE(shows(Place("Main" + std::to_string(button)))) << stage << "/" << button;
    if (stage != 0) continue;
    for (int i = 0; i < kButtonCount; ++i)
      EXPECT_TRUE(shows(Place("Main" + std::to_string(i)))) << i;
    for (int i = 0; i < kSliderCount; ++i)
      EXPECT_TRUE(shows(Place("Slider" + std::to_string(i)))) << i;
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

}  // namespace
}  // namespace qmb::skins
