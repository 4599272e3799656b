// The display fonts a skin asks for: their pixel size, weight and styles, the
// desktop's font for a face the system lacks, and the title and time painted
// in them.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <string>

#include "default_skin.h"

namespace qmb {
namespace {

TEST(CreateSkinFont, SizeWeightStylesAndFallback) {
  const QString desktop = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
  struct Case {
    const char* face;
    int size, weight, italic, underline, strikethru, dpi;
    int pixels;          // 0: the desktop's size
    const char* family;  // null: the desktop's family
    QFont::Weight qtWeight;
  };
  const Case cases[] = {
      {"DejaVu Sans", 7, 0, 0, 0, 0, 96, 9, "DejaVu Sans", QFont::Normal},  // 9.33
      {"DejaVu Sans Mono", 7, 700, 0, 0, 0, 96, 9, "DejaVu Sans Mono", QFont::Bold},
      {"DejaVu Sans", 9, 400, 1, 1, 1, 120, 15, "DejaVu Sans", QFont::Normal},
      {"dejavu sans", 10, 0, 0, 0, 0, 96, 13, "DejaVu Sans", QFont::Normal},
      {"Qumble No Such Face", 8, 700, 0, 0, 0, 96, 10, nullptr, QFont::Bold},
      {"", 8, 0, 0, 0, 0, 96, 10, nullptr, QFont::Normal},
      {"DejaVu Sans", -8, 0, 0, 0, 0, 96, 10, "DejaVu Sans", QFont::Normal},
      {"DejaVu Sans", 0, 0, 0, 0, 0, 96, 0, "DejaVu Sans", QFont::Normal},
      {"DejaVu Sans", 8, 5000, 0, 0, 0, 96, 10, "DejaVu Sans", static_cast<QFont::Weight>(1000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.size));
    QFont font =
        CreateSkinFont(c.face, c.size, c.weight, c.italic, c.underline, c.strikethru, c.dpi);
    if (c.pixels > 0) {
      EXPECT_EQ(font.pixelSize(), c.pixels);
    } else {
      EXPECT_GT(QFontInfo(font).pixelSize(), 0);
    }
    EXPECT_EQ(QFontInfo(font).family(), c.family ? QString(c.family) : desktop);
    EXPECT_EQ(font.weight(), c.qtWeight);
    EXPECT_EQ(font.italic(), c.italic != 0);
    EXPECT_EQ(font.underline(), c.underline != 0);
    EXPECT_EQ(font.strikeOut(), c.strikethru != 0);
  }
}

class DisplayFontsTest : public DefaultSkinTest {
 protected:
  void SetUp() override { PlaceSkin(); }

  // How many rows of `rect` the caption's ink covers: rows that differ from
  // the same displays painted empty.
  int InkRows(QRect rect) const {
    const QImage& screen = controls->Screen();
    int first = -1, last = -1;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      for (int x = rect.left(); x <= rect.right(); ++x) {
        if (screen.pixel(x, y) == empty.pixel(x, y)) continue;
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
    return first < 0 ? 0 : last - first + 1;
  }
  void Paint(const std::string& title, const std::string& time) {
    displays.titleText.clear();
    displays.timeText.clear();
    controls->PaintMainWindow();
    controls->RefreshDisplays();
    empty = controls->Screen().copy();
    displays.titleText = title;
    displays.timeText = time;
    controls->RefreshDisplays();
  }

  QImage empty;
};

TEST_F(DisplayFontsTest, TitleAndTimeUseTheSkinsFonts) {
  const int dpi = main.logicalDpiY();
  EXPECT_EQ(controls->TextFont().pixelSize(), -SkinFontHeight(skin.text.fontSize, dpi));
  EXPECT_EQ(QFontInfo(controls->TextFont()).family(), QString::fromStdString(skin.text.fontFace));
  EXPECT_EQ(controls->TimeFont().pixelSize(), -SkinFontHeight(skin.time.fontSize, dpi));
  EXPECT_EQ(controls->TimeFont().weight(), skin.time.bold >= 700 ? QFont::Bold : QFont::Normal);

  // Capital I's are as tall as the font's capitals, no more.
  Paint("IIII", "IIII");
  const QRect title(skin.textArea.left, skin.textArea.top, skin.text.width, skin.text.height);
  const QRect time(skin.time.x1, skin.time.y1, skin.time.width, skin.time.height);
  const int titleInk = InkRows(title);
  const int timeInk = InkRows(time);
  EXPECT_NEAR(titleInk, QFontMetrics(controls->TextFont()).tightBoundingRect("I").height(), 1);
  EXPECT_NEAR(timeInk, QFontMetrics(controls->TimeFont()).tightBoundingRect("I").height(), 1);

  // A reload with a larger title font paints larger capitals.
  skin.text.fontSize += 3;
  controls->PlaceControls();
  Paint("IIII", "IIII");
  EXPECT_GT(InkRows(title), titleInk);
  EXPECT_EQ(InkRows(time), timeInk);
}

TEST_F(DisplayFontsTest, MissingFaceStillPaintsReadableText) {
  skin.text.fontFace = "Qumble No Such Face";
  skin.time.fontFace.clear();
  controls->PlaceControls();
  Paint("IIII", "IIII");
  const QRect title(skin.textArea.left, skin.textArea.top, skin.text.width, skin.text.height);
  const QRect time(skin.time.x1, skin.time.y1, skin.time.width, skin.time.height);
  EXPECT_GT(InkRows(title), 3);
  EXPECT_GT(InkRows(time), 3);
}

}  // namespace
}  // namespace qmb
