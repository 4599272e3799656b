// The status table and what ShowErrorCode shows.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/status_codes.h"
#include "scripted_desktop.h"

namespace qmb {
namespace {

TEST(ShowErrorCode, SuccessShowsNothing) {
  test::ScriptedDesktop desktop;
  ShowErrorCode(1);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST(ShowErrorCode, ShowsTheTextInAnErrorBoxWithOk) {
  test::ScriptedDesktop desktop;
  ShowErrorCode(16);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "Cannot add unsupported files to the playlist.");
  EXPECT_EQ(desktop.messages[0].caption, "Error");
  EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::Ok);
}

TEST(ShowErrorCode, UnknownCodesShowAnEmptyBox) {
  test::ScriptedDesktop desktop;
  for (int code : {0, 27, -5, 1000}) ShowErrorCode(code);
  ASSERT_EQ(desktop.messages.size(), 4u);
  for (auto& m : desktop.messages) {
    EXPECT_EQ(m.text, "");
    EXPECT_EQ(m.caption, "Error");
  }
}

TEST(StatusMessage, KeepsTheProgramsOwnTexts) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {2, "The requested operation cannot be completed becuase you have no plug-ins."},
      {5, "An error occured while opening the file."},
      {9, "Address of specified function could not be found."},
      {22, "Error loading 'image.so', make sure it is in the app directory."},
      {23, "Error initializing the FMOD sound system engine."},
      {26, "Failed to execute property function."},
  };
  for (const Case& c : cases) EXPECT_STREQ(StatusMessage(c.code), c.text);
  for (int code = 2; code <= 26; ++code) EXPECT_STRNE(StatusMessage(code), "") << code;
}

TEST(SystemErrorText, IsTheSystemsSentenceForTheLastError) {
  errno = ENOENT;
  EXPECT_EQ(SystemErrorText(), "No such file or directory");
  EXPECT_EQ(SystemErrorText(0), "");
  for (int e = 1; e < 200; ++e) EXPECT_LE(SystemErrorText(e).size(), 199u);
}

}  // namespace
}  // namespace qmb
