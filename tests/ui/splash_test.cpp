// The splash screen over the bundled pictures and the real picture library.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <set>

#include "core/image_library.h"
#include "scripted_desktop.h"
#include "temp_folder.h"
#include "ui/splash_window.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSplashError =
    "Error loading the splash screen graphic. Perhaps you have none, or it is invalid.";

class SplashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(QMB_PROGRAM_FOLDER "/image.so", folder.Path() + "image.so");
    ASSERT_EQ(LoadImageLibrary(folder.Path()), 1);
    fs::create_directory(folder.Path() + "Splash");
  }
  TempFolder folder;
  ScriptedDesktop desktop;
};

TEST_F(SplashTest, StartsShowEachPictureAtItsSize) {
  fs::copy(QMB_PROGRAM_FOLDER "/Splash", folder.Path() + "Splash");
  std::set<std::pair<int, int>> sizes;
  for (int start = 0; start < 40; ++start) {
    desktop.upTimeMs = start * 3000;
    std::unique_ptr<SplashWindow> splash = ShowSplash(true, folder.Path());
    ASSERT_NE(splash, nullptr);
    QWidget* window = splash->Window();
    EXPECT_TRUE(window->isVisible());
    sizes.insert({window->width(), window->height()});
    splash->FadeOut();
    EXPECT_FALSE(window->isVisible());
  }
  EXPECT_EQ(sizes, (std::set<std::pair<int, int>>{{400, 240}, {360, 200}, {320, 260}}));
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SplashTest, AChosenSubFolderOrAnEmptyFolderShowsTheErrorAndNoSplash) {
  EXPECT_EQ(ShowSplash(true, folder.Path()), nullptr);
  fs::create_directory(folder.Path() + "Splash/Old");
  EXPECT_EQ(ShowSplash(true, folder.Path()), nullptr);
  ASSERT_EQ(desktop.Texts(), (std::vector<std::string>{kSplashError, kSplashError}));
  EXPECT_EQ(desktop.messages[0].caption, "Error");
}

TEST_F(SplashTest, SplashScreenZeroShowsNothingAndSaysNothing) {
  EXPECT_EQ(ShowSplash(false, folder.Path()), nullptr);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(QApplication::topLevelWidgets().empty());
}

}  // namespace
}  // namespace qmb::test
