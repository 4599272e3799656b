// Centring, font heights and the file dialog's texts.
#include <gtest/gtest.h>

#include "core/file_dialog.h"
#include "core/window_geometry.h"
#include "scripted_desktop.h"

namespace qmb {
namespace {

TEST(CenteredRect, CentresAndKeepsTheWindowOnScreen) {
  const Rect work{0, 0, 1920, 1040};
  const Rect window{0, 0, 300, 140};
  struct Case {
    const char* name;
    bool hasRef, hasSecond;
    Rect ref, second;
    int x, y;
  } cases[] = {
      {"work area", false, false, {}, {}, 810, 450},
      {"on a reference", true, false, {100, 100, 500, 400}, {}, 200, 230},
      {"vertically on the second", true, true, {100, 100, 500, 400}, {0, 600, 100, 100}, 200, 580},
      {"near the right edge", true, false, {1800, 500, 200, 100}, {}, 1620, 480},
      {"above the top", true, false, {100, -200, 100, 50}, {}, 0, 0},
      {"below the bottom", true, false, {100, 1050, 100, 100}, {}, 0, 940},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rect r = CenteredRect(window, c.hasRef ? &c.ref : nullptr, c.hasSecond ? &c.second : nullptr,
                          work, 1920, 1080);
    EXPECT_EQ(r.x, c.x);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.width, 300);
    EXPECT_EQ(r.height, 140);
  }
}

TEST(PointFontHeight, IsNegativeAndTruncated) {
  EXPECT_EQ(PointFontHeight(8, 96), -10);
  EXPECT_EQ(PointFontHeight(10, 96), -13);
  EXPECT_EQ(PointFontHeight(9, 120), -15);
}

TEST(ConvertFilter, BarsBecomeQtFilters) {
  EXPECT_EQ(ConvertFilter("Qumble Eq Files (*.qeq)|*.qeq"), "Qumble Eq Files (*.qeq)");
  EXPECT_EQ(ConvertFilter("Playlists|*.qpl;*.m3u|All Files|*.*"),
            "Playlists (*.qpl *.m3u);;All Files (*.*)");
  EXPECT_EQ(ConvertFilter("Odd (old)|*.x|"), "Odd (*.x)");
  EXPECT_EQ(ConvertFilter(""), "");
  EXPECT_EQ(ConvertFilter("Description only"), "");
}

TEST(FileDialog, ReturnsThePathOrTheFolderAndNamesOrNothing) {
  test::ScriptedDesktop desktop;
  desktop.fileChoices.push_back({"/m/one.qpl"});
  desktop.fileChoices.push_back({"/m/a.mp3", "/m/b.mp3"});
  EXPECT_EQ(FileDialog("Load Playlist", "QPL|*.qpl", false, "/m/", "qpl"), "/m/one.qpl");
  EXPECT_EQ(FileDialog("Open", "Any|*.*", false, "/m/", ""), "/m, a.mp3, b.mp3");
  EXPECT_EQ(FileDialog("Save", "Any|*.*", true, "/m/", ""), "") << "cancelled";
  ASSERT_EQ(desktop.fileDialogs.size(), 3u);
  EXPECT_EQ(desktop.fileDialogs[0].filter, "QPL (*.qpl)");
  EXPECT_EQ(desktop.fileDialogs[0].defaultExtension, "qpl");
  EXPECT_TRUE(desktop.fileDialogs[2].save);
}

}  // namespace
}  // namespace qmb
