// The status table and what ShowErrorCode shows.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/status_codes.h"
#include "scripted_desktop.h"

namespace qmb {
namespace {

TEST(ShowErrorCode, ShowsTheTextInAnErrorBoxNothingForSuccessEmptyForUnknownCodes) {
  test::ScriptedDesktop desktop;
  for (int code : {1, 16, 0, 27, -5, 1000}) ShowErrorCode(code);
  EXPECT_EQ(desktop.Texts(), (std::vector<std::string>{
                                 "Cannot add unsupported files to the playlist.", "", "", "", ""}));
  for (auto& m : desktop.messages) {
    EXPECT_EQ(m.caption, "Error");
    EXPECT_EQ(m.icon, MessageIcon::Error);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
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
