// The command tail and quote removal, texts from outside in an unknown
// encoding (as stations send their titles), and the status texts shown.
#include <gtest/gtest.h>

#include <tuple>

#include "core/command_line.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "scripted_desktop.h"

namespace qmb {
namespace {

TEST(CommandTail, SkipsTheFirstTokenAndTheWhiteSpaceAfterIt) {
  const std::pair<const char*, const char*> cases[] = {
      // clang-format off
      {"QMB", ""}, {"QMB ", ""}, {"QMB song.mp3", "song.mp3"},
      {"QMB \t\r\n song.mp3  ", "song.mp3  "},
      {"\"/opt/My Player/QMB\"   \"/music/My Song.mp3\"", "\"/music/My Song.mp3\""},
      {"/opt/QMB a.mp3 b.mp3", "a.mp3 b.mp3"}, {"\"/opt/unterminated quote", ""},
      {"/opt/Q\"M B\"X tail", "tail"},  // a quoted run inside the first token
      {"", ""}, {"   leading", "leading"},  // an empty first token ends at the first blank
      // clang-format on
  };
  for (auto [line, tail] : cases) EXPECT_EQ(CommandTail(line), tail) << line;
}

TEST(RemoveAll, CutsEveryOccurrenceIncludingOnesACutJoins) {
  EXPECT_EQ(RemoveAll("\"/music/My Song.mp3\"", "\""), "/music/My Song.mp3");
  EXPECT_EQ(RemoveAll("aabb", "ab"), "");  // "aabb" → "ab" → ""
  EXPECT_EQ(RemoveAll("xaabbyab", "ab"), "xy");
  EXPECT_EQ(RemoveAll("abc", ""), "abc");
  std::string many(1 << 20, '"');
  EXPECT_EQ(RemoveAll(many + "x" + many, "\""), "x");
}

TEST(JoinCommandLine, QuotesAProgramPathWithBlanks) {
  const char* plain[] = {"/opt/QMB/QMB", "/music/a b.mp3"};
  EXPECT_EQ(JoinCommandLine(2, plain), "/opt/QMB/QMB /music/a b.mp3");
  const char* spaced[] = {"/opt/My QMB/QMB", "x.mp3", "y.mp3"};
  EXPECT_EQ(JoinCommandLine(3, spaced), "\"/opt/My QMB/QMB\" x.mp3 y.mp3");
}

TEST(Utf8FromUtf8OrLatin1, KeepsUtf8AndReadsAnythingElseAsLatin1) {
  const std::pair<const char*, const char*> cases[] = {
      {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
      {"Caf\xE9", "Caf\xC3\xA9"},                                // Latin-1
      {"\xC3\xA9t\xE9", "\xC3\x83\xC2\xA9t\xC3\xA9"},            // mixed: all of it is Latin-1
      {"\xC3", "\xC3\x83"},                                      // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},              // a surrogate
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},  // past U+10FFFF
  };
  for (auto [in, out] : cases) EXPECT_EQ(Utf8FromUtf8OrLatin1(in), out) << in;
}

TEST(ShowErrorCode, ShowsTheTextInAnErrorBoxNothingForSuccessEmptyForUnknownCodes) {
  test::ScriptedDesktop desktop;
  for (int code : {1, 16, 0, 27, -5, 1000}) ShowErrorCode(code);
  EXPECT_EQ(desktop.Texts(), (std::vector<std::string>{
                                 "Cannot add unsupported files to the playlist.", "", "", "", ""}));
  for (auto& m : desktop.messages) {
    EXPECT_EQ(std::tie(m.caption, m.icon, m.buttons),
              std::tuple("Error", MessageIcon::Error, MessageButtons::Ok));
  }
}

TEST(StatusMessage, KeepsTheProgramsOwnTexts) {
  const std::pair<int, const char*> cases[] = {
      {2, "The requested operation cannot be completed becuase you have no plug-ins."},
      {5, "An error occured while opening the file."},
      {9, "Address of specified function could not be found."},
      {22, "Error loading 'image.so', make sure it is in the app directory."},
      {23, "Error initializing the FMOD sound system engine."},
      {26, "Failed to execute property function."},
  };
  for (auto [code, text] : cases) EXPECT_STREQ(StatusMessage(code), text);
  for (int code = 2; code <= 26; ++code) EXPECT_STRNE(StatusMessage(code), "") << code;
}

}  // namespace
}  // namespace qmb
