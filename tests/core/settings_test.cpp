// The settings image: its layout, its defaults, short and damaged files, and
// what saving gathers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"
#include "core/text_util.h"
#include "temp_folder.h"

namespace qmb {
namespace {

struct FieldAt {
  const char* name;
  std::size_t offset;
  std::size_t size;
};

// Every field against the offset and size stored files have.
TEST(PlayerSettingsLayout, FieldsSitAtTheirOffsets) {
#define FIELD(f, off, sz)                                                        \
  FieldAt{#f, offsetof(PlayerSettings, f), sizeof(PlayerSettings::f)}, FieldAt { \
#f, off, sz                                                                  \
  }
  const FieldAt table[] = {
      FIELD(skinFolder, 0, 260),        FIELD(browseFolder, 260, 260),
      FIELD(windowX, 520, 4),           FIELD(windowY, 524, 4),
      FIELD(eqBands, 528, 40),          FIELD(volume, 568, 4),
      FIELD(balance, 572, 4),           FIELD(skinStage, 576, 4),
      FIELD(shuffle, 580, 1),           FIELD(loop, 581, 1),
      FIELD(reserved582, 582, 2),       FIELD(skinRasterOp, 584, 4),
      FIELD(currentEntry, 588, 4),      FIELD(visKind, 592, 1),
      FIELD(spectrumStyle, 593, 1),     FIELD(scopeStyle, 594, 1),
      FIELD(alphaBlending, 595, 1),     FIELD(mainWindowAlpha, 596, 1),
      FIELD(playlistAlpha, 597, 1),     FIELD(visualization, 598, 1),
      FIELD(splashScreen, 599, 1),      FIELD(toolTips, 600, 1),
      FIELD(alwaysOnTop, 601, 1),       FIELD(multipleInstances, 602, 1),
      FIELD(trayIcon, 603, 1),          FIELD(alphaOnSkinSwitch, 604, 4),
      FIELD(visualDelay, 608, 4),       FIELD(coreDelay, 612, 4),
      FIELD(threadPriority, 616, 1),    FIELD(priorityClass, 617, 1),
      FIELD(reserved618, 618, 2),       FIELD(autoAdvance, 620, 4),
      FIELD(rememberizer, 624, 4),      FIELD(resumePosition, 628, 4),
      FIELD(skipUnsupported, 632, 4),   FIELD(rawPcmUnsupported, 636, 4),
      FIELD(repeatCount, 640, 4),       FIELD(invertSkin, 644, 4),
      FIELD(randomSkinOnPlay, 648, 4),  FIELD(internalVisOffWithPlugin, 652, 1),
      FIELD(batteryState, 653, 2),      FIELD(batteryAction, 655, 2),
      FIELD(reserved657, 657, 3),       FIELD(mixerRate, 660, 4),
      FIELD(outputDriver, 664, 4),      FIELD(outputDevice, 668, 4),
      FIELD(equalizerDisabled, 672, 4), FIELD(tagFormat, 676, 20),
      FIELD(useTags, 696, 4),           FIELD(showRemainingTime, 700, 4),
  };
#undef FIELD
  for (std::size_t i = 0; i < std::size(table); i += 2) {
    SCOPED_TRACE(table[i].name);
    EXPECT_EQ(table[i].offset, table[i + 1].offset);
    EXPECT_EQ(table[i].size, table[i + 1].size);
  }
}

template <class T>
T At(const std::string& image, std::size_t offset) {
  T value;
  std::memcpy(&value, image.data() + offset, sizeof value);
  return value;
}

std::string ImageOf(const PlayerSettings& s) {
  return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

TEST(PlayerSettingsDefaults, EveryFieldHasItsDefaultInTheImage) {
  std::string image = ImageOf(DefaultSettings("/opt/QMB/"));
  ASSERT_EQ(image.size(), 704u);
  EXPECT_STREQ(image.data() + 0, "/opt/QMB/Skins/Default/");
  EXPECT_STREQ(image.data() + 260, "/opt/QMB/Samples/");
  EXPECT_EQ(At<int32_t>(image, 520), 10);
  EXPECT_EQ(At<int32_t>(image, 524), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(At<float>(image, 528 + 4 * i), 15.0f);
  EXPECT_EQ(At<float>(image, 568), 200.0f);
  EXPECT_EQ(At<float>(image, 572), 127.0f);
  EXPECT_EQ(At<uint32_t>(image, 584), 0x00CC0020u);
  struct Byte {
    std::size_t offset;
    uint8_t value;
  };
  for (Byte b : {Byte{580, 0}, Byte{581, 0}, Byte{592, 0}, Byte{595, 1}, Byte{596, 255},
                 Byte{597, 255}, Byte{598, 1}, Byte{599, 1}, Byte{600, 1}, Byte{601, 0},
                 Byte{602, 0}, Byte{603, 200}, Byte{616, 3}, Byte{617, 0}, Byte{652, 1}}) {
    EXPECT_EQ(static_cast<uint8_t>(image[b.offset]), b.value) << "offset " << b.offset;
  }
  struct Int {
    std::size_t offset;
    int32_t value;
  };
  for (Int f : {Int{576, 0}, Int{588, 0}, Int{604, 1}, Int{608, 30}, Int{612, 250}, Int{620, 1},
                Int{624, 0}, Int{628, -1}, Int{632, 1}, Int{636, 0}, Int{640, 0}, Int{660, 441},
                Int{664, 2}, Int{668, 0}, Int{672, 0}, Int{696, 1}, Int{700, 0}}) {
    EXPECT_EQ(At<int32_t>(image, f.offset), f.value) << "offset " << f.offset;
  }
  EXPECT_STREQ(image.data() + 676, "a - s");
  for (std::size_t reserved : {582, 583, 618, 619, 657, 658, 659}) EXPECT_EQ(image[reserved], 0);
}

class SettingsFileTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  std::string Path() const { return folder.Path() + "qmb.dat"; }
};

TEST_F(SettingsFileTest, MissingFileGivesDefaults) {
  PlayerSettings read = ReadSettings(folder.Path());
  EXPECT_EQ(ImageOf(read), ImageOf(DefaultSettings(folder.Path())));
}

TEST_F(SettingsFileTest, ShortFileReplacesOnlyItsLeadingBytes) {
  PlayerSettings other = DefaultSettings("/elsewhere/");
  SetTextField(other.skinFolder, "/skins/Chrome/");
  SetTextField(other.browseFolder, "/music/");
  folder.Write("qmb.dat", ImageOf(other).substr(0, 520));

  std::string read = ImageOf(ReadSettings(folder.Path()));
  std::string defaults = ImageOf(DefaultSettings(folder.Path()));
  EXPECT_STREQ(read.data(), "/skins/Chrome/");
  EXPECT_STREQ(read.data() + 260, "/music/");
  EXPECT_EQ(read.substr(520), defaults.substr(520));
}

TEST_F(SettingsFileTest, EmptyAndOversizedFilesAreTakenAsTheyAre) {
  folder.Write("qmb.dat", "");
  EXPECT_EQ(ImageOf(ReadSettings(folder.Path())), ImageOf(DefaultSettings(folder.Path())));

  std::string garbage(900, '\xAB');
  folder.Write("qmb.dat", garbage);
  EXPECT_EQ(ImageOf(ReadSettings(folder.Path())), garbage.substr(0, 704));
}

TEST_F(SettingsFileTest, SaveThenReadRoundTripsEveryByteTheControlsCanHold) {
  // A damaged file with unterminated texts and odd values, but ones the
  // controls can show, comes back byte for byte, reserved bytes included.
  PlayerSettings s = DefaultSettings(folder.Path());
  s.reserved582[0] = 0x11;
  s.reserved618[1] = 0x22;
  s.reserved657[2] = 0x33;
  s.windowX = -300;
  s.eqBands[3] = 29.5f;
  s.shuffle = 1;
  s.skinRasterOp = kInvertedSourceCopy;
  s.currentEntry = 41;
  s.scopeStyle = 2;
  s.trayIcon = 203;
  s.visualDelay = 0;
  s.coreDelay = 1000;
  s.repeatCount = -7;
  s.batteryState[1] = 1;
  s.batteryAction[0] = 3;
  s.mixerRate = 110;
  s.outputDriver = 7;
  s.outputDevice = 3;
  SetTextField(s.tagFormat, "t - a (y)");
  folder.Write("qmb.dat", ImageOf(s));

  ControlPanelModel panel;
  RunningState state;
  PlayerSettings read = ReadSettings(folder.Path());
  ApplySettings(read, panel, state);
  for (int i = 0; i < 5; ++i) panel.outputDevice.AddItem("device");  // the engine's list
  SaveSettings(read, folder.Path(), panel, state);
  EXPECT_EQ(folder.Read("qmb.dat"), ImageOf(s));
}

TEST(SettingsGather, ControlsAndRunningStateDecideTheSavedValues) {
  PlayerSettings s = DefaultSettings("/p/");
  ControlPanelModel panel;
  RunningState state;
  ApplySettings(s, panel, state);

  state.sliders[kPositionSlider].value = 83.7f;
  panel.rememberizer.SetChecked(true);
  state.playbackActive = false;
  GatherSettings(s, panel, state);
  EXPECT_EQ(s.resumePosition, -1) << "stopped: nothing to resume";
  state.playbackActive = true;
  GatherSettings(s, panel, state);
  EXPECT_EQ(s.resumePosition, 83);
  panel.rememberizer.SetChecked(false);
  GatherSettings(s, panel, state);
  EXPECT_EQ(s.resumePosition, -1);

  state.browseFolder = "/music";
  panel.tagFormat.SetText("a - s - t - y - g - c - C");  // longer than the field
  panel.outputDriver.Select(42);                         // outside the list
  GatherSettings(s, panel, state);
  EXPECT_STREQ(s.browseFolder, "/music/");
  EXPECT_EQ(std::strlen(s.tagFormat), 19u);
  EXPECT_EQ(s.outputDriver, -1);
}

TEST(SettingsGather, RepeatCountIsADecimalTruncatedTowardZero) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"2.9", 2},   {"letters", 0}, {"", 0},     {"  12 ", 12},
               {"-3.7", -3}, {"7abc", 7},    {"0x10", 0}, {"+5", 5},
               {".5", 0},    {"1e3", 1000},  {"nan", 0},  {"1e99", 2147483647}};
  for (const Case& c : cases) EXPECT_EQ(RepeatCountValue(c.text), c.value) << c.text;
}

TEST(SettingsText, FieldsCutWithoutSplittingCharacters) {
  char field[8];
  SetTextField(field, "abcdef\xC3\xA9xyz");  // é straddles the cut
  EXPECT_STREQ(field, "abcdef");
  EXPECT_EQ(TextField(field), "abcdef");
  char full[4] = {'a', 'b', 'c', 'd'};  // no terminator in a damaged file
  EXPECT_EQ(TextField(full), "abcd");
  EXPECT_EQ(CutUtf8Copy("whole", SIZE_MAX), "whole");
  EXPECT_EQ(CutUtf8Copy("\xC3\xA9t\xC3\xA9", 4), "\xC3\xA9t");
}

using SettingsDeathTest = SettingsFileTest;

TEST_F(SettingsDeathTest, ExistingFileThatCannotBeReadEndsWithCodeOne) {
  std::filesystem::create_directory(Path());
  EXPECT_EXIT(ReadSettings(folder.Path()), ::testing::ExitedWithCode(1),
              "Can't open file .*qmb\\.dat");
}

TEST_F(SettingsDeathTest, SaveThatCannotWriteEndsWithCodeOneAndKeepsTheOldFile) {
  std::filesystem::create_directory(Path());
  folder.Write("qmb.dat/keep", "x");  // a folder in the way cannot be replaced
  PlayerSettings s = DefaultSettings(folder.Path());
  ControlPanelModel panel;
  RunningState state;
  EXPECT_EXIT(SaveSettings(s, folder.Path(), panel, state), ::testing::ExitedWithCode(1),
              "Can't open file .*qmb\\.dat");
  EXPECT_EQ(folder.Read("qmb.dat/keep"), "x");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"qmb.dat"}) << "no temporary file left";
}

}  // namespace
}  // namespace qmb
