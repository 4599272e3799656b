// The switchboard and the control interface on the real engine's null
// output with short real tracks: every command id and every request, what it
// answers and what it did to the player; and the two power rules and the
// orderly shutdown they can start.
#include "app/switchboard.h"

#include "app/control_interface.h"
#include "app/player_parts.h"
#include "app/shutdown.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "null_engine_suite.h"
#include "player_core_setup.h"
#include "player_rig.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

class PlayerCoreTest : public NullEngineSuite {
 public:
  PlayerCoreTest() {
    SetUpPlayerCore(core, folder.Path());
    core.state.sliders[kVolumeSlider].value = 255.0f;
    parts.playlist.today = [] { return std::string("12/06/26"); };
    parts.playback.showStatusText = [this](const std::string& text, int) {
      statusTexts.push_back(text);
    };
    control.exitProgram = [this] { ++exits; };
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"})
      AddPlaylistEntry(parts.playlist, Short(name));
    SetPlaylistCursor(parts.playlist.list, 0);
  }
  ~PlayerCoreTest() override { parts.playback.StopPlayback(CycleReset::No); }

  intptr_t Send(int request, intptr_t lParam = 0) { return control.Request(request, lParam); }
  template <class T>
  intptr_t Send(int request, T* p) {
    return Send(request, reinterpret_cast<intptr_t>(p));
  }
  std::string Text(int request, intptr_t lParam = 0) {
    intptr_t result = Send(request, lParam);
    return result ? std::string(reinterpret_cast<const char*>(result)) : "<null>";
  }
  float Float(int request, intptr_t lParam = 0) {
    return *reinterpret_cast<const float*>(Send(request, lParam));
  }
  EntryList& List() { return parts.playlist.list; }
  PlaybackState& St() { return parts.playback.st; }
  float Slider(int slider) { return core.state.sliders[slider].value; }
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
  void Play(const std::string& path) { ASSERT_EQ(parts.playback.PlayPath(path), kOk); }

  TempFolder folder;
  SleepingDesktop desktop;
  PlayerCore core;
  PlayerParts parts{core};
  ControlInterface control{core, parts};
  Switchboard board{core, parts};
  std::vector<std::string> statusTexts;
  int exits = 0;
};

using ControlInterfaceTest = PlayerCoreTest;
using SwitchboardTest = PlayerCoreTest;

// Requests answered from the state a fresh player is in, without plug-ins,
// a skin or windows (exit through the hook here); null records and texts are
// refused.
TEST_F(ControlInterfaceTest, PlainAnswers) {
  struct Case {
    int request;
    intptr_t argument, answer;
  } cases[] = {
      // clang-format off
      {1, 0, 1}, {4, 0, 0}, {8, 0, 0}, {10, 0, 0}, {12, 0, 0}, {14, 0, 0}, {16, 0, 0}, {27, 0, 3},
      {30, 0, 0}, {38, 0, 0}, {40, 0, kClipboardEmpty}, {47, 0, kStopped}, {48, 7, 0},
      {56, 0, kSourceCopy}, {63, 1, 0}, {-1, 1, 0}, {3, 0, 0}, {32, 0, 0}, {33, 0, 0}, {34, 0, 0},
      {35, 0, 0}, {36, 0, 0}, {43, 0, 0},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(Send(c.request, c.argument), c.answer) << c.request;
  for (int request = 18; request <= 26; ++request) EXPECT_EQ(Send(request), kNoPlugins) << request;
  EXPECT_EQ(Send(3, "Skins/Blue"), 0) << "no skin loader";
  EXPECT_EQ(std::tuple(exits, List().Count(), St().state), std::tuple(1, 3, kStopped));
  EXPECT_TRUE(desktop.messages.empty()) << "statuses are answered, not shown";

  struct TextCase {
    int request;
    intptr_t argument;
    const char* text;
  } texts[] = {
      // clang-format off
      {0, 0, "4.99"}, {9, 0, ""}, {11, 0, ""}, {13, 0, ""}, {15, 0, ""},
      {17, 0, ""}, {48, QMB_TIME_LENGTH_TEXT, "00:00:00.00"},
      // clang-format on
  };
  for (const TextCase& t : texts) EXPECT_EQ(Text(t.request, t.argument), t.text) << t.request;
  EXPECT_EQ(Text(2), folder.Path());
  EXPECT_EQ(Text(6), core.settings.skinFolder);
  EXPECT_NE(Text(6), "");
  EXPECT_EQ(Float(54), 127.0f);
}

TEST_F(ControlInterfaceTest, SkinRequestsReachTheSkin) {
  std::vector<std::string> calls;
  control.loadSkin = [&](const std::string& folder) {
    calls.push_back(folder);
    return 1;
  };
  control.setSkinStage = [&](int stage) { calls.push_back(std::to_string(stage)); };
  EXPECT_EQ(Send(3, "Skins/Blue"), 1);
  EXPECT_EQ(Send(5, -1), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"Skins/Blue/", "-1"}));
  // Inversion toggles and reads back through its requests, and the panel follows.
  for (bool inverted : {true, false}) {
    EXPECT_EQ(Send(7), 1);
    EXPECT_EQ(Send(56), static_cast<intptr_t>(inverted ? kInvertedSourceCopy : kSourceCopy));
    EXPECT_EQ(core.panel.invertSkin.Checked(), inverted);
  }
}

TEST_F(ControlInterfaceTest, CursorSelectionAndItemStates) {
  List().SetSelected(0, true);
  List().SetSelected(2, true);
  EXPECT_EQ(Send(28), 2);
  EXPECT_EQ(Send(29, 2), 1);
  EXPECT_EQ(List().Cursor(), 2);
  EXPECT_EQ(Send(30), 2);

  QmbItemState item = {2, QMB_STATE_SELECTED | QMB_STATE_CUT, -1};
  EXPECT_EQ(Send(32, &item), 1);
  EXPECT_EQ(item.state, QMB_STATE_SELECTED);
  item = {1, QMB_STATE_SELECTED, -1};
  Send(32, &item);
  EXPECT_EQ(item.state, 0);
  item = {1, QMB_STATE_SELECTED, QMB_STATE_SELECTED | QMB_STATE_CUT};
  EXPECT_EQ(Send(33, &item), 1);
  EXPECT_EQ(List().SelectedRows(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(List().ItemState(1, QMB_STATE_CUT), 0u);  // outside the mask

  SetPlaylistCursor(List(), 1);
  parts.playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(Send(31), 1);
}

TEST_F(ControlInterfaceTest, EntriesAreAddedReadAndSet) {
  EXPECT_EQ(Send(34, QMB_SHORT_MEDIA "/a.wav"), 1);
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Field(3, kPath), Short("a.wav"));
  EXPECT_EQ(List().Field(3, kDateAdded), "12/06/26");

  QmbEntryFields entry{1, -1, {}};
  EXPECT_EQ(Send(35, &entry), 1);
  for (int field = 0; field < 9; ++field) {
    ASSERT_NE(entry.text[field], nullptr);
    EXPECT_EQ(entry.text[field], List().Field(1, field)) << field;
  }
  EXPECT_STREQ(entry.text[kTitle], "b");

  // Texts handed over by pointer must outlive the request.
  static char texts[9][16] = {"T",        "/x/p.wav", "00:01:00.00", "Yes", "7",
                              "01/01/25", "02/02/25", " 9 Kb",       "WAV"};
  const std::string length1 = List().Field(1, kLength);
  struct Case {
    int row, field;
    intptr_t answer;
  } cases[] = {{0, kLength, 1}, {0, 9, 0}, {-1, kTitle, 0}, {4, -1, 0}, {2, -1, 1}};
  for (const Case& c : cases) {
    entry = {c.row, c.field, {}};
    for (int i = 0; i < 9; ++i) entry.text[i] = texts[i];
    EXPECT_EQ(Send(36, &entry), c.answer) << c.row << " " << c.field;
  }
  EXPECT_EQ(List().Field(0, kLength), "00:01:00.00");
  EXPECT_EQ(List().Field(0, kTitle), "a") << "one field set, the others kept";
  EXPECT_EQ(List().Field(1, kLength), length1);
  for (int field = 0; field < 9; ++field) {
    EXPECT_EQ(List().Field(2, field), std::string(texts[field]).substr(field == 7 ? 1 : 0))
        << field;
  }
}

TEST_F(ControlInterfaceTest, DeleteCutPasteAndAutoAdvance) {
  EXPECT_EQ(Send(37, 5), 1);
  EXPECT_EQ(List().Count(), 3);
  EXPECT_EQ(Send(37, 0), 1);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Field(0, kTitle), "b");

  List().SetSelected(0, true);
  EXPECT_EQ(Send(39), kOk);
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Field(0, kTitle), "c");
  SetPlaylistCursor(List(), 0);
  EXPECT_EQ(Send(40), kOk);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Field(1, kTitle), "b");
  EXPECT_EQ(Send(40), kClipboardEmpty);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(Send(41), 1);
  EXPECT_EQ(List().Count(), 0);

  EXPECT_EQ(Send(42, 0), 1);
  EXPECT_FALSE(core.panel.autoAdvance.Checked());
  Send(42, 1);
  EXPECT_TRUE(core.panel.autoAdvance.Checked());
}

TEST_F(ControlInterfaceTest, PlayPathPlaysTheCursorTrack) {
  EXPECT_NE(Send(43, "/no/such.mp3"), kOk);
  EXPECT_EQ(St().state, kStopped);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(Send(43, QMB_FIXTURE_DIR "/tone_440.ogg"), kOk);
  EXPECT_EQ(Send(47), kPlaying);
  EXPECT_EQ(St().currentIndex, 0);
  EXPECT_EQ(List().Field(0, kTimesPlayed), "1");
}

TEST_F(ControlInterfaceTest, StopKeepsOrResetsTheRandomCycle) {
  core.state.shuffle = true;
  for (intptr_t reset : {0, 1}) {
    Play(Short("a.wav"));
    EXPECT_EQ(Send(44, reset), 1);
    EXPECT_EQ(St().state, kStopped);
    EXPECT_EQ(List().Field(0, kPlayedThisCycle), reset ? "No" : "Yes");
  }
  for (int row = 0; row < 3; ++row) EXPECT_EQ(List().Field(row, kPlayedThisCycle), "No");
}

TEST_F(ControlInterfaceTest, PlayPauseAndTime) {
  EXPECT_EQ(Send(46), 1) << "stopped: only flips the state";
  EXPECT_EQ(Send(47), kPlaying);
  Send(46);
  Play(Fixture("tone_440.wav"));
  EXPECT_EQ(Send(48, QMB_TIME_LENGTH_MS), 4000);
  intptr_t position = Send(48, QMB_TIME_POSITION_MS);
  EXPECT_GE(position, 0);
  EXPECT_LT(position, 4000);
  EXPECT_EQ(Text(48, QMB_TIME_LENGTH_TEXT), "00:00:04.00");
  EXPECT_EQ(Text(48, QMB_TIME_POSITION_TEXT).substr(0, 6), "00:00:");
  EXPECT_EQ(Send(46), 1);
  EXPECT_EQ(Send(47), kPaused);
  SetPlaylistCursor(List(), 2);
  EXPECT_EQ(Send(45, 0), 1);
  EXPECT_EQ(St().state, kPlaying);
  EXPECT_EQ(St().currentIndex, 0) << "resumed, not the cursor's row";
  EXPECT_EQ(Send(45, 1), 1);
  EXPECT_EQ(St().currentIndex, 2);
}

// What a remote control reads and does beyond the original requests.
TEST_F(ControlInterfaceTest, RemoteControlRequests) {
  core.state.loop = true;
  EXPECT_EQ(std::pair(Send(57), Send(58)), (std::pair<intptr_t, intptr_t>(1, 0)));
  core.state.shuffle = true;
  core.state.loop = false;
  EXPECT_EQ(std::pair(Send(57), Send(58)), (std::pair<intptr_t, intptr_t>(0, 1)));
  // Without a file plug-in there are no tags; a null query is refused.
  QmbTagQuery query{QMB_FIXTURE_DIR "/tagged.mp3", {}};
  EXPECT_EQ(Send(59, &query), 0);
  EXPECT_EQ(Send(59, 0), 0);
  // Open appends and plays, as a second start does.
  EXPECT_EQ(Send(62, QMB_FIXTURE_DIR "/tone_440.ogg"), 1);
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(St().state, kPlaying);
  EXPECT_EQ(St().currentIndex, 3);
  EXPECT_EQ(Send(62, 0), 0);
}

TEST_F(ControlInterfaceTest, SlidersAnswerTheirPreviousValues) {
  EXPECT_EQ(Float(49, (20 << 16) | 12), 15.0f);  // band 12 sets band 9
  EXPECT_EQ(Slider(9), 20.0f);
  EXPECT_EQ(Slider(8), 15.0f);
  Send(49, (99 << 16) | 2);
  EXPECT_EQ(Slider(2), 30.0f);
  core.state.sliders[3].value = 7.0f;
  EXPECT_EQ(Float(50, 3), 7.0f);
  EXPECT_EQ(Float(50, 12), 20.0f);
  EXPECT_EQ(Float(50, -4), 15.0f);  // band 0

  EXPECT_EQ(Float(51, 100), 255.0f);
  EXPECT_EQ(Slider(kVolumeSlider), 100.0f);
  EXPECT_EQ(Float(51, 900), 100.0f);
  EXPECT_EQ(Slider(kVolumeSlider), 255.0f);
  core.state.sliders[kVolumeSlider].value = 64;
  EXPECT_EQ(Float(52), 64.0f);
  EXPECT_EQ(Float(53, 127), 127.0f);
  EXPECT_EQ(Slider(kBalanceSlider), 127.0f);
  Send(53, -10);
  EXPECT_EQ(Slider(kBalanceSlider), 0.0f);
  EXPECT_EQ(statusTexts,
            (std::vector<std::string>{"Equalizer  9:  20", "Equalizer  2:  30", "Volume:  100",
                                      "Volume:  255", "Center", "Balance:  0"}));

  Send(55, 30);
  EXPECT_EQ(Slider(kPositionSlider), 0.0f) << "stopped: no seek";
  Play(Fixture("tone_440.wav"));
  EXPECT_EQ(Float(55, 2), 0.0f);
  EXPECT_EQ(Slider(kPositionSlider), 2.0f);
  EXPECT_GE(Send(48, QMB_TIME_POSITION_MS), 1900);
}

TEST_F(SwitchboardTest, TransportCommandsActOnThePlayer) {
  using T = SwitchboardTest;
  const struct {
    int id;
    bool (*check)(T&);
    const char* what;
  } steps[] = {
      // clang-format off
      {7, [](T& t) { return t.St().state == kPlaying; }, "Play starts the cursor row"},
      {8, [](T& t) { return t.St().state == kPaused; }, "Pause"},
      {7, [](T& t) { return t.St().state == kPlaying; }, "Play resumes"},
      {1005, [](T& t) { return t.St().state == kPaused; }, "playlist pause button"},
      {1004, [](T& t) { return t.St().state == kPlaying; }, "playlist play button"},
      {9, [](T& t) { return t.St().state == kStopped; }, "Stop"},
      {10, [](T& t) { return t.List().Cursor() == 1 && t.St().state == kStopped; }, "Next stopped"},
      {1004, [](T& t) { return t.St().currentIndex == 1; }, "plays row 1"},
      {10, [](T& t) { return t.St().currentIndex == 2; }, "Next while playing"},
      {6, [](T& t) { return t.St().currentIndex == 1; }, "Previous"},
      {1006, [](T& t) { return t.St().state == kStopped; }, "playlist stop button"},
      {50012, [](T& t) { return t.St().state == kStopped; }, "Add Files stop"},
      {5043, [](T& t) { return t.List().Cursor() == 2; }, "Previous 5 Tracks from row 1"},
      {12, [](T& t) { return t.core.state.shuffle; }, "Random"},
      {12, [](T& t) { return !t.core.state.shuffle; }, "Random again"},
      {13, [](T& t) { return t.core.state.loop; }, "Loop"},
      {5041, [](T& t) { return t.parts.checks.stopAfterCurrent.Checked(); }, "Stop After Current"},
      {5042, [](T& t) { return t.parts.checks.closeAfterCurrent.Checked(); }, "Close After"},
      {5036, [](T& t) { return t.parts.checks.mute.Checked(); }, "Mute"},
      {5035, [](T& t) { return t.Slider(kVolumeSlider) == 0.0f; }, "Volume Low"},
      {5033, [](T& t) { return t.Slider(kVolumeSlider) == 255.0f; }, "Volume High"},
      {5034, [](T& t) { return t.Slider(kVolumeSlider) == 127.5f; }, "Volume Medium"},
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
  AddPlaylistEntry(parts.playlist, Short("long.mp3"));
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

using SwitchboardDeathTest = PlayerCoreTest;

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

TEST_F(PowerRulesTest, OnlyTheRulesForTheStateActAndBothRun) {
  Rule(0, 1, 3);  // Critical: Stop playback
  Rule(1, 0, 0);  // Low: Do Nothing
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_TRUE(done.empty());
  EXPECT_FALSE(folder.Exists("qmb.dat"));
  ApplyPowerRules(1, ThePlayer(), actions);
  EXPECT_EQ(done, std::vector<std::string>{"stop"});

  Rule(0, 0, 2);  // Low: Save Settings
  Rule(1, 0, 3);  // Low: Stop playback
  ThePlayer().state.windowX = 77;
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_EQ(done, (std::vector<std::string>{"stop", "stop"}));
  ASSERT_TRUE(folder.Exists("qmb.dat"));
  EXPECT_EQ(folder.Read("qmb.dat")[520], 77);
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
}  // namespace qmb::test
