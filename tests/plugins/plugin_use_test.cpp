// Using loaded plug-ins: starting and stopping visualization and DSP
// plug-ins with their statuses, Render and Process where and when they run,
// an input plug-in playing an entry, and file plug-ins' tags and properties.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

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
  static std::atomic<int> mixed{0};
  auto zeros = [](SoundStream*, void* buffer, int length, void*) {
    std::memset(buffer, 0, static_cast<std::size_t>(length));
    return length;
  };
  auto count = [](void*, void* buffer, int, void*) -> void* {
    ++mixed;
    return buffer;
  };
  SoundStream* silence = FSOUND_Stream_Create(zeros, 4096, kStreamCallback16Stereo, 44100, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(31, silence), 31);
  DspUnit* counter = FSOUND_DSP_Create(count, 900, nullptr);
  FSOUND_DSP_SetActive(counter, true);
  int until = mixed + blocks;
  EXPECT_TRUE(WaitUntil([&] { return mixed >= until; }));
  FSOUND_DSP_Free(counter);
  FSOUND_Stream_Close(silence);
}

TEST_F(PluginUse, OperationsWithoutPluginsOfTheKindAnswerTwo) {
  Load();
  EXPECT_EQ(manager.StartVisualPlugin(), kNoPlugins);
  EXPECT_EQ(manager.StopVisualPlugin(), kNoPlugins);
  EXPECT_EQ(manager.StartDspPlugin(), kNoPlugins);
  EXPECT_EQ(manager.StopDspPlugin(), kNoPlugins);
  for (int kind = 0; kind < kPluginKindCount; ++kind) {
    EXPECT_EQ(manager.ConfigurePlugin(static_cast<PluginKind>(kind)), kNoPlugins);
  }
  EXPECT_EQ(manager.ShowFileProperties(0, "/m/a.mp3"), kNoPlugins);
}

TEST_F(PluginUse, VisualPluginsStartStopAndSwitch) {
  Install({"visual_a.qvp", "visual_b.qvp"});
  Load();
  int a = Row(kVisualPlugins, "visual_a.qvp");
  int b = Row(kVisualPlugins, "visual_b.qvp");
  PluginListModel& list = manager.registry.List(kVisualPlugins);
  EXPECT_EQ(manager.StopVisualPlugin(), kVisPluginNotRunning);
  list.Select(a);
  EXPECT_EQ(manager.StartVisualPlugin(), kOk);
  EXPECT_EQ(manager.StartVisualPlugin(), kVisPluginRunning);
  // "Start" while A runs and B is selected stops A and starts B.
  list.Select(b);
  manager.StartVisualCommand();
  EXPECT_EQ(Probe("visual_a.qvp").stopCalls, 1);
  EXPECT_EQ(Probe("visual_b.qvp").startCalls, 1);
  EXPECT_EQ(manager.registry.visualIndex, b);
  EXPECT_EQ(Probe("visual_b.qvp").host, &host);
  EXPECT_EQ(manager.StopVisualPlugin(), kOk);
  EXPECT_EQ(manager.StopVisualPlugin(), kVisPluginNotRunning);
  EXPECT_EQ(manager.ConfigurePlugin(kVisualPlugins), kOk);
  EXPECT_EQ(Probe("visual_b.qvp").configureCalls, 1);
}

TEST_F(PluginUse, RenderDrawsTheSurfaceAndAnswerOneOrAFailedStartStopsThePlugin) {
  Install({"visual_a.qvp"});
  Load();
  ASSERT_EQ(manager.StartVisualPlugin(), kOk);
  std::vector<std::int16_t> block(2 * 512, 100);
  float spectrum[256] = {};
  ASSERT_TRUE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  ASSERT_EQ(manager.SurfacePixels().size(), 60u);
  for (std::uint32_t pixel : manager.SurfacePixels()) ASSERT_EQ(pixel, 0xff00ff00u);
  Probe("visual_a.qvp").renderAnswer = 1;
  EXPECT_TRUE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  EXPECT_FALSE(manager.registry.visualRunning);
  EXPECT_EQ(Probe("visual_a.qvp").stopCalls, 1);
  EXPECT_FALSE(manager.RenderVisualPlugin(12, 5, spectrum, block));
  EXPECT_EQ(Probe("visual_a.qvp").renderCalls, 2);
  // A plug-in whose Start fails is stopped at once.
  Probe("visual_a.qvp").startAnswer = 5;
  EXPECT_EQ(manager.StartVisualPlugin(), kPluginInitFailed);
  EXPECT_EQ(Probe("visual_a.qvp").stopCalls, 2);
  EXPECT_FALSE(manager.registry.visualRunning);
}

TEST_F(PluginUse, DspStatusesAndProcessOnlyOnTheMixingThreadWhileATrackPlays) {
  Install({"dsp_a.qdp"});
  Load();
  EXPECT_EQ(manager.StopDspPlugin(), kDspPluginNotRunning);
  ASSERT_EQ(manager.StartDspPlugin(), kOk);
  EXPECT_EQ(manager.StartDspPlugin(), kDspPluginRunning);
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
  EXPECT_EQ(Counted(probe.processCalls), atStop);
  EXPECT_EQ(probe.stopCalls, 1);
  EXPECT_EQ(manager.StopDspPlugin(), kDspPluginNotRunning);
}

TEST_F(PluginUse, AnInputPluginPlaysThroughTheEngineUntilItsTickIsCleared) {
  Install({"input_a.QIP"});
  Load();
  TestProbe& probe = Probe("input_a.QIP");
  Add("/m/song.tone");
  EXPECT_EQ(store.list.Icon(0), 2);  // the plug-in's icon for "tone"
  store.list.SetCursor(0);
  playback.PlayEntry(Restart::No, kCursorRow, RepeatReset::Yes);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(probe.openCalls, 1);
  EXPECT_STREQ(probe.lastPath, "/m/song.tone");
  EXPECT_EQ(probe.playCalls, 1);
  EXPECT_EQ(playback.st.nowPlayingText, " 256kbps |  32khz  song");
  EXPECT_FLOAT_EQ(playback.st.lengthSeconds, 3.0f);
  ASSERT_TRUE(TickUntil([&] { return Counted(probe.samplesGiven) > 10000; }, 5));
  // Only the low 16 bits reach the mix: the square wave of +-1000.
  std::vector<std::int16_t> block;
  ASSERT_TRUE(TickUntil([&] { return TheVisualCapture().CopyBlock(block); }, 5));
  int loud = 0;
  for (std::int16_t sample : block) loud += std::abs(sample) > 500 && std::abs(sample) < 1500;
  EXPECT_GT(loud, static_cast<int>(block.size()) / 2);

  playback.TogglePause();
  EXPECT_EQ(probe.lastPause, 1);
  playback.TogglePause();
  EXPECT_EQ(probe.lastPause, 0);
  // A seek shows its target at once; the engine's callback stream tests
  // count the heard time on from there.
  playback.SetSliderApplied(kPositionSlider, 1.5f);
  EXPECT_EQ(probe.seekMs, 1500);
  int position = 0;
  int length = 0;
  playback.ReadPosition(position, length);
  EXPECT_EQ(position, 1500);
  EXPECT_EQ(length, 3000);

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
  EXPECT_EQ(probe.openCalls, 3);
  EXPECT_EQ(playback.st.usingPlugin, 1);
  manager.registry.List(kInputPlugins).SetChecked(0, false);
  playback.PlayEntry(Restart::No, 1, RepeatReset::Yes);
  EXPECT_EQ(probe.openCalls, 3);
  EXPECT_EQ(playback.st.usingPlugin, 0);
  EXPECT_EQ(playback.st.state, kPlaying);
  playback.StopPlayback(CycleReset::No);
}

TEST_F(PluginUse, APluginWithItsOwnOutputGetsTheTransportPresetsAndShapes) {
  Install({"input_b.qip"});
  Load();
  TestProbe& probe = Probe("input_b.qip");
  Add("/m/song.own");
  ASSERT_EQ(playback.PlayPath("/m/song.own"), kOk);
  ASSERT_EQ(playback.st.state, kPlaying);
  EXPECT_EQ(playback.st.stream, nullptr);
  int calls = probe.setEqCalls;
  EXPECT_EQ(calls, 10);  // every band when it opened
  playback.SetSliderApplied(4, 22.0f);
  EXPECT_EQ(probe.setEqCalls, ++calls);
  EXPECT_EQ(probe.lastEqBand, 4);
  EXPECT_EQ(probe.lastEqValue, 22);
  playback.SetSliderApplied(kVolumeSlider, 100.7f);
  EXPECT_EQ(probe.lastVolume, 100);
  EXPECT_EQ(Counted(probe.samplesGiven), 0);

  auto set = [this](int band, float value) { playback.SetSliderApplied(band, value); };
  EqBands bands;
  bands.fill(12.0f);
  bands[9] = 22.5f;
  SaveEqPreset(folder.Path() + "p.qeq", bands);
  LoadEqPreset(folder.Path() + "p.qeq", true, set);
  EXPECT_EQ(probe.setEqCalls, calls + 10);
  EXPECT_EQ(probe.lastEqBand, 9);
  EXPECT_EQ(probe.lastEqValue, 22);
  ShiftEq(true, bands, set);
  EXPECT_EQ(probe.setEqCalls, calls + 20);
  EXPECT_EQ(probe.lastEqValue, 24);
  // No band effect of the engine was ever enabled.
  for (int fx = 0; fx < 32; ++fx) EXPECT_FALSE(FSOUND_FX_SetParamEQ(fx, 1000, 18, 0)) << fx;
}

TEST_F(PluginUse, TagsComeFromTheTickedFilePluginThatClaimsThePath) {
  Install({"file_tags.qfp"});
  Load();
  for (const char* path : {"/m/one.mp3", "/m/untagged.mp3", "/m/three.wma"}) Add(path);
  std::vector<std::string> before;
  for (int row = 0; row < 3; ++row) before.push_back(Field(row, kTitle));

  // With no selection, "Analyze Selected Files" changes nothing.
  AnalyzeSelectedFiles(store.list, manager, "a - s");
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Field(row, kTitle), before[row]);

  AnalyzeAllFiles(store.list, manager, "a - s");
  EXPECT_EQ(Field(0, kTitle), "File Tags - one.mp3");
  EXPECT_EQ(Field(0, kLength), "00:01:01.00");
  EXPECT_EQ(Field(1, kTitle), before[1]);  // the plug-in has no record
  EXPECT_EQ(Field(2, kTitle), before[2]);  // no plug-in claims wma
  // The unterminated comment is cut at its field.
  std::optional<TagRecord> tags = manager.ReadTags("/m/one.mp3");
  ASSERT_TRUE(tags);
  EXPECT_EQ(TagText(tags->comment).size(), kTagFieldSize - 1);

  manager.registry.List(kFilePlugins).SetChecked(0, false);
  EXPECT_FALSE(manager.ReadTags("/m/one.mp3"));
  EXPECT_EQ(FindFilePlugin(manager.registry, "/m/one.mp3"), -1);
}

TEST_F(PluginUse, PropertiesOfTheSelectedRowsReportsEachUnclaimedFile) {
  Install({"file_tags.qfp", "file_bare.qfp"});
  Load();
  for (const char* path : {"/m/one.mp3", "/m/two.wma", "/m/three.wav", "/m/four.ogg"}) Add(path);
  store.list.SetSelected(0, true);
  store.list.SetSelected(1, true);
  store.list.SetSelected(2, true);
  manager.PropertiesOfSelected(store.list, kPath);
  EXPECT_EQ(Probe("file_tags.qfp").propertiesCalls, 1);
  EXPECT_STREQ(Probe("file_tags.qfp").lastPath, "/m/one.mp3");
  std::vector<std::string> texts = desktop.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "No plug-in found for selected file /m/two.wma");
  // The wav's plug-in has no Properties entry.
  EXPECT_EQ(texts[1], "Address of specified function could not be found.");
}

}  // namespace
}  // namespace qmb::test
