// The TagLib file plug-in loaded from the program folder: tags of real files into the record.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "plugin_library.h"
#include "temp_folder.h"

namespace qmb {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TagPlugin;

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

class TaggedFile : public testing::TestWithParam<const char*> {};

TEST_P(TaggedFile, FillsTheRecord) {
  QmbTagRecord* record = TagPlugin()->ReadTag(Fixture(GetParam()).c_str());
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->artist, "Test Artist");
  EXPECT_STREQ(record->songName, "Test Title");
  EXPECT_STREQ(record->album, "Test Album");
  EXPECT_STREQ(record->track, "3");
  EXPECT_STREQ(record->year, "2024");
  EXPECT_STREQ(record->genre, "Rock");
  EXPECT_STREQ(record->comment, "Made here");
  EXPECT_NEAR(std::atoi(record->length), 4000, 120);
  EXPECT_TRUE(AllFieldsWhole(*record));
}

INSTANTIATE_TEST_SUITE_P(Formats, TaggedFile,
                         testing::Values("tagged.mp3", "tagged.flac", "tagged.ogg", "tagged.opus",
                                         "tagged.m4a", "tagged.wav", "tagged.wma"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(name.find('.') + 1);
                         });

TEST(TagPlugin, UntaggedAudioStillGivesItsLength) {
  QmbTagRecord* record = TagPlugin()->ReadTag(Fixture("tone_440.flac").c_str());
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->artist, "");
  EXPECT_STREQ(record->songName, "");
  EXPECT_STREQ(record->length, "4000");
}

TEST(TagPlugin, CutsLongTitlesAtALetterBoundary) {
  struct Case {
    const char* file;
    size_t bytes;  // what fits in 99 bytes without splitting a letter
  } cases[] = {{"long_title_2.flac", 98}, {"long_title_3.flac", 97}};
  for (const Case& c : cases) {
    QmbTagRecord* record = TagPlugin()->ReadTag(Fixture(c.file).c_str());
    ASSERT_NE(record, nullptr) << c.file;
    EXPECT_EQ(std::strlen(record->songName), c.bytes) << c.file;
    EXPECT_TRUE(WholeUtf8(record->songName)) << c.file;
  }
}

TEST(TagPlugin, AnswersNullForWhatIsNoAudioFile) {
  test::TempFolder folder;
  std::string garbage(4096, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) >> 3);
  folder.Write("garbage.mp3", garbage);
  folder.Write("garbage.flac", garbage);
  folder.Write("empty.ogg", "");
  folder.Write("text.flac", "This is a text file, not FLAC.\n");
  folder.Write("noext", garbage);
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
  for (const char* name : {"tagged.mp3", "tagged.flac", "tagged.ogg", "tagged.opus", "tagged.m4a",
                           "tagged.wav", "tagged.wma"}) {
    std::string whole = ReadFile(Fixture(name));
    ASSERT_FALSE(whole.empty()) << name;
    for (size_t cut : {size_t{4}, size_t{40}, size_t{200}, size_t{1500}, whole.size() / 2}) {
      folder.Write(name, whole.substr(0, cut));
      QmbTagRecord* record = TagPlugin()->ReadTag((folder.Path() + name).c_str());
      if (record) {
        EXPECT_TRUE(AllFieldsWhole(*record)) << name << " cut at " << cut;
      }
    }
    std::string damaged = whole;
    for (size_t i = 10; i < damaged.size(); i += 97) damaged[i] = static_cast<char>(~damaged[i]);
    folder.Write(name, damaged);
    QmbTagRecord* record = TagPlugin()->ReadTag((folder.Path() + name).c_str());
    if (record) {
      EXPECT_TRUE(AllFieldsWhole(*record)) << name << " damaged";
    }
  }
}

}  // namespace
}  // namespace qmb
