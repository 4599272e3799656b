// A callback stream's time is the time of what the mixer has played, not of
// what its fill function has been asked for; its end is the mix of its last
// frame; a seek drops what it read ahead and loses nothing of the new place.
// It is fed on its own thread, at its own rate, and closes cleanly.
#include <algorithm>
#include <atomic>
#include <mutex>

#include "engine/callback_source.h"
#include "engine/stream.h"
#include "engine_test_support.h"

namespace qmb::test {
namespace {

constexpr int kRate = 44100;

int FramesToMs(std::int64_t frames) {
  return static_cast<int>(frames * 1000 / kRate);
}

// Frames of the mix whose left side carries sound.
std::int64_t Heard(const std::vector<std::int16_t>& frames) {
  std::int64_t sound = 0;
  for (std::size_t i = 0; i < frames.size(); i += 2) sound += frames[i] != 0;
  return sound;
}

// What the engine may hold ahead of the mix: its ring (a power of two), a
// chunk being decoded and the fill block.
int ReadAheadBoundMs(int fillBytes) {
  std::size_t ring = 1;
  while (ring < engine::CallbackRingFrames(kRate, FSOUND_DSP_GetBufferLength())) ring <<= 1;
  return FramesToMs(static_cast<std::int64_t>(ring) + 1024 + fillBytes / 4);
}

// Feeds a constant level (left) and its own frame count (right, so a frame
// tells which one it is) up to `limit` frames, as an input plug-in's route
// does: under a lock that a seek holds too, and with silence while the
// engine has not yet carried out a seek.
struct Feeder {
  std::mutex lock;
  std::int64_t limit = std::int64_t{1} << 40;
  std::int16_t level = 5000;
  std::atomic<std::int64_t> delivered{0};  // frames of sound handed over
  std::int64_t segmentFrames = 0;          // since the start or the last seek
  bool seekPending = false;
  std::atomic<int> seekNotices{0};

  std::atomic<int> fillsAtTheLock{0};
  std::atomic<bool> inside{false};
  std::atomic<bool> onTheCallersThread{false};
  std::thread::id caller = std::this_thread::get_id();

  static int Fill(SoundStream*, void* buffer, int length, void* user) {
    auto* self = static_cast<Feeder*>(user);
    ++self->fillsAtTheLock;
    self->inside = true;
    if (std::this_thread::get_id() == self->caller) self->onTheCallersThread = true;
    int filled = self->FillLocked(buffer, length);
    self->inside = false;
    return filled;
  }
  int FillLocked(void* buffer, int length) {
    std::lock_guard guard(lock);
    if (!buffer) {
      seekPending = false;
      ++seekNotices;
      return 0;
    }
    auto* out = static_cast<std::int16_t*>(buffer);
    int count = length / 4;
    if (seekPending) {
      std::fill(out, out + count * 2, std::int16_t{0});
      return length;
    }
    count = static_cast<int>(std::min<std::int64_t>(count, limit - delivered));
    for (int i = 0; i < count; ++i, ++segmentFrames) {
      out[i * 2] = level;
      out[i * 2 + 1] = static_cast<std::int16_t>(1 + segmentFrames % 30000);
    }
    delivered += count;
    return count * 4;
  }

  // The owner's seek: its source moves (a new level), then the engine. It
  // happens while the stream's thread waits to fill a block, the case where
  // that block would be the new place's first and must not be lost.
  void SeekTo(SoundStream* s, int ms, std::int16_t newLevel) {
    std::lock_guard guard(lock);
    int before = fillsAtTheLock;
    EXPECT_TRUE(WaitUntil([&] { return fillsAtTheLock > before; }, 2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    level = newLevel;
    segmentFrames = 0;
    seekPending = FSOUND_Stream_SetTime(s, ms);
  }
};

constexpr int kFillBytes = 4096;

// A fed stream playing on channel 0 of the engine, the mix captured.
class CallbackStream : public ::testing::Test {
 protected:
  void Play() {
    s = FSOUND_Stream_Create(&Feeder::Fill, kFillBytes, kStreamCallback16Stereo, kRate, &feeder);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  }
  ~CallbackStream() override { FSOUND_Stream_Close(s); }

  NullEngine engine{kRate};
  Feeder feeder;
  MixCapture capture;
  SoundStream* s = nullptr;
};

TEST_F(CallbackStream, ItsTimeIsTheTimeMixedWhileTheFillRunsAhead) {
  ASSERT_NO_FATAL_FAILURE(Play());
  const int blockMs = FramesToMs(FSOUND_DSP_GetBufferLength());
  // At the start the time is what has been mixed: nothing, or a block or two.
  EXPECT_LE(FSOUND_Stream_GetTime(s), 2 * blockMs);
  int last = 0, steps = 0;
  ASSERT_TRUE(WaitUntil([&] {
    int now = FSOUND_Stream_GetTime(s);
    EXPECT_GE(now, last);
    EXPECT_LE(now - last, 2 * blockMs + 30) << "the time moves in mix blocks";
    steps += now != last;
    last = now;
    return now > 1000;
  }));
  EXPECT_GT(steps, 10);
  int before = FSOUND_Stream_GetTime(s);
  int mixed = FramesToMs(static_cast<std::int64_t>(capture.Frames().size() / 2));
  int after = FSOUND_Stream_GetTime(s);
  int pulled = FramesToMs(feeder.delivered);
  EXPECT_LE(before, mixed + blockMs);
  EXPECT_LE(mixed, after + blockMs);
  // The fill has been asked for more than has been heard, but not much more.
  EXPECT_GT(pulled, after);
  EXPECT_LE(pulled - before, ReadAheadBoundMs(kFillBytes));
  // After the first ramp, every frame mixed carries the level: no drop-out.
  auto frames = capture.Frames();
  int gaps = 0;
  for (std::size_t i = 250 * 2; i < frames.size(); i += 2) gaps += frames[i] != 5000;
  EXPECT_EQ(gaps, 0);
  EXPECT_EQ(s->underruns.load(), 0u);
}

TEST_F(CallbackStream, EndsWhenItsLastFrameIsMixedNotWhenTheFillIsDone) {
  feeder.limit = kRate + 333;  // the last fill block is short
  ASSERT_NO_FATAL_FAILURE(Play());
  ASSERT_TRUE(WaitUntil([&] { return feeder.delivered == feeder.limit; }));
  // Everything has been handed over; much of it is still to be heard.
  EXPECT_FALSE(FSOUND_Stream_IsFinished(s));
  EXPECT_LT(FSOUND_Stream_GetTime(s), FramesToMs(feeder.limit) - 50);
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_IsFinished(s); }));
  EXPECT_EQ(FSOUND_Stream_GetTime(s), FramesToMs(feeder.limit));
  // Every frame was heard, the short block's too, and nothing after them.
  EXPECT_TRUE(WaitUntil([&] { return Heard(capture.Frames()) == feeder.limit; }, 500))
      << Heard(capture.Frames());
  EXPECT_FALSE(FSOUND_IsPlaying(0));
}

TEST_F(CallbackStream, ASeekDropsTheReadAheadAndLosesNothingOfTheNewPlace) {
  feeder.level = -3000;
  ASSERT_NO_FATAL_FAILURE(Play());
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 500; }));
  feeder.SeekTo(s, 5000, 7000);
  EXPECT_EQ(FSOUND_Stream_GetTime(s), 5000) << "at once";
  ASSERT_TRUE(WaitUntil([&] { return feeder.seekNotices == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_GetTime(s) > 5300; }));
  int at = FSOUND_Stream_GetTime(s);
  auto frames = capture.Frames();
  // The old level is faded out and never heard again after the new one starts.
  std::size_t first = 0, total = frames.size() / 2;
  while (first < total && frames[first * 2] <= 0) ++first;
  ASSERT_LT(first, total);
  int stale = 0, wrong = 0;
  const std::size_t fadeIn = 250;  // the 5 ms gain ramp after the jump
  for (std::size_t f = first; f < total; ++f) {
    stale += frames[f * 2] < 0;
    // Once the ramp is done, the frame heard j frames after the jump is the
    // j-th frame delivered after the seek: none was lost, no silence slipped in.
    if (f - first >= fadeIn &&
        frames[f * 2 + 1] != static_cast<std::int16_t>(1 + (f - first) % 30000))
      ++wrong;
  }
  EXPECT_EQ(stale, 0);
  EXPECT_EQ(wrong, 0);
  // The time counts from the seek target by what was heard since the jump.
  int heardSinceJump = FramesToMs(static_cast<std::int64_t>(total - first));
  EXPECT_NEAR(at, 5000 + heardSinceJump, FramesToMs(FSOUND_DSP_GetBufferLength()) + 5);
}

// Fed on a thread of its own and only once it plays; at half the mixer's
// rate its frames last twice as long; a close waits for a fill under way.
// Silence on a channel of its own keeps the mixer running, so waiting for
// mixed blocks measures time even while the stream under test is idle.
TEST_F(CallbackStream, IsFedOnItsOwnThreadAtItsRateAndClosesCleanly) {
  PlayingSine silence(60.0, 440, 0.0, 7);
  EXPECT_EQ(FSOUND_Stream_Create(&Feeder::Fill, 2, kStreamCallback16Stereo, kRate / 2, &feeder),
            nullptr);  // less than a frame
  EXPECT_EQ(FSOUND_Stream_Create(nullptr, kFillBytes, kStreamCallback16Stereo, kRate / 2, &feeder),
            nullptr);
  feeder.limit = kRate / 2;
  s = FSOUND_Stream_Create(&Feeder::Fill, kFillBytes, kStreamCallback16Stereo, kRate / 2, &feeder);
  ASSERT_NE(s, nullptr);
  capture.CollectAfterChange(2048);
  EXPECT_EQ(feeder.fillsAtTheLock, 0);  // nothing pulled before it plays
  capture.Clear();
  ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
  ASSERT_TRUE(WaitUntil([&] { return FSOUND_Stream_IsFinished(s); }));
  EXPECT_EQ(FSOUND_Stream_GetTime(s), 1000);
  EXPECT_FALSE(feeder.onTheCallersThread);
  // Resampled to the mixer's rate.
  EXPECT_NEAR(static_cast<double>(Heard(capture.Frames())), kRate, 100);
  EXPECT_TRUE(FSOUND_Stream_Close(s));

  Feeder endless;
  s = FSOUND_Stream_Create(&Feeder::Fill, 1024, kStreamCallback16Stereo, kRate, &endless);
  ASSERT_GE(FSOUND_Stream_Play(0, s), 0);
  ASSERT_TRUE(WaitUntil([&] { return endless.fillsAtTheLock > 5; }));
  EXPECT_TRUE(FSOUND_Stream_Close(s));
  EXPECT_FALSE(endless.inside);  // a call under way finished before the close returned
  int calls = endless.fillsAtTheLock;
  capture.CollectAfterChange(2048);
  EXPECT_EQ(endless.fillsAtTheLock, calls);
}

}  // namespace
}  // namespace qmb::test
