// File-type association with private XDG folders, the system's shared MIME
// database, and the real xdg-mime and desktop-file-validate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "command_output.h"
#include "scripted_desktop.h"
#include "services/file_association.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

class FileAssociationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    xdg.dataHome = home.Path() + "data";
    xdg.configHome = home.Path() + "config";
    xdg.dataDirs = {"/usr/share"};
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", xdg.dataHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", xdg.configHome.c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    // Another player the user has, for the types it takes over.
    std::filesystem::create_directories(xdg.dataHome + "/applications");
    std::filesystem::create_directories(xdg.configHome);
    home.Write("data/applications/other.desktop",
               "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %f\n");
    // xdg-mime names only entries whose program exists.
    std::filesystem::create_directories(program);
    std::filesystem::copy_file("/bin/true", program + "QMB");
  }
  std::string Default(const std::string& mime) {
    return Output("xdg-mime query default " + mime + " 2>&1");
  }
  std::string MimeApps() { return home.Read("config/mimeapps.list"); }
  void Add(const std::string& type) {
    newType.SetText(type);
    AddType(newType, types, program, xdg);
  }

  TempFolder home;
  XdgFolders xdg;
  ScriptedDesktop desktop;
  EditModel newType;
  StringListModel types;
  const std::string program = home.Path() + "program/";
};

TEST_F(FileAssociationTest, AddTypeMakesThePlayerTheDefaultAndDeleteTypeGivesItBack) {
  home.Write("config/mimeapps.list",
             "[Default Applications]\naudio/x-wav=other.desktop;\n\n[Added Associations]\n"
             "text/plain=other.desktop;\n");
  EXPECT_NE(Default("audio/ogg"), kDesktopEntryName);
  Add(" .ogg ");
  Add(".wav");
  EXPECT_EQ(types.Items(), (std::vector<std::string>{".ogg", ".wav"}));
  for (const char* mime : {"audio/ogg", "audio/x-vorbis+ogg", "audio/x-wav"})
    EXPECT_EQ(Default(mime), kDesktopEntryName) << mime;
  // Videos in Ogg stay with whoever plays them.
  EXPECT_NE(Default("video/ogg"), kDesktopEntryName);
  std::string entry = xdg.dataHome + "/applications/" + kDesktopEntryName;
  EXPECT_EQ(Output("desktop-file-validate " + entry + " 2>&1"), "");
  EXPECT_NE(home.Read("data/applications/qumble-player.desktop").find("Exec=" + program + "QMB %f"),
            std::string::npos);

  DeleteType(types, 1, xdg);
  DeleteType(types, 0, xdg);
  EXPECT_TRUE(types.Items().empty());
  EXPECT_NE(Default("audio/ogg"), kDesktopEntryName);
  EXPECT_EQ(Default("audio/x-wav"), "other.desktop");
  EXPECT_NE(MimeApps().find("text/plain=other.desktop;"), std::string::npos);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(FileAssociationTest, ATypeAnotherProgramTookOverIsLeftAloneWithTheMessage) {
  Add(".mp3");
  ASSERT_EQ(Default("audio/mpeg"), kDesktopEntryName);
  Output("xdg-mime default other.desktop audio/mpeg");
  ASSERT_EQ(Default("audio/mpeg"), "other.desktop");
  std::string before = MimeApps();
  DeleteType(types, 0, xdg);
  EXPECT_EQ(MimeApps(), before);
  EXPECT_TRUE(types.Items().empty());
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, kNoLongerAssociatedText);
  EXPECT_EQ(desktop.messages[0].caption, "Attention");
}

TEST_F(FileAssociationTest, ATypeWithoutAMimeTypeIsNeitherAssociatedNorListed) {
  Add(".qqqz");
  Add("   ");
  EXPECT_TRUE(types.Items().empty());
  EXPECT_FALSE(home.Exists("config/mimeapps.list"));
  EXPECT_EQ(desktop.messages.size(), 1u);
}

}  // namespace
}  // namespace qmb::test
