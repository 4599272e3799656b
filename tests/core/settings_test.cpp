// The settings image: its layout, its defaults, short and damaged files, and
// what saving gathers; the control models that hold it, and the type list.
#include <gtest/gtest.h>

#include <bit>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <type_traits>

#include "core/control_models.h"
#include "core/control_panel_model.h"
#include "core/player_settings.h"
#include "core/running_state.h"
#include "core/type_list.h"
#include "temp_folder.h"

namespace qmb {
namespace {

// Every field at the offset and size stored files have, with its default in
// the image; texts are checked apart.
struct Field {
  const char* name;
  std::size_t offset, size, wantOffset, wantSize;
  bool real;
  double value;
};
template <class T>
constexpr bool kReal = std::is_floating_point_v<std::remove_all_extents_t<T>>;
// clang-format off
#define F(f, off, sz, def) Field{#f, offsetof(PlayerSettings, f), sizeof(PlayerSettings::f), \
                                 off, sz, kReal<decltype(PlayerSettings::f)>, def}
// clang-format on
constexpr double kText = -1e9;

std::string ImageOf(const PlayerSettings& s) {
  return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

TEST(PlayerSettingsImage, FieldsSitAtTheirOffsetsWithTheirDefaults) {
  const Field fields[] = {
      // clang-format off
      F(skinFolder, 0, 260, kText), F(browseFolder, 260, 260, kText), F(windowX, 520, 4, 10),
      F(windowY, 524, 4, 10), F(eqBands, 528, 40, 15), F(volume, 568, 4, 200),
      F(balance, 572, 4, 127), F(skinStage, 576, 4, 0), F(shuffle, 580, 1, 0), F(loop, 581, 1, 0),
      F(reserved582, 582, 2, 0), F(skinRasterOp, 584, 4, 0x00CC0020), F(currentEntry, 588, 4, 0),
      F(visKind, 592, 1, 0), F(spectrumStyle, 593, 1, 0), F(scopeStyle, 594, 1, 0),
      F(alphaBlending, 595, 1, 1), F(mainWindowAlpha, 596, 1, 255), F(playlistAlpha, 597, 1, 255),
      F(visualization, 598, 1, 1), F(splashScreen, 599, 1, 1), F(toolTips, 600, 1, 1),
      F(alwaysOnTop, 601, 1, 0), F(multipleInstances, 602, 1, 0), F(trayIcon, 603, 1, 200),
      F(alphaOnSkinSwitch, 604, 4, 1), F(visualDelay, 608, 4, 30), F(coreDelay, 612, 4, 250),
      F(threadPriority, 616, 1, 3), F(priorityClass, 617, 1, 0), F(reserved618, 618, 2, 0),
      F(autoAdvance, 620, 4, 1), F(rememberizer, 624, 4, 0), F(resumePosition, 628, 4, -1),
      F(skipUnsupported, 632, 4, 1), F(rawPcmUnsupported, 636, 4, 0), F(repeatCount, 640, 4, 0),
      F(invertSkin, 644, 4, 0), F(randomSkinOnPlay, 648, 4, 0),
      F(internalVisOffWithPlugin, 652, 1, 1), F(batteryState, 653, 2, 0),
      F(batteryAction, 655, 2, 0), F(reserved657, 657, 3, 0), F(mixerRate, 660, 4, 441),
      F(outputDriver, 664, 4, 2), F(outputDevice, 668, 4, 0), F(equalizerDisabled, 672, 4, 0),
      F(tagFormat, 676, 20, kText), F(useTags, 696, 4, 1), F(showRemainingTime, 700, 4, 0),
      // clang-format on
  };
  const std::string image = ImageOf(DefaultSettings("/opt/QMB/"));
  ASSERT_EQ(image.size(), 704u);
  for (const Field& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(std::pair(f.offset, f.size), std::pair(f.wantOffset, f.wantSize));
    if (f.value == kText) continue;
    // Little-endian 32-bit words (floats for the real fields), else every byte.
    for (std::size_t at = f.wantOffset; at < f.wantOffset + f.wantSize;
         at += f.wantSize % 4 ? 1 : 4) {
      const auto* p = reinterpret_cast<const unsigned char*>(image.data() + at);
      std::uint32_t word = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
      double value = f.wantSize % 4 ? p[0]
                     : f.real       ? std::bit_cast<float>(word)
                                    : static_cast<std::int32_t>(word);
      EXPECT_EQ(value, f.value) << "offset " << at;
    }
  }
  EXPECT_STREQ(image.data() + 0, "/opt/QMB/Skins/Default/");
  EXPECT_STREQ(image.data() + 260, "/opt/QMB/Samples/");
  EXPECT_STREQ(image.data() + 676, "a - s");
}
#undef F

class SettingsFileTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
};

TEST_F(SettingsFileTest, ReadTakesTheFilesLeadingBytesOverTheDefaults) {
  const std::string defaults = ImageOf(DefaultSettings(folder.Path()));
  EXPECT_EQ(ImageOf(ReadSettings(folder.Path())), defaults) << "no file";
  PlayerSettings other = DefaultSettings("/elsewhere/");
  SetTextField(other.skinFolder, "/skins/Chrome/");
  for (const std::string& bytes :
       {std::string(), ImageOf(other).substr(0, 520), std::string(900, '\xAB')}) {
    folder.Write("qmb.dat", bytes);
    const std::string head = bytes.substr(0, 704);
    EXPECT_EQ(ImageOf(ReadSettings(folder.Path())), head + defaults.substr(head.size()))
        << bytes.size();
  }
}

TEST_F(SettingsFileTest, SaveThenReadRoundTripsEveryByteTheControlsCanHold) {
  // Odd values, but ones the player can hold, come back byte for byte. The
  // control panel's test takes each control's setting round; the real
  // player's, the reserved bytes.
  PlayerSettings s = DefaultSettings(folder.Path());
  s.windowX = -300;
  s.eqBands[3] = 29.5f;
  s.shuffle = 1;
  s.skinRasterOp = kInvertedSourceCopy;
  s.currentEntry = 41;
  s.scopeStyle = 2;
  s.visualDelay = 0;
  s.repeatCount = -7;
  s.outputDevice = 3;
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

  // Stopped, or not asked to remember: nothing to resume.
  state.sliders[kPositionSlider].value = 83.7f;
  const std::tuple<bool, bool, int> resumes[] = {
      {true, false, -1}, {true, true, 83}, {false, true, -1}};
  for (auto [remember, active, resume] : resumes) {
    panel.rememberizer.SetChecked(remember);
    state.playbackActive = active;
    GatherSettings(s, panel, state);
    EXPECT_EQ(s.resumePosition, resume) << remember << active;
  }

  state.browseFolder = "/music";
  panel.tagFormat.SetText("a - s - t - y - g - c - C");  // longer than the field
  panel.outputDriver.Select(42);                         // outside the list
  GatherSettings(s, panel, state);
  EXPECT_EQ(std::tuple(std::string(s.browseFolder), std::strlen(s.tagFormat), s.outputDriver),
            std::tuple("/music/", 19u, -1));
}

// A folder that fills the whole field (a damaged image) keeps its '/' when
// saved, and saving what was read back writes the same bytes.
TEST(SettingsGather, AFolderFillingItsFieldSavesTheSameTwice) {
  for (std::string folder : {std::string(300, 'a'), std::string(259, 'a') + "/",
                             "/" + std::string(40, 'b') + std::string(219, '\x8c')}) {
    PlayerSettings s = DefaultSettings("/p/");
    ControlPanelModel panel;
    RunningState state;
    ApplySettings(s, panel, state);
    state.browseFolder = folder;
    GatherSettings(s, panel, state);
    std::string once = TextField(s.browseFolder);
    EXPECT_EQ(once.back(), '/');
    state.browseFolder = once;
    GatherSettings(s, panel, state);
    EXPECT_EQ(TextField(s.browseFolder), once);
  }
}

TEST(SettingsGather, RepeatCountIsADecimalTruncatedTowardZero) {
  const std::pair<const char*, int> cases[] = {
      {"2.9", 2},  {"letters", 0}, {"", 0},   {"  12 ", 12}, {"-3.7", -3}, {"7abc", 7},
      {"0x10", 0}, {"+5", 5},      {".5", 0}, {"1e3", 1000}, {"nan", 0},   {"1e99", 2147483647}};
  for (auto [text, value] : cases) EXPECT_EQ(RepeatCountValue(text), value) << text;
}

using SettingsDeathTest = SettingsFileTest;

TEST_F(SettingsDeathTest, AFileThatCannotBeReadOrWrittenEndsWithCodeOneAndIsKept) {
  std::filesystem::create_directory(folder.Path() + "qmb.dat");
  folder.Write("qmb.dat/keep", "x");  // a folder in the way cannot be replaced
  EXPECT_EXIT(ReadSettings(folder.Path()), ::testing::ExitedWithCode(1),
              "Can't open file .*qmb\\.dat");
  PlayerSettings s = DefaultSettings(folder.Path());
  ControlPanelModel panel;
  RunningState state;
  EXPECT_EXIT(SaveSettings(s, folder.Path(), panel, state), ::testing::ExitedWithCode(1),
              "Can't open file .*qmb\\.dat");
  EXPECT_EQ(folder.Read("qmb.dat/keep"), "x");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"qmb.dat"}) << "no temporary file left";
}

TEST(TrackbarModel, ClampsToItsRangeAndSignalsChanges) {
  TrackbarModel bar(110, 640);
  int changes = 0;
  bar.changed.Connect([&] { ++changes; });
  bar.SetPosition(441);
  bar.SetPosition(441);
  EXPECT_EQ(changes, 1) << "only a change is signalled";
  bar.SetPosition(5000);
  int high = bar.Position();
  bar.SetPosition(-1);
  EXPECT_EQ(std::tuple(high, bar.Position()), std::tuple(640, 110));
}

TEST(ChangeSignal, HandlersMayDisconnectWhileRunning) {
  ChangeSignal signal;
  int calls = 0, id = 0;
  id = signal.Connect([&] {
    ++calls;
    signal.Disconnect(id);
  });
  signal.Emit();
  signal.Emit();
  EXPECT_EQ(calls, 1);
}

std::vector<std::string> ReadList(const test::TempFolder& folder) {
  StringListModel list;
  ReadTypeList(folder.Path() + "QMB.typ", list);
  return list.Items();
}

TEST(TypeList, ReadsTheFirstWordOfEveryLine) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      // clang-format off
      {".mp3 and more words\n", V{".mp3"}}, {"  .ogg\t\n", V{".ogg"}},
      {".mp3\r\n.ogg\r\n", V{".mp3", ".ogg"}},
      {".mp3\n.ogg", V{".mp3", ".ogg"}},  // the last line counts without its line end
      {".mp3\n\n.ogg\n", V{".mp3", "", ".ogg"}}, {"", V{}},
      {".mp3 " + std::string(3 << 20, 'x') + "\n.ogg\n", V{".mp3", ".ogg"}},
      // clang-format on
      // A zero byte ends the word as it ends a C string; the line still counts once.
      {std::string(".mp3\0x y\n.ogg\n", 14), V{".mp3", ".ogg"}},
  };
  test::TempFolder folder;
  EXPECT_TRUE(ReadList(folder).empty()) << "no file";
  for (const auto& [content, items] : cases) {
    folder.Write("QMB.typ", content);
    EXPECT_EQ(ReadList(folder), items) << content.substr(0, 40);
  }
}

TEST(TypeList, WrittenBackTheFileIsIdentical) {
  test::TempFolder folder;
  folder.Write("QMB.typ", ".mp3\n.ogg\n.wav\n");
  StringListModel list;
  ReadTypeList(folder.Path() + "QMB.typ", list);
  WriteTypeList(folder.Path() + "QMB.typ", list);
  EXPECT_EQ(folder.Read("QMB.typ"), ".mp3\n.ogg\n.wav\n");

  list.Append("  .flac  ");
  WriteTypeList(folder.Path() + "QMB.typ", list);
  EXPECT_EQ(folder.Read("QMB.typ"), ".mp3\n.ogg\n.wav\n.flac\n");
}

TEST(TypeListDeathTest, UnreadableFileEndsWithCodeOne) {
  test::TempFolder folder;
  std::filesystem::create_directory(folder.Path() + "QMB.typ");
  StringListModel list;
  EXPECT_EXIT(ReadTypeList(folder.Path() + "QMB.typ", list), ::testing::ExitedWithCode(1),
              "Can't open file .*QMB\\.typ");
}

}  // namespace
}  // namespace qmb
