// The control interface on the real engine's null output with short real
// tracks: every request, what it answers and what it did to the player.
#include "app/control_interface.h"

#include <cstring>

#include "app/player_parts.h"
#include "core/player_core.h"
#include "core/status_codes.h"
#include "player_core_setup.h"
#include "player_rig.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

class ControlRig {
 public:
  ControlRig() {
    SetUpPlayerCore(core, "/opt/qmb/");
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
  ~ControlRig() { parts.playback.StopPlayback(0); }

  intptr_t Send(int request, intptr_t lParam = 0) { return control.Request(request, lParam); }
  static intptr_t Arg(const void* p) { return reinterpret_cast<intptr_t>(p); }
  static std::string TextAt(intptr_t result) {
    return result ? std::string(reinterpret_cast<const char*>(result)) : "<null>";
  }
  static float FloatAt(intptr_t result) { return *reinterpret_cast<const float*>(result); }

  EntryList& List() { return parts.playlist.list; }
  PlaybackState& St() { return parts.playback.st; }
  float Slider(int slider) { return core.state.sliders[slider].value; }
  void Play(const std::string& path) { ASSERT_EQ(parts.playback.PlayPath(path, 1, 0, 0), kOk); }

  SleepingDesktop desktop;
  PlayerCore core;
  PlayerParts parts{core};
  ControlInterface control{core, parts};
  std::vector<std::string> statusTexts;
  int exits = 0;
  std::vector<std::string> hookCalls;
  // The records the requests take, filled by a case before it sends.
  QmbItemState item{};
  QmbEntryFields entry{};
};

// One request: what to prepare, the argument, and what must hold afterwards.
struct RequestCase {
  const char* name;
  int request;
  std::function<intptr_t(ControlRig&)> arrange;  // returns the argument
  std::function<void(ControlRig&, intptr_t result)> check;
};

intptr_t NoArg(ControlRig&) {
  return 0;
}
std::function<intptr_t(ControlRig&)> Value(intptr_t v) {
  return [v](ControlRig&) { return v; };
}
std::function<void(ControlRig&, intptr_t)> Answers(intptr_t expected) {
  return [expected](ControlRig&, intptr_t result) { EXPECT_EQ(result, expected); };
}

// Texts handed over by pointer must outlive the request.
const char* const kBlueSkin = "Skins/Blue";
char kSetTexts[9][16] = {"T",        "/x/p.wav", "00:01:00.00", "Yes", "7",
                         "01/01/25", "02/02/25", " 9 Kb",       "WAV"};

const std::vector<RequestCase>& Cases() {
  static const std::vector<RequestCase> cases = {
      {"Version", 0, NoArg,
       [](ControlRig&, intptr_t r) { EXPECT_EQ(ControlRig::TextAt(r), "4.99"); }},
      {"ExitEndsThePlayer", 1, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.exits, 1);
       }},
      {"ProgramFolder", 2, NoArg,
       [](ControlRig&, intptr_t r) { EXPECT_EQ(ControlRig::TextAt(r), "/opt/qmb/"); }},
      {"LoadSkinWithoutALoaderLoadsNothing", 3,
       [](ControlRig&) { return ControlRig::Arg(kBlueSkin); }, Answers(0)},
      {"LoadSkinEndsTheFolderInASlash", 3,
       [](ControlRig& rig) {
         rig.control.loadSkin = [&rig](const std::string& folder) {
           rig.hookCalls.push_back(folder);
           return 1;
         };
         return ControlRig::Arg(kBlueSkin);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.hookCalls, std::vector<std::string>{"Skins/Blue/"});
       }},
      {"SkinStagesWithoutASkin", 4, NoArg, Answers(0)},
      {"SetSkinStageReachesTheSkin", 5,
       [](ControlRig& rig) {
         rig.control.setSkinStage = [&rig](int stage) {
           rig.hookCalls.push_back(std::to_string(stage));
         };
         return intptr_t{-1};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.hookCalls, std::vector<std::string>{"-1"});
       }},
      {"SkinFolder", 6, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::TextAt(r), rig.core.settings.skinFolder);
         EXPECT_NE(ControlRig::TextAt(r), "");
       }},
      {"ToggleInversionInvertsTheDrawing", 7, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.Send(56), static_cast<intptr_t>(kInvertedSourceCopy));
         EXPECT_TRUE(rig.core.panel.invertSkin.Checked());
         EXPECT_EQ(rig.Send(7), 1);
         EXPECT_EQ(rig.Send(56), static_cast<intptr_t>(kSourceCopy));
         EXPECT_FALSE(rig.core.panel.invertSkin.Checked());
       }},
      {"PluginCountsAndDescriptionsWithoutPlugins", 8, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 0);
         for (int request : {10, 12, 14, 16}) EXPECT_EQ(rig.Send(request), 0) << request;
         for (int request : {9, 11, 13, 15, 17}) {
           EXPECT_EQ(ControlRig::TextAt(rig.Send(request, 0)), "") << request;
         }
       }},
      {"PluginDescriptionsByKindAndRow", 13,
       [](ControlRig& rig) {
         rig.control.pluginDescription = [](PluginKind kind, int row) {
           return "kind " + std::to_string(kind) + " row " + std::to_string(row);
         };
         return intptr_t{4};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::TextAt(r), "kind 2 row 4");
         EXPECT_EQ(ControlRig::TextAt(rig.Send(17, 1)), "kind 4 row 1");
         // Another request's text leaves this one alone.
         EXPECT_EQ(ControlRig::TextAt(r), "kind 2 row 4");
       }},
      {"PluginOperationsWithoutPlugins", 18, Value(0),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, kNoPlugins);
         for (int request = 19; request <= 26; ++request) {
           EXPECT_EQ(rig.Send(request, 0), kNoPlugins) << request;
         }
         EXPECT_TRUE(rig.desktop.messages.empty());
       }},
      {"PluginOperationsGetTheirRow", 22,
       [](ControlRig& rig) {
         rig.control.pluginOperation = [](int request, int row) { return request * 100 + row; };
         return intptr_t{3};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 2203);
         EXPECT_EQ(rig.Send(20, 5), 2000 - 1);  // the stops take no row
         EXPECT_EQ(rig.Send(21, 5), 2100 - 1);
       }},
      {"EntryCount", 27, NoArg, Answers(3)},
      {"SelectedCount", 28,
       [](ControlRig& rig) {
         rig.List().SetSelected(0, true);
         rig.List().SetSelected(2, true);
         return intptr_t{0};
       },
       Answers(2)},
      {"SetCursor", 29, Value(2),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.List().Cursor(), 2);
         EXPECT_EQ(rig.Send(30), 2);
       }},
      {"Cursor", 30, NoArg, Answers(0)},
      {"CurrentIndex", 31,
       [](ControlRig& rig) {
         SetPlaylistCursor(rig.List(), 1);
         rig.parts.playback.PlayEntry(1, -1, 1);
         return intptr_t{0};
       },
       Answers(1)},
      {"GetItemState", 32,
       [](ControlRig& rig) {
         rig.List().SetSelected(1, true);
         rig.item = {1, QMB_STATE_SELECTED | QMB_STATE_CUT, -1};
         return ControlRig::Arg(&rig.item);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.item.state, QMB_STATE_SELECTED);
         rig.item = {2, QMB_STATE_SELECTED, -1};
         rig.Send(32, ControlRig::Arg(&rig.item));
         EXPECT_EQ(rig.item.state, 0);
       }},
      {"SetItemState", 33,
       [](ControlRig& rig) {
         rig.item = {1, QMB_STATE_SELECTED, QMB_STATE_SELECTED | QMB_STATE_CUT};
         return ControlRig::Arg(&rig.item);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_TRUE(rig.List().IsSelected(1));
         EXPECT_EQ(rig.List().SelectedCount(), 1);
         EXPECT_EQ(rig.List().ItemState(1, QMB_STATE_CUT), 0u);  // outside the mask
       }},
      {"AddEntry", 34, [](ControlRig&) { return ControlRig::Arg(QMB_SHORT_MEDIA "/a.wav"); },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         ASSERT_EQ(rig.List().Count(), 4);
         EXPECT_EQ(rig.List().Field(3, kPath), Short("a.wav"));
         EXPECT_EQ(rig.List().Field(3, kDateAdded), "12/06/26");
       }},
      {"GetEntry", 35,
       [](ControlRig& rig) {
         rig.entry.row = 1;
         return ControlRig::Arg(&rig.entry);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         for (int field = 0; field < 9; ++field) {
           ASSERT_NE(rig.entry.text[field], nullptr);
           EXPECT_EQ(rig.entry.text[field], rig.List().Field(1, field)) << field;
         }
         EXPECT_STREQ(rig.entry.text[kTitle], "b");
         EXPECT_STREQ(rig.entry.text[kPath], Short("b.mp3").c_str());
       }},
      {"SetEntryAllFields", 36,
       [](ControlRig& rig) {
         rig.entry = {2, -1, {}};
         for (int i = 0; i < 9; ++i) rig.entry.text[i] = kSetTexts[i];
         return ControlRig::Arg(&rig.entry);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         for (int field = 0; field < 9; ++field) {
           EXPECT_EQ(rig.List().Field(2, field),
                     std::string(kSetTexts[field]).substr(field == 7 ? 1 : 0))
               << field;
         }
       }},
      {"SetEntryOneField", 36,
       [](ControlRig& rig) {
         rig.entry = {0, kLength, {}};
         for (int i = 0; i < 9; ++i) rig.entry.text[i] = kSetTexts[i];
         return ControlRig::Arg(&rig.entry);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.List().Field(0, kLength), "00:01:00.00");
         EXPECT_EQ(rig.List().Field(0, kTitle), "a");
       }},
      {"SetEntryFieldNineChangesNothing", 36,
       [](ControlRig& rig) {
         rig.entry = {0, 9, {}};
         for (int i = 0; i < 9; ++i) rig.entry.text[i] = kSetTexts[i];
         return ControlRig::Arg(&rig.entry);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 0);
         EXPECT_EQ(rig.List().Field(0, kTitle), "a");
         EXPECT_EQ(rig.List().Field(0, kLength), rig.List().Field(1, kLength));
       }},
      {"SetEntryRowMinusOneChangesNothing", 36,
       [](ControlRig& rig) {
         rig.entry = {-1, kTitle, {}};
         for (int i = 0; i < 9; ++i) rig.entry.text[i] = kSetTexts[i];
         return ControlRig::Arg(&rig.entry);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 0);
         EXPECT_EQ(rig.List().Field(2, kTitle), "c");
       }},
      {"SetEntryPastTheEndIsRefused", 36,
       [](ControlRig& rig) {
         rig.entry = {3, -1, {}};
         return ControlRig::Arg(&rig.entry);
       },
       Answers(0)},
      {"DeleteEntry", 37, Value(0),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         ASSERT_EQ(rig.List().Count(), 2);
         EXPECT_EQ(rig.List().Field(0, kTitle), "b");
         EXPECT_EQ(rig.Send(37, 5), 1);
         EXPECT_EQ(rig.List().Count(), 2);
       }},
      {"PlaylistHandleWithoutAWindow", 38, NoArg, Answers(0)},
      {"CutAndPaste", 39,
       [](ControlRig& rig) {
         rig.List().SetSelected(0, true);
         return intptr_t{0};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, kOk);
         ASSERT_EQ(rig.List().Count(), 2);
         EXPECT_EQ(rig.List().Field(0, kTitle), "b");
         SetPlaylistCursor(rig.List(), 1);
         EXPECT_EQ(rig.Send(40), kOk);
         ASSERT_EQ(rig.List().Count(), 3);
         EXPECT_EQ(rig.List().Field(2, kTitle), "a");
         EXPECT_EQ(rig.Send(40), kClipboardEmpty);
         EXPECT_TRUE(rig.desktop.messages.empty());  // statuses are answered, not shown
       }},
      {"PasteWithAnEmptyClipboard", 40, NoArg, Answers(kClipboardEmpty)},
      {"DeleteAll", 41, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.List().Count(), 0);
       }},
      {"AutoAdvance", 42, Value(0),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_FALSE(rig.core.panel.autoAdvance.Checked());
         rig.Send(42, 1);
         EXPECT_TRUE(rig.core.panel.autoAdvance.Checked());
       }},
      {"PlayPath", 43, [](ControlRig&) { return ControlRig::Arg(QMB_FIXTURE_DIR "/tone_440.ogg"); },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, kOk);
         EXPECT_EQ(rig.Send(47), kPlaying);
         EXPECT_NEAR(rig.Send(48, QMB_TIME_LENGTH_MS), 4000, 50);
         // It plays as the track under the cursor.
         EXPECT_EQ(rig.St().currentIndex, 0);
         EXPECT_EQ(rig.List().Field(0, kTimesPlayed), "1");
       }},
      {"PlayPathThatCannotOpen", 43, [](ControlRig&) { return ControlRig::Arg("/no/such.mp3"); },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_NE(r, kOk);
         EXPECT_NE(r, 0);
         EXPECT_EQ(rig.St().state, kStopped);
         EXPECT_TRUE(rig.desktop.messages.empty());
       }},
      {"StopResettingTheCycle", 44,
       [](ControlRig& rig) {
         rig.core.state.shuffle = true;
         rig.Play(Short("a.wav"));
         return intptr_t{1};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.St().state, kStopped);
         for (int row = 0; row < 3; ++row) EXPECT_EQ(rig.List().Field(row, kPlayedThisCycle), "No");
       }},
      {"StopKeepingTheCycle", 44,
       [](ControlRig& rig) {
         rig.core.state.shuffle = true;
         rig.Play(Short("a.wav"));
         return intptr_t{0};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.St().state, kStopped);
         EXPECT_EQ(rig.List().Field(0, kPlayedThisCycle), "Yes");
       }},
      {"PlayTheCursorEntry", 45,
       [](ControlRig& rig) {
         SetPlaylistCursor(rig.List(), 2);
         return intptr_t{1};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.St().state, kPlaying);
         EXPECT_EQ(rig.St().currentIndex, 2);
       }},
      {"PlayResumesAPause", 45,
       [](ControlRig& rig) {
         rig.Play(Fixture("tone_440.wav"));
         rig.parts.playback.TogglePause();
         SetPlaylistCursor(rig.List(), 2);
         return intptr_t{0};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.St().state, kPlaying);
         EXPECT_EQ(rig.St().currentIndex, 0);  // not the cursor's row
       }},
      {"Pause", 46,
       [](ControlRig& rig) {
         rig.Play(Fixture("tone_440.wav"));
         return intptr_t{0};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.Send(47), kPaused);
         rig.Send(46);
         EXPECT_EQ(rig.Send(47), kPlaying);
       }},
      {"PauseWhileStoppedOnlyFlipsTheState", 46, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.Send(47), kPlaying);
         rig.Send(46);
       }},
      {"PlayStateStopped", 47, NoArg, Answers(kStopped)},
      {"LengthAndPosition", 48,
       [](ControlRig& rig) {
         rig.Play(Fixture("tone_440.wav"));
         return intptr_t{QMB_TIME_LENGTH_MS};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 4000);
         intptr_t position = rig.Send(48, QMB_TIME_POSITION_MS);
         EXPECT_GE(position, 0);
         EXPECT_LT(position, 4000);
         EXPECT_EQ(ControlRig::TextAt(rig.Send(48, QMB_TIME_LENGTH_TEXT)), "00:00:04.00");
         EXPECT_EQ(ControlRig::TextAt(rig.Send(48, QMB_TIME_POSITION_TEXT)).substr(0, 6), "00:00:");
       }},
      {"TimeWithAnyOtherArgumentIsDefaultProcessing", 48, Value(7), Answers(0)},
      {"TimeWhileStopped", 48, Value(QMB_TIME_LENGTH_TEXT),
       [](ControlRig&, intptr_t r) { EXPECT_EQ(ControlRig::TextAt(r), "00:00:00.00"); }},
      {"EqBandTwelveSetsBandNine", 49, Value((20 << 16) | 12),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::FloatAt(r), 15.0f);
         EXPECT_EQ(rig.Slider(9), 20.0f);
         EXPECT_EQ(rig.Slider(8), 15.0f);
         EXPECT_EQ(rig.statusTexts, std::vector<std::string>{"Equalizer  9:  20"});
       }},
      {"EqBandValueAboveTheSliderIsClamped", 49, Value((99 << 16) | 2),
       [](ControlRig& rig, intptr_t) { EXPECT_EQ(rig.Slider(2), 30.0f); }},
      {"EqBand", 50,
       [](ControlRig& rig) {
         rig.core.state.sliders[3].value = 7.0f;
         rig.core.state.sliders[9].value = 22.0f;
         return intptr_t{3};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::FloatAt(r), 7.0f);
         EXPECT_EQ(ControlRig::FloatAt(rig.Send(50, 12)), 22.0f);
         EXPECT_EQ(ControlRig::FloatAt(rig.Send(50, -4)), 15.0f);  // band 0
       }},
      {"SetVolume", 51, Value(100),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::FloatAt(r), 255.0f);
         EXPECT_EQ(rig.Slider(kVolumeSlider), 100.0f);
         EXPECT_EQ(rig.statusTexts, std::vector<std::string>{"Volume:  100"});
         EXPECT_EQ(ControlRig::FloatAt(rig.Send(51, 900)), 100.0f);
         EXPECT_EQ(rig.Slider(kVolumeSlider), 255.0f);
       }},
      {"Volume", 52,
       [](ControlRig& rig) {
         rig.core.state.sliders[kVolumeSlider].value = 64;
         return intptr_t{0};
       },
       [](ControlRig&, intptr_t r) { EXPECT_EQ(ControlRig::FloatAt(r), 64.0f); }},
      {"SetBalance", 53, Value(127),
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::FloatAt(r), 127.0f);
         EXPECT_EQ(rig.Slider(kBalanceSlider), 127.0f);
         EXPECT_EQ(rig.statusTexts, std::vector<std::string>{"Center"});
         rig.Send(53, -10);
         EXPECT_EQ(rig.Slider(kBalanceSlider), 0.0f);
         EXPECT_EQ(rig.statusTexts.back(), "Balance:  0");
       }},
      {"Balance", 54, NoArg,
       [](ControlRig&, intptr_t r) { EXPECT_EQ(ControlRig::FloatAt(r), 127.0f); }},
      {"SeekMovesThePosition", 55,
       [](ControlRig& rig) {
         rig.Play(Fixture("tone_440.wav"));
         return intptr_t{2};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(ControlRig::FloatAt(r), 0.0f);
         EXPECT_EQ(rig.Slider(kPositionSlider), 2.0f);
         EXPECT_GE(rig.Send(48, QMB_TIME_POSITION_MS), 1900);
       }},
      {"SeekWhileStoppedStaysAtZero", 55, Value(30),
       [](ControlRig& rig, intptr_t) { EXPECT_EQ(rig.Slider(kPositionSlider), 0.0f); }},
      {"RasterOp", 56, NoArg, Answers(static_cast<intptr_t>(kSourceCopy))},
      {"LoopAndRandomButtons", 57,
       [](ControlRig& rig) {
         rig.core.state.loop = true;
         return intptr_t{0};
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         EXPECT_EQ(rig.Send(58), 0);
         rig.core.state.shuffle = true;
         rig.core.state.loop = false;
         EXPECT_EQ(rig.Send(57), 0);
         EXPECT_EQ(rig.Send(58), 1);
       }},
      {"TagsWithoutAFilePlugIn", 59,
       [](ControlRig&) {
         static QmbTagQuery query{QMB_FIXTURE_DIR "/tagged.mp3", {}};
         return ControlRig::Arg(&query);
       },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 0);
         EXPECT_EQ(rig.Send(59, 0), 0);
       }},
      {"OpenAppendsAndPlaysAsASecondStart", 62,
       [](ControlRig&) { return ControlRig::Arg(QMB_FIXTURE_DIR "/tone_440.ogg"); },
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 1);
         ASSERT_EQ(rig.List().Count(), 4);
         EXPECT_EQ(rig.St().state, kPlaying);
         EXPECT_EQ(rig.St().currentIndex, 3);
         EXPECT_EQ(rig.Send(62, 0), 0);
       }},
      {"UnknownRequest", 63, Value(1), Answers(0)},
      {"NullRecordsAndTextsAreRefused", 32, NoArg,
       [](ControlRig& rig, intptr_t r) {
         EXPECT_EQ(r, 0);
         for (int request : {3, 33, 34, 35, 36, 43}) EXPECT_EQ(rig.Send(request, 0), 0) << request;
         EXPECT_EQ(rig.List().Count(), 3);
         EXPECT_EQ(rig.St().state, kStopped);
       }},
      {"NegativeRequest", -1, Value(1), Answers(0)},
  };
  return cases;
}

class RequestTest : public ::testing::TestWithParam<RequestCase> {
 protected:
  static void SetUpTestSuite() {
    FSOUND_SetOutput(kOutputNoSound);
    ASSERT_NE(FSOUND_Init(44100, 32, 0), 0);
  }
  static void TearDownTestSuite() { FSOUND_Close(); }
};

TEST_P(RequestTest, AnswersAndActs) {
  ControlRig rig;
  const RequestCase& c = GetParam();
  intptr_t argument = c.arrange(rig);
  rig.statusTexts.clear();
  intptr_t result = rig.Send(c.request, argument);
  c.check(rig, result);
}

INSTANTIATE_TEST_SUITE_P(AllRequests, RequestTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The default exit is the orderly shutdown: it saves beside the program and
// ends the process with code 0.
TEST(ExitRequest, SavesAndEndsTheProcess) {
  TempFolder folder;
  EXPECT_EXIT(
      {
        ThePlayer().programFolder = folder.Path();
        ThePlayer().settings = DefaultSettings(folder.Path());
        ControlRig rig;
        ControlInterface control(ThePlayer(), rig.parts);
        control.Request(QMB_REQ_EXIT, 0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(folder.Exists("qmb.dat"));
}

}  // namespace
}  // namespace qmb::test
