// Using loaded plug-ins: starting and stopping visualization and DSP
// plug-ins with their statuses, Render and Process where and when they run,
// an input plug-in playing an entry, and file plug-ins' tags and properties;
// the plug-ins we ship, loaded from a program folder, playing a FLAC.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/status_codes.h"
#include "eq/eq_presets.h"
#include "playback/sound_engine.h"
#include "playlist/entry_title.h"
#include "plugin_rig.h"
#include "vis/visual_capture.h"
#include "wait_until.h"

namespace qmb::test {
namespace {

using PluginUse = PluginRig;

// Lets the mixer run `blocks` more blocks, silence on a channel of its own
// keeping it going, so a test can see that nothing happened meanwhile.
void MixBlocks(int blocks) {
  PlayingSine silence(1.0, 440, 0.0, 31);
  EXPECT_TRUE(MixProbe().Wait(blocks));
}

TEST_F(PluginUse, OperationsWithoutPluginsOfTheKindAnswerTwo) {
  Load();
  std::vector<int> answers = {manager.StartVisualPlugin(), manager.StopVisualPlugin(),
                              manager.StartDspPlugin(), manager.StopDspPlugin(),
                              manager.ShowFileProperties(0, "/m/a.mp3")};
  for (int kind = 0; kind < kPluginKindCount; ++kind)
    answers.push_back(manager.ConfigurePlugin(static_cast<PluginKind>(kind)));
  EXPECT_EQ(answers, std::vector<int>(answers.size(), kNoPlugins));
}

TEST_F(PluginUse, VisualPluginsStartStopAndSwitch) {
  Load({"visual_a.qvp", "visual_b.qvp"});
  int a = Row(kVisualPlugins, "visual_a.qvp");
  int b = Row(kVisualPlugins, "visual_b.qvp");
  PluginListModel& list = manager.registry.List(kVisualPlugins);
  EXPECT_EQ(manager.StopVisualPlugin(), kVisPluginNotRunning);
  list.Select(a);
  EXPECT_EQ((std::vector<int>{manager.StartVisualPlugin(), manager.StartVisualPlugin()}),
            (std::vector<int>{kOk, kVisPluginRunning}));
  // "Start" while A runs and B is selected stops A and starts B.
  list.Select(b);
  manager.StartVisualCommand();
  EXPECT_EQ(std::tie(Probe("visual_a.qvp").stopCalls, Probe("visual_b.qvp").startCalls,
                     manager.registry.visualIndex, Probe("visual_b.qvp").host),
            std::tuple(1, 1, b, &host));
  EXPECT_EQ((std::vector<int>{manager.StopVisualPlugin(), manager.StopVisualPlugin(),
                              manager.ConfigurePlugin(kVisualPlugins)}),
            (std::vector<int>{kOk, kVisPluginNotRunning, kOk}));
  EXPECT_EQ(Probe("visual_b.qvp").configureCalls, 1);
}

TEST_F(PluginUse, RenderDrawsTheSurfaceAndAnswerOneOrAFailedStartStopsThePlugin) {
  Load({"visual_a.qvp"});
  ASSERT_EQ(manager.StartVisualPlugin(), kOk);
  std::vector<std::int16_t> block(2 * 512, 100);
  float spectrum[256] = {};
  ASSERT_TRUE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  EXPECT_EQ(manager.SurfacePixels(), std::vector<std::uint32_t>(60, 0xff00ff00u));
  Probe("visual_a.qvp").renderAnswer = 1;
  EXPECT_TRUE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  EXPECT_FALSE(manager.registry.visualRunning);
  EXPECT_FALSE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  EXPECT_EQ(std::tie(Probe("visual_a.qvp").stopCalls, Probe("visual_a.qvp").renderCalls),
            std::tuple(1, 2));
  // A plug-in whose Start fails is stopped at once.
  Probe("visual_a.qvp").startAnswer = 5;
  EXPECT_EQ(manager.StartVisualPlugin(), kPluginInitFailed);
  EXPECT_EQ(Probe("visual_a.qvp").stopCalls, 2);
  EXPECT_FALSE(manager.registry.visualRunning);
}

TEST_F(PluginUse, DspStatusesAndProcessOnlyOnTheMixingThreadWhileATrackPlays) {
  Load({"dsp_a.qdp"});
  EXPECT_EQ((std::vector<int>{manager.StopDspPlugin(), manager.StartDspPlugin(),
                              manager.StartDspPlugin()}),
            (std::vector<int>{kDspPluginNotRunning, kOk, kDspPluginRunning}));
  TestProbe& probe = Probe("dsp_a.qdp");
  MixBlocks(6);
  EXPECT_EQ(Counted(probe.processCalls), 0);  // nothing plays

  Add(Short("a.wav"));
  playback.PlayEntry(Restart::No, 0, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return Counted(probe.processCalls) > 3; }, 5));
  EXPECT_EQ(Counted(probe.processOnInitThread), 0);
  // Process acts before the visualization sees the block.
  std::vector<std::int16_t> block;
  ASSERT_TRUE(TickUntil([&] { return TheVisualCapture().CopyBlock(block) && block[0] == 777; }, 5));
  for (std::int16_t sample : block) ASSERT_EQ(sample, 777);

  playback.StopPlayback(CycleReset::No);
  int afterStop = Counted(probe.processCalls);
  MixBlocks(6);
  EXPECT_EQ(Counted(probe.processCalls), afterStop);

  // Stopped while a track plays, it is not called again.
  playback.PlayEntry(Restart::No, 0, RepeatReset::Yes);
  ASSERT_TRUE(TickUntil([&] { return Counted(probe.processCalls) > afterStop; }, 5));
  EXPECT_EQ(manager.StopDspPlugin(), kOk);
  int atStop = Counted(probe.processCalls);
  MixBlocks(6);
  EXPECT_EQ(std::tuple(Counted(probe.processCalls), probe.stopCalls), std::tuple(atStop, 1));
  EXPECT_EQ(manager.StopDspPlugin(), kDspPluginNotRunning);
}

TEST_F(PluginUse, AnInputPluginPlaysThroughTheEngineUntilItsTickIsCleared) {
  Load({"input_a.QIP"});
  TestProbe& probe = Probe("input_a.QIP");
  Add("/m/song.tone");
  EXPECT_EQ(store.list.Icon(0), 2);  // the plug-in's icon for "tone"
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(std::tuple(probe.openCalls, std::string(probe.lastPath), probe.playCalls),
            std::tuple(1, "/m/song.tone", 1));
  EXPECT_EQ(playback.st.nowPlayingText, " 256kbps |  32khz  song");
  EXPECT_FLOAT_EQ(playback.st.lengthSeconds, 3.0f);
  ASSERT_TRUE(TickUntil([&] { return Counted(probe.samplesGiven) > 10000; }, 5));
  // Only the low 16 bits reach the mix: the square wave of +-1000.
  std::vector<std::int16_t> block;
  ASSERT_TRUE(TickUntil([&] { return TheVisualCapture().CopyBlock(block); }, 5));
  int loud = 0;
  for (std::int16_t sample : block) loud += std::abs(sample) > 500 && std::abs(sample) < 1500;
  EXPECT_GT(loud, static_cast<int>(block.size()) / 2);

  std::vector<int> pauses;
  for (int i = 0; i < 2; ++i) {
    playback.TogglePause();
    pauses.push_back(probe.lastPause);
  }
  EXPECT_EQ(pauses, (std::vector<int>{1, 0}));
  // A seek shows its target at once; the engine's callback stream tests
  // count the heard time on from there.
  playback.SetSliderApplied(kPositionSlider, 1.5f);
  int position = 0, length = 0;
  playback.ReadPosition(position, length);
  EXPECT_EQ(std::tie(probe.seekMs, position, length), std::tuple(1500, 1500, 3000));

  playback.StopPlayback(CycleReset::No);
  EXPECT_EQ(probe.stopCalls, 1);
  int pulled = Counted(probe.samplesGiven);
  MixBlocks(4);
  EXPECT_EQ(Counted(probe.samplesGiven), pulled);

  EXPECT_EQ(playback.PlayPath("/m/broken.tone"), kInputPluginOpenFailed);
  EXPECT_EQ(probe.openCalls, 2);

  // The plug-in claims mp3 too; with its tick cleared the engine plays it.
  Add(Short("b.mp3"));
  playback.PlayEntry(Restart::No, 1, RepeatReset::Yes);
  EXPECT_EQ(std::tie(probe.openCalls, playback.st.usingPlugin), std::tuple(3, 1));
  manager.registry.List(kInputPlugins).SetChecked(0, false);
  playback.PlayEntry(Restart::No, 1, RepeatReset::Yes);
  EXPECT_EQ(std::tie(probe.openCalls, playback.st.usingPlugin, playback.st.state),
            std::tuple(3, 0, kPlaying));
  playback.StopPlayback(CycleReset::No);
}

TEST_F(PluginUse, APluginWithItsOwnOutputGetsTheTransportPresetsAndShapes) {
  Load({"input_b.qip"});
  TestProbe& probe = Probe("input_b.qip");
  Add("/m/song.own");
  ASSERT_EQ(playback.PlayPath("/m/song.own"), kOk);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.stream, nullptr);
  auto eq = [&] { return std::tuple(probe.setEqCalls, probe.lastEqBand, probe.lastEqValue); };
  EXPECT_EQ(probe.setEqCalls, 10);  // every band when it opened
  playback.SetSliderApplied(4, 22.0f);
  EXPECT_EQ(eq(), std::tuple(11, 4, 22));
  playback.SetSliderApplied(kVolumeSlider, 100.7f);
  EXPECT_EQ(std::tuple(probe.lastVolume, Counted(probe.samplesGiven)), std::tuple(100, 0));

  auto set = [this](int band, float value) { playback.SetSliderApplied(band, value); };
  EqBands bands;
  bands.fill(12.0f);
  bands[9] = 22.5f;
  SaveEqPreset(folder.Path() + "p.qeq", bands);
  LoadEqPreset(folder.Path() + "p.qeq", true, set);
  EXPECT_EQ(eq(), std::tuple(21, 9, 22));
  ShiftEq(true, bands, set);
  EXPECT_EQ(eq(), std::tuple(31, 9, 24));
  // No band effect of the engine was ever enabled.
  for (int fx = 0; fx < 32; ++fx) EXPECT_FALSE(FSOUND_FX_SetParamEQ(fx, 1000, 18, 0)) << fx;
}

TEST_F(PluginUse, TagsComeFromTheTickedFilePluginThatClaimsThePath) {
  Load({"file_tags.qfp"});
  for (const char* path : {"/m/one.mp3", "/m/untagged.mp3", "/m/three.wma"}) Add(path);
  auto titles = [&] {
    return std::vector<std::string>{Field(0, kTitle), Field(1, kTitle), Field(2, kTitle)};
  };
  const std::vector<std::string> before = titles();

  // With no selection, "Analyze Selected Files" changes nothing.
  AnalyzeSelectedFiles(store.list, manager, "a - s");
  EXPECT_EQ(titles(), before);

  // The untagged mp3 has no record, and no plug-in claims wma.
  AnalyzeAllFiles(store.list, manager, "a - s");
  EXPECT_EQ(titles(), (std::vector<std::string>{"File Tags - one.mp3", before[1], before[2]}));
  EXPECT_EQ(Field(0, kLength), "00:01:01.00");
  // The unterminated comment is cut at its field.
  std::optional<TagRecord> tags = manager.ReadTags("/m/one.mp3");
  ASSERT_TRUE(tags);
  EXPECT_EQ(TagText(tags->comment).size(), kTagFieldSize - 1);

  manager.registry.List(kFilePlugins).SetChecked(0, false);
  EXPECT_FALSE(manager.ReadTags("/m/one.mp3"));
  EXPECT_EQ(FindFilePlugin(manager.registry, "/m/one.mp3"), -1);
}

TEST_F(PluginUse, PropertiesOfTheSelectedRowsReportsEachUnclaimedFile) {
  Load({"file_tags.qfp", "file_bare.qfp"});
  for (const char* path : {"/m/one.mp3", "/m/two.wma", "/m/three.wav", "/m/four.ogg"}) Add(path);
  for (int row : {0, 1, 2}) store.list.SetSelected(row, true);
  manager.PropertiesOfSelected(store.list, kPath);
  TestProbe& probe = Probe("file_tags.qfp");
  EXPECT_EQ(std::tuple(probe.propertiesCalls, std::string(probe.lastPath)),
            std::tuple(1, "/m/one.mp3"));
  // The wav's plug-in has no Properties entry.
  EXPECT_EQ(desktop.Texts(),
            (std::vector<std::string>{"No plug-in found for selected file /m/two.wma",
                                      "Address of specified function could not be found."}));
}

class BundledPlugins : public PluginRig {
 protected:
  void SetUp() override { LoadBundled(); }
};

TEST_F(BundledPlugins, AFlacIsAdmittedAndPlaysWithTheEqualizerActing) {
  ASSERT_TRUE(panel.skipUnsupported.Checked());
  Add(Fixture("tone_440.flac"));
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.usingPlugin, 1);
  EXPECT_NE(playback.st.stream, nullptr);
  EXPECT_NEAR(playback.st.lengthSeconds, 4.0f, 0.05f);
  MixProbe probe;
  ASSERT_TRUE(probe.Wait(4));  // past the start
  double flat = probe.LevelDb();
  ASSERT_GT(flat, -40);
  for (int band = 0; band < 10; ++band) playback.SetSliderApplied(band, 0.0f);
  ASSERT_TRUE(probe.Wait(10));  // past the change's ramp
  EXPECT_LT(probe.LevelDb(), flat - 6);
}

// The mixed frames that carry sound.
long Sounding(const std::vector<std::int16_t>& frames) {
  long sound = 0;
  for (std::size_t i = 0; i + 1 < frames.size(); i += 2)
    sound += frames[i] != 0 || frames[i + 1] != 0;
  return sound;
}

// The repeat count and "stop after current" act at the end of what was heard,
// as for the engine's own streams (whose tests take "close after current"):
// each second of sound is mixed whole first.
TEST_F(BundledPlugins, TheRepeatCountAndStopAfterCurrentActWhenATrackHasBeenHeard) {
  constexpr long kHeardWhole = 44100 - 10;  // less the sine's zero at the start
  MixCapture mix(1000);
  Add(Fixture("tone_1s.flac"));
  Add(Fixture("tone_1s.flac"));
  panel.repeatCount.SetText("1");
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  EXPECT_EQ(RowsPlayed(3, 6), (std::vector<int>{0, 0, 1}));
  EXPECT_GE(Sounding(mix.Frames()), 2 * kHeardWhole) << "twice a whole second";
  playback.StopPlayback(CycleReset::No);

  panel.repeatCount.SetText("0");
  checks.stopAfterCurrent.SetChecked(true);
  store.list.SetCursor(0);
  mix.Clear();
  playback.PlayEntry(Restart::Yes, kCursorRow, RepeatReset::Yes);
  int last = 0, pulledAhead = 0;
  ASSERT_TRUE(TickUntil(
      [&] {
        if (playback.st.state == kStopped) return true;
        int position = 0, length = 0;
        playback.ReadPosition(position, length);
        EXPECT_GE(position, last) << "the time shown goes back";
        pulledAhead = std::max(pulledAhead, route.GetPosition(0) - position);
        last = position;
        return false;
      },
      3));
  // The plug-in is pulled ahead of the sound; the time shown is the sound's.
  EXPECT_GT(pulledAhead, 50);
  EXPECT_GE(last, 1000 - 100);
  EXPECT_GE(Sounding(mix.Frames()), kHeardWhole);
  EXPECT_LE(Sounding(mix.Frames()), 44100) << "and no more";
  EXPECT_FALSE(checks.stopAfterCurrent.Checked());
}

}  // namespace
}  // namespace qmb::test
