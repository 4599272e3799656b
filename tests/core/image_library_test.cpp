// Loading the picture library from the program folder and decoding pictures.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <filesystem>

#include "core/image_library.h"
#include "core/status_codes.h"
#include "temp_folder.h"

namespace qmb {
namespace {

namespace fs = std::filesystem;

TEST(LoadImageLibrary, StatusFollowsWhatTheFolderHolds) {
  test::TempFolder folder;
  EXPECT_EQ(LoadImageLibrary(folder.Path()), kImageLibraryMissing);

  fs::copy_file(QMB_NO_ENTRY_LIBRARY, folder.Path() + "image.so");
  EXPECT_EQ(LoadImageLibrary(folder.Path()), kEntryPointMissing);

  fs::remove(folder.Path() + "image.so");
  folder.Write("image.so", "not a library at all");
  EXPECT_EQ(LoadImageLibrary(folder.Path()), kImageLibraryMissing);

  EXPECT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk);
}

class PictureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), kOk); }
  test::TempFolder folder;
};

TEST_F(PictureTest, DamagedOrMissingPicturesGiveNone) {
  QImage source(64, 64, QImage::Format_RGB32);
  source.fill(Qt::blue);
  ASSERT_TRUE(source.save(QString::fromStdString(folder.Path() + "whole.png"), "PNG"));
  std::string png = folder.Read("whole.png");
  folder.Write("cut.png", png.substr(0, png.size() / 3));
  folder.Write("noise.bmp", "BM" + std::string(200, '\x7F'));
  folder.Write("empty.png", "");
  for (const char* name : {"cut.png", "noise.bmp", "empty.png", "absent.png", ""}) {
    EXPECT_FALSE(LoadPicture(folder.Path() + name)) << name;
  }
  EXPECT_FALSE(LoadPicture(""));
}

}  // namespace
}  // namespace qmb

int main(int argc, char** argv) {
  // Tests run without a display; listing them must work too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
