// The command tail, quote removal and the program folder.
#include <gtest/gtest.h>

#include "core/command_line.h"

namespace qmb {
namespace {

TEST(CommandTail, SkipsTheFirstTokenAndTheWhiteSpaceAfterIt) {
  struct Case {
    const char* line;
    const char* tail;
  } cases[] = {
      // clang-format off
      {"QMB", ""}, {"QMB ", ""}, {"QMB song.mp3", "song.mp3"},
      {"QMB \t\r\n song.mp3  ", "song.mp3  "},
      {"\"/opt/My Player/QMB\"   \"/music/My Song.mp3\"", "\"/music/My Song.mp3\""},
      {"/opt/QMB a.mp3 b.mp3", "a.mp3 b.mp3"}, {"\"/opt/unterminated quote", ""},
      {"/opt/Q\"M B\"X tail", "tail"},  // a quoted run inside the first token
      {"", ""}, {"   leading", "leading"},  // an empty first token ends at the first blank
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(CommandTail(c.line), c.tail) << c.line;
}

TEST(RemoveAll, CutsEveryOccurrenceIncludingOnesACutJoins) {
  EXPECT_EQ(RemoveAll("\"/music/My Song.mp3\"", "\""), "/music/My Song.mp3");
  EXPECT_EQ(RemoveAll("no quotes", "\""), "no quotes");
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
  std::string line = JoinCommandLine(3, spaced);
  EXPECT_EQ(line, "\"/opt/My QMB/QMB\" x.mp3 y.mp3");
  EXPECT_EQ(CommandTail(line), "x.mp3 y.mp3");
}

TEST(ProgramFolder, IsTheExecutablesFolderEndingInASlash) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(FolderOfPath("/a/b/c.mp3"), "/a/b/");
  EXPECT_EQ(FolderOfPath("c.mp3"), "");
}

}  // namespace
}  // namespace qmb
