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

// A 1x1 red GIF, byte for byte (Qt writes no GIF).
const unsigned char kRedGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01,
                                 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

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

TEST_F(PictureTest, DecodesEveryFormatSkinsUse) {
  QImage source(24, 16, QImage::Format_ARGB32);
  source.fill(QColor(10, 200, 30));
  for (int y = 8; y < 16; ++y) {
    for (int x = 16; x < 24; ++x) source.setPixel(x, y, qRgb(255, 0, 255));
  }
  for (const char* format : {"BMP", "PNG", "JPG"}) {
    SCOPED_TRACE(format);
    // Skins name pictures freely: the content decides, not the extension.
    std::string path = folder.Path() + "picture." + std::string(format) + ".dat";
    ASSERT_TRUE(source.save(QString::fromStdString(path), format, 100));
    Picture picture = LoadPicture(path);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 24);
    EXPECT_EQ(picture->height, 16);
    EXPECT_EQ(picture->stride, 96);
    uint32_t corner = picture->pixels[15 * 24 + 23];
    EXPECT_NEAR(qRed(corner), 255, 8);
    EXPECT_NEAR(qGreen(corner), 0, 8);
    EXPECT_NEAR(qGreen(picture->pixels[0]), 200, 8);
  }
  folder.Write("red.gif", std::string(reinterpret_cast<const char*>(kRedGif), sizeof kRedGif));
  Picture gif = LoadPicture(folder.Path() + "red.gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->width, 1);
  EXPECT_EQ(gif->pixels[0] & 0xFFFFFFu, 0xFF0000u);
}

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
