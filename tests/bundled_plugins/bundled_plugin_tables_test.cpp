// The bundled plug-ins loaded from the program folder: the FFmpeg input
// plug-in decoding real files as the engine pulls, and the TagLib file
// plug-in reading tags of real files into the record.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "plugin_library.h"
#include "temp_folder.h"

namespace qmb {
namespace {

using test::Fixture;
using test::InputPlugin;
using test::ReadFile;
using test::TagPlugin;

constexpr int kRate = 44100;
// The fixtures' mono sources reach both channels at -3 dB.
const double kUpmix = std::sqrt(0.5);

struct Frames {
  std::vector<int16_t> left, right;
};

Frames Pull(QmbInputModule* module, int count) {
  Frames frames;
  for (int i = 0; i < count; ++i) {
    int32_t l = 0x7fff0000, r = 0x7fff0000;
    module->GetSample(&l, &r);
    frames.left.push_back(static_cast<int16_t>(l & 0xffff));
    frames.right.push_back(static_cast<int16_t>(r & 0xffff));
  }
  return frames;
}

int ZeroCrossings(const std::vector<int16_t>& s) {
  int count = 0;
  for (size_t i = 1; i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++count;
  return count;
}

double Rms(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  return std::sqrt(sum / s.size());
}

// How far `s` strays from the sweep fixture from its first frame on:
// 0.5 sin (upmixed)(2 pi (200 t + 150 t^2)).
double WorstSweepError(const std::vector<int16_t>& s) {
  double worst = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = double(i) / kRate;
    double want = kUpmix * 0.5 * 32767 * std::sin(2 * M_PI * (200 * t + 150 * t * t));
    worst = std::max(worst, std::abs(s[i] - want));
  }
  return worst;
}

class InputPluginTest : public testing::Test {
 protected:
  void SetUp() override {
    module = InputPlugin();
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { module->Stop(); }
  QmbInputModule* module = nullptr;
};

// Claims are substring searches: none of the engine's own types may occur in the list.
TEST_F(InputPluginTest, ClaimsItsTypesAndNoneOfTheEngines) {
  EXPECT_EQ(module->Init(nullptr, nullptr), 0);
  for (const char* ext : {"mp3", "mp2", "wav", "ogg", "wma", "asf", "mid", "rmi", "cda", "xm", "it",
                          "s3m", "mod", "sgt", "fsb"})
    EXPECT_EQ(std::strstr(module->extensions, ext), nullptr) << ext;
  for (const char* ext : {"flac", "opus", "m4a", "aiff"})
    EXPECT_NE(std::strstr(module->extensions, ext), nullptr) << ext;
}

TEST_F(InputPluginTest, PlaysTheToneAt44100Stereo) {
  for (const char* file : {"tone_440.flac", "tone_440.opus"}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(module->Open(Fixture(file).c_str()), 0);
    module->Play();
    EXPECT_NEAR(module->GetLength(), 4000, 20);
    const QmbStreamInfo* info = module->GetStreamInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->frequency, std::string(file).ends_with("opus") ? 48000 : 44100);
    EXPECT_GT(info->bitRate, 30);
    EXPECT_LT(info->bitRate, 1500);
    EXPECT_EQ(module->GetPosition(), 0);
    Pull(module, kRate / 2);  // past the encoder's start-up
    Frames second = Pull(module, kRate);
    EXPECT_NEAR(ZeroCrossings(second.left), 880, 10);
    EXPECT_NEAR(Rms(second.left), kUpmix * 32767 * 0.125 / std::sqrt(2.0), 100);
    EXPECT_EQ(second.left, second.right);
    EXPECT_NEAR(module->GetPosition(), 1500, 1);
    module->Stop();
  }
}

TEST_F(InputPluginTest, ReachesTheLengthExactlyThenGivesSilenceUntilStopped) {
  // Each kind says its length and sounds for it, whatever its rate or its
  // encoder's priming.
  for (const char* file : {"tone_5s.opus", "tone_5s.m4a"}) {
    ASSERT_EQ(module->Open(Fixture(file).c_str()), 0);
    EXPECT_NEAR(module->GetLength(), 5000, 20) << file;
    Frames all = Pull(module, 6 * kRate);
    int64_t sound = 0;
    for (size_t i = 0; i < all.left.size(); ++i) sound += all.left[i] != 0 || all.right[i] != 0;
    EXPECT_NEAR(sound, 5 * kRate, kRate / 50) << file;
    module->Stop();
  }
  ASSERT_EQ(module->Open(Fixture("tone_440.flac").c_str()), 0);
  int32_t length = module->GetLength();
  int64_t frames = 0;
  for (; module->GetPosition() < length && frames < 10 * kRate; ++frames) Pull(module, 1);
  EXPECT_EQ(frames, 4 * kRate);
  EXPECT_EQ(module->GetPosition(), length);
  Frames tail = Pull(module, 1000);
  EXPECT_EQ(Rms(tail.left) + Rms(tail.right), 0);
  EXPECT_EQ(module->GetPosition(), length);

  // A seek past the end lands on the end, and a seek back plays again.
  module->Seek(length + 5000);
  EXPECT_EQ(module->GetPosition(), length);
  module->Seek(1000);
  EXPECT_NEAR(ZeroCrossings(Pull(module, kRate).left), 880, 10);

  // A stop leaves nothing open.
  module->Stop();
  EXPECT_EQ(std::tuple(module->GetLength(), module->GetStreamInfo()), std::tuple(0, nullptr));
  Frames silence = Pull(module, 100);
  EXPECT_EQ(Rms(silence.left) + Rms(silence.right), 0);
  module->Seek(1000);  // nothing open: no effect
  EXPECT_EQ(module->GetLength(), 0);
}

TEST_F(InputPluginTest, RefusesWhatItCannotPlay) {
  test::TempFolder folder;
  folder.Write("text.flac", "This is a text file, not FLAC.\n");
  folder.Write("empty.flac", "");
  folder.Write("header_only.flac", ReadFile(Fixture("tone_440.flac")).substr(0, 60));
  std::filesystem::create_directory(folder.Path() + "sub.flac");
  for (std::string path : {folder.Path() + "missing.flac", folder.Path() + "text.flac",
                           folder.Path() + "empty.flac", folder.Path() + "header_only.flac",
                           folder.Path() + "sub.flac", std::string("http://127.0.0.1:9/y.flac"),
                           "file://" + Fixture("tone_440.flac"), std::string("")}) {
    EXPECT_EQ(module->Open(path.c_str()), 1) << path;
    EXPECT_EQ(module->GetLength(), 0) << path;
    EXPECT_EQ(Rms(Pull(module, 10).left), 0) << path;
  }
  // A failed open also closes what played before.
  ASSERT_EQ(module->Open(Fixture("tone_440.flac").c_str()), 0);
  EXPECT_EQ(module->Open((folder.Path() + "text.flac").c_str()), 1);
  EXPECT_EQ(module->GetLength(), 0);
}

// The header promises six seconds; half the file is there. The plug-in plays
// what there is, then silence up to its length, and its position tells how far
// it has really got, not the length.
TEST_F(InputPluginTest, TruncatedFilePlaysWhatItHasThenSilenceToItsLength) {
  test::TempFolder folder;
  std::string flac = ReadFile(Fixture("sweep.flac"));
  folder.Write("cut.flac", flac.substr(0, flac.size() / 2));
  ASSERT_EQ(module->Open((folder.Path() + "cut.flac").c_str()), 0);
  int32_t length = module->GetLength();
  EXPECT_EQ(length, 6000);
  Frames all = Pull(module, length * kRate / 1000);
  int32_t reached = module->GetPosition();
  EXPECT_GT(reached, 1000);
  EXPECT_LT(reached, length - 1000);
  std::vector<int16_t> had(all.left.begin(), all.left.begin() + (reached - 100) * kRate / 1000);
  EXPECT_LT(WorstSweepError(had), 4);
  std::vector<int16_t> after(all.left.begin() + (reached + 1) * kRate / 1000, all.left.end());
  EXPECT_EQ(Rms(after), 0);
  EXPECT_EQ(module->GetPosition(), reached);
}

// The stream thread pulls while the user-interface thread seeks and reads the position.
TEST_F(InputPluginTest, SeeksWhileTheStreamThreadPulls) {
  ASSERT_EQ(module->Open(Fixture("sweep.flac").c_str()), 0);
  std::atomic<bool> done{false};
  std::atomic<int64_t> pulled{0};
  std::thread stream([&] {
    while (!done) {
      int32_t l, r;
      module->GetSample(&l, &r);
      ++pulled;
    }
  });
  for (int i = 0; i < 200; ++i) {
    module->Seek((i * 337) % 6000);
    int32_t position = module->GetPosition();
    EXPECT_GE(position, 0);
    EXPECT_LE(position, 6000);
  }
  done = true;
  stream.join();
  EXPECT_GT(pulled.load(), 0);
}

// True when the field is terminated within its 100 bytes and is whole UTF-8.
bool WholeUtf8(const char (&field)[QMB_TAG_FIELD_SIZE]) {
  size_t length = strnlen(field, QMB_TAG_FIELD_SIZE);
  if (length == QMB_TAG_FIELD_SIZE) return false;
  for (size_t i = 0; i < length;) {
    auto lead = static_cast<unsigned char>(field[i]);
    size_t size = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
    if (i + size > length) return false;
    for (size_t k = 1; k < size; ++k)
      if ((static_cast<unsigned char>(field[i + k]) & 0xC0) != 0x80) return false;
    i += size;
  }
  return true;
}

bool AllFieldsWhole(const QmbTagRecord& r) {
  for (auto* field : {&r.genre, &r.artist, &r.album, &r.songName, &r.year, &r.copyright, &r.comment,
                      &r.track, &r.mood, &r.rating, &r.length})
    if (!WholeUtf8(*field)) return false;
  return true;
}

TEST(TagPluginTable, ClaimsAudioByExtensionAndNothingByPattern) {
  QmbFileModule* module = TagPlugin();
  ASSERT_NE(module, nullptr);
  EXPECT_STREQ(module->description, "Qumble Tag Reader (TagLib)");
  EXPECT_STREQ(module->pattern, "");
  for (const char* ext : {"mp3", "ogg", "wma", "wav", "flac", "m4a", "opus"})
    EXPECT_NE(std::strstr(module->extensions, ext), nullptr) << ext;
  EXPECT_EQ(module->Init(nullptr, nullptr), 0);
  ASSERT_NE(module->ReadTag, nullptr);
#ifdef QMB_TAG_DIALOG
  EXPECT_NE(module->Properties, nullptr);
#else
  EXPECT_EQ(module->Properties, nullptr);  // no dialog without the Qt user interface
#endif
}

constexpr const char* kTagged[] = {"tagged.mp3", "tagged.flac", "tagged.ogg", "tagged.opus",
                                   "tagged.m4a", "tagged.wav",  "tagged.wma"};

class TaggedFile : public testing::TestWithParam<const char*> {};

TEST_P(TaggedFile, FillsTheRecord) {
  QmbTagRecord* r = TagPlugin()->ReadTag(Fixture(GetParam()).c_str());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ((std::vector<std::string>{r->artist, r->songName, r->album, r->track, r->year, r->genre,
                                      r->comment}),
            (std::vector<std::string>{"Test Artist", "Test Title", "Test Album", "3", "2024",
                                      "Rock", "Made here"}));
  EXPECT_NEAR(std::atoi(r->length), 4000, 120);
  EXPECT_TRUE(AllFieldsWhole(*r));
}

INSTANTIATE_TEST_SUITE_P(Formats, TaggedFile, testing::ValuesIn(kTagged), test::ExtensionName);

TEST(TagPlugin, UntaggedAudioStillGivesItsLength) {
  QmbTagRecord* r = TagPlugin()->ReadTag(Fixture("tone_440.flac").c_str());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::tuple(std::string(r->artist), std::string(r->songName), std::string(r->length)),
            std::tuple("", "", "4000"));
}

TEST(TagPlugin, CutsLongTitlesAtALetterBoundary) {
  // What fits in 99 bytes without splitting a letter.
  for (auto [file, bytes] :
       {std::pair("long_title_2.flac", 98u), std::pair("long_title_3.flac", 97u)}) {
    QmbTagRecord* record = TagPlugin()->ReadTag(Fixture(file).c_str());
    ASSERT_NE(record, nullptr) << file;
    EXPECT_EQ(std::strlen(record->songName), bytes) << file;
    EXPECT_TRUE(WholeUtf8(record->songName)) << file;
  }
}

TEST(TagPlugin, AnswersNullForWhatIsNoAudioFile) {
  test::TempFolder folder;
  std::string garbage(4096, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) >> 3);
  for (const char* name : {"garbage.mp3", "garbage.flac", "noext"}) folder.Write(name, garbage);
  folder.Write("empty.ogg", "");
  folder.Write("text.flac", "This is a text file, not FLAC.\n");
  std::filesystem::create_directory(folder.Path() + "folder.mp3");
  for (const char* name :
       {"garbage.mp3", "garbage.flac", "empty.ogg", "text.flac", "noext", "folder.mp3", "gone.mp3"})
    EXPECT_EQ(TagPlugin()->ReadTag((folder.Path() + name).c_str()), nullptr) << name;
  EXPECT_EQ(TagPlugin()->ReadTag(""), nullptr);
  EXPECT_EQ(TagPlugin()->ReadTag(nullptr), nullptr);
}

// Cut copies of every tagged file, some mid-tag, some mid-audio: a record or null, never a crash.
TEST(TagPlugin, SurvivesTruncatedAndDamagedFiles) {
  test::TempFolder folder;
  for (const char* name : kTagged) {
    std::string whole = ReadFile(Fixture(name));
    ASSERT_FALSE(whole.empty()) << name;
    std::string damaged = whole;
    for (size_t i = 10; i < damaged.size(); i += 97) damaged[i] = static_cast<char>(~damaged[i]);
    for (const std::string& bytes :
         {whole.substr(0, 4), whole.substr(0, 40), whole.substr(0, 200), whole.substr(0, 1500),
          whole.substr(0, whole.size() / 2), damaged}) {
      folder.Write(name, bytes);
      QmbTagRecord* record = TagPlugin()->ReadTag((folder.Path() + name).c_str());
      EXPECT_TRUE(!record || AllFieldsWhole(*record))
          << name << (bytes == damaged ? " damaged" : " cut at " + std::to_string(bytes.size()));
    }
  }
}

}  // namespace
}  // namespace qmb
