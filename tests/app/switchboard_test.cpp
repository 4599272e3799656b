// The switchboard: every command id that exists so far, on the real engine's
// null output with real tracks, and what each did; and the two power rules
// and the orderly shutdown they can start.
#include <gtest/gtest.h>

#include "app/player_parts.h"
#include "app/shutdown.h"
#include "app/switchboard.h"
#include "core/player_core.h"
#include "playback/sound_engine.h"
#include "player_core_setup.h"
#include "scripted_desktop.h"
#include "temp_folder.h"

namespace qmb {
namespace {

std::string Media(const std::string& name) {
  return std::string(QMB_SHORT_MEDIA "/") + name;
}

class SwitchboardTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    FSOUND_SetOutput(kOutputNoSound);
    ASSERT_NE(FSOUND_Init(44100, 32, 0), 0);
  }
  static void TearDownTestSuite() { FSOUND_Close(); }

  SwitchboardTest() {
    test::SetUpPlayerCore(core, folder.Path());
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"})
      AddPlaylistEntry(parts.playlist, Media(name));
    parts.playlist.list.SetCursor(0);
  }
  ~SwitchboardTest() override { parts.playback.StopPlayback(CycleReset::No); }

  int Position() { return FSOUND_Stream_GetTime(parts.playback.st.stream); }
  // Runs command `id`, then shows the playlist.
  EntryList& After(int id) {
    board.Command(id);
    return List();
  }
  int PositionAfter(int id) {
    board.Command(id);
    return Position();
  }
  int State() { return parts.playback.st.state; }
  int Index() { return parts.playback.st.currentIndex; }
  float Slider(int slider) { return core.state.sliders[slider].value; }
  EntryList& List() { return parts.playlist.list; }

  test::TempFolder folder;
  test::ScriptedDesktop desktop;
  PlayerCore core;
  PlayerParts parts{core};
  Switchboard board{core, parts};
};

TEST_F(SwitchboardTest, TransportCommandsActOnThePlayer) {
  using T = SwitchboardTest;
  const struct {
    int id;
    bool (*check)(T&);
    const char* what;
  } steps[] = {
      // clang-format off
      {7, [](T& t) { return t.State() == kPlaying; }, "Play starts the cursor row"},
      {8, [](T& t) { return t.State() == kPaused; }, "Pause"},
      {7, [](T& t) { return t.State() == kPlaying; }, "Play resumes"},
      {1005, [](T& t) { return t.State() == kPaused; }, "playlist pause button"},
      {1004, [](T& t) { return t.State() == kPlaying; }, "playlist play button"},
      {9, [](T& t) { return t.State() == kStopped; }, "Stop"},
      {10, [](T& t) { return t.List().Cursor() == 1 && t.State() == kStopped; }, "Next, stopped"},
      {1004, [](T& t) { return t.Index() == 1; }, "plays row 1"},
      {10, [](T& t) { return t.Index() == 2; }, "Next while playing"},
      {6, [](T& t) { return t.Index() == 1; }, "Previous"},
      {1006, [](T& t) { return t.State() == kStopped; }, "playlist stop button"},
      {50012, [](T& t) { return t.State() == kStopped; }, "Add Files stop"},
      {5043, [](T& t) { return t.List().Cursor() == 2; }, "Previous 5 Tracks from row 1"},
      {12, [](T& t) { return t.core.state.shuffle; }, "Random"},
      {12, [](T& t) { return !t.core.state.shuffle; }, "Random again"},
      {13, [](T& t) { return t.core.state.loop; }, "Loop"},
      {5041, [](T& t) { return t.parts.checks.stopAfterCurrent.Checked(); }, "Stop After Current"},
      {5042, [](T& t) { return t.parts.checks.closeAfterCurrent.Checked(); }, "Close After"},
      {5036, [](T& t) { return t.parts.checks.mute.Checked(); }, "Mute"},
      {5033, [](T& t) { return t.Slider(kVolumeSlider) == 255.0f; }, "Volume High"},
      {5034, [](T& t) { return t.Slider(kVolumeSlider) == 127.5f; }, "Volume Medium"},
      {5035, [](T& t) { return t.Slider(kVolumeSlider) == 0.0f; }, "Volume Low"},
      {5037, [](T& t) { return t.Slider(kBalanceSlider) == 0.0f; }, "Pan Left"},
      {5039, [](T& t) { return t.Slider(kBalanceSlider) == 255.0f; }, "Pan Right"},
      {5038, [](T& t) { return t.Slider(kBalanceSlider) == 127.5f; }, "Center"},
      {16, [](T&) { return true; }, "nothing"},
      {99999, [](T&) { return true; }, "an unknown id does nothing"},
      // clang-format on
  };
  for (auto& step : steps) {
    board.Command(step.id);
    EXPECT_TRUE(step.check(*this)) << step.id << ": " << step.what;
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SwitchboardTest, SeekCommandsOnALongTrack) {
  board.Command(7);
  EXPECT_LT(PositionAfter(5032), 100) << "an item shorter than 5 seconds: Seek To End stays at 0";
  board.Command(9);
  AddPlaylistEntry(parts.playlist, Media("long.mp3"));
  board.Command(7);
  ASSERT_NEAR(parts.playback.st.lengthSeconds, 200, 0.5);
  EXPECT_NEAR(PositionAfter(5032), 195000, 1100) << "Seek To End";
  EXPECT_NEAR(PositionAfter(5031), 100000, 1100) << "Seek To Middle";
  EXPECT_LT(PositionAfter(5030), 1000) << "Seek To Start";
}

TEST_F(SwitchboardTest, PlaylistEditingCommands) {
  EXPECT_EQ(After(5011).SelectedCount(), 3);
  EXPECT_EQ(After(5013).SelectedCount(), 0);
  List().SetSelected(1, true);
  EXPECT_EQ(After(5012).SelectedRows(), (std::vector<int>{0, 2}));
  board.Command(10029);
  EXPECT_EQ(parts.cueList.Count(), 2);
  EXPECT_EQ(After(10027).Count(), 1) << "rows 0 and 2 cut";
  List().SetCursor(0);
  EXPECT_EQ(After(10028).Count(), 3);
  board.Command(5009);  // what the paste left selected
  EXPECT_EQ(After(5010).Count(), 0);
  EXPECT_TRUE(desktop.messages.empty()) << desktop.messages[0].text;
  board.Command(10028);  // nothing cut since: the clipboard still holds the rows
  board.Command(5010);
  parts.clipboard = EntryClipboard{};
  board.Command(10028);
  ASSERT_FALSE(desktop.messages.empty());
  EXPECT_EQ(desktop.messages.back().text, "There are no items on the clipboard.");
}

// The playlist's own notifications are met through the window in
// PlaylistWindowTest.
TEST_F(SwitchboardTest, ACueListDoubleClickPlaysItsRowAndTakesIt) {
  List().SetSelected(2, true);
  AddToCue(parts.playlist, parts.cueList);
  parts.cueList.SetCursor(0);
  board.CueListDoubleClicked();
  EXPECT_EQ(parts.cueList.Count(), 0);
  EXPECT_EQ(parts.playback.st.state, kPlaying);
  EXPECT_TRUE(parts.playback.st.nowPlayingText.ends_with("khz  c")) << "row 2 plays";
}

TEST_F(SwitchboardTest, SoundSystemAndEqualizerCommands) {
  core.panel.mixerRate.SetPosition(220);
  core.panel.outputDriver.Select(6);
  board.Command(4027);
  EXPECT_EQ(core.panel.mixerRate.Position(), 441);
  EXPECT_EQ(core.panel.outputDriver.Selection(), 2);
  board.Command(7);
  board.Command(4034);  // the box was clear: the equalizer is applied again
  EXPECT_NE(parts.equalizer.DspUnitHandle(), nullptr);
  core.panel.equalizerDisabled.SetChecked(true);
  board.Command(4034);
  EXPECT_EQ(parts.playback.st.state, kPlaying) << "disabling keeps playing";
}

TEST_F(SwitchboardTest, SaveSettingsAndHelp) {
  core.state.windowX = 123;
  board.Command(17);
  ASSERT_TRUE(folder.Exists("qmb.dat"));
  EXPECT_EQ(static_cast<unsigned char>(folder.Read("qmb.dat")[520]), 123);

  board.Command(15);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text,
            "Error opening help file: " + folder.Path() +
                "Documentation/qmbhelp.html. Please make sure it exists.");
  std::filesystem::create_directory(folder.Path() + "Documentation");
  folder.Write("Documentation/qmbhelp.html", "<html></html>");
  board.Command(15);
  EXPECT_EQ(desktop.openedUrls, std::vector<std::string>{folder.Path() + kHelpFile});
}

using SwitchboardDeathTest = SwitchboardTest;

// Shutdown saves the running player's records.
TEST_F(SwitchboardDeathTest, ExitSavesAndExitWithoutSavingDoesNot) {
  ThePlayer().programFolder = folder.Path();
  ThePlayer().settings = core.settings;
  EXPECT_EXIT(board.Command(5044), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(folder.Entries().empty());
  EXPECT_EXIT(board.Command(18), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(folder.Exists("qmb.dat"));
}

class PowerRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::SetUpPlayerCore(ThePlayer(), folder.Path()); }
  void Rule(int rule, int state, int action) {
    ThePlayer().panel.batteryState[rule].Select(state);
    ThePlayer().panel.batteryAction[rule].Select(action);
  }
  test::TempFolder folder;
  std::vector<std::string> done;
  PowerActions actions{[this] { done.push_back("stop"); }};
};

TEST_F(PowerRulesTest, BothRulesForAStateRunInOrder) {
  Rule(0, 0, 2);  // Low: Save Settings
  Rule(1, 0, 3);  // Low: Stop playback
  ThePlayer().state.windowX = 77;
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_EQ(done, std::vector<std::string>{"stop"});
  ASSERT_TRUE(folder.Exists("qmb.dat"));
  EXPECT_EQ(folder.Read("qmb.dat")[520], 77);
}

TEST_F(PowerRulesTest, ARuleForAnotherStateOrDoNothingActsNot) {
  Rule(0, 1, 3);  // Critical: Stop playback
  Rule(1, 0, 0);  // Low: Do Nothing
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_TRUE(done.empty());
  EXPECT_FALSE(folder.Exists("qmb.dat"));
  ApplyPowerRules(1, ThePlayer(), actions);
  EXPECT_EQ(done.size(), 1u);
}

using PowerRulesDeathTest = PowerRulesTest;

TEST_F(PowerRulesDeathTest, ShutdownQmbSavesEverythingAndEndsWithCodeZero) {
  Rule(1, 1, 1);  // Critical: Shutdown QMB
  ThePlayer().panel.fileTypes.Append(".ogg");
  EXPECT_EXIT(ApplyPowerRules(1, ThePlayer(), actions), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(folder.Read("qmb.dat").size(), 704u);
  EXPECT_EQ(folder.Read("QMB.typ"), ".ogg\n");
}

}  // namespace
}  // namespace qmb
