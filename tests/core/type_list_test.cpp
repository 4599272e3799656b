// The type list file: reading lines into the list and writing it back.
#include <gtest/gtest.h>

#include "core/control_models.h"
#include "core/type_list.h"
#include "temp_folder.h"

namespace qmb {
namespace {

std::vector<std::string> ReadList(const test::TempFolder& folder) {
  StringListModel list;
  ReadTypeList(folder.Path() + "QMB.typ", list);
  return list.Items();
}

TEST(TypeList, ReadsTheFirstWordOfEveryLine) {
  using V = std::vector<std::string>;
  struct Case {
    std::string content;
    V items;
  } cases[] = {
      // clang-format off
      {".mp3\n.ogg\n.wav\n", V{".mp3", ".ogg", ".wav"}}, {".mp3 and more words\n", V{".mp3"}},
      {"  .ogg\t\n", V{".ogg"}}, {".mp3\r\n.ogg\r\n", V{".mp3", ".ogg"}},
      {".mp3\n.ogg", V{".mp3", ".ogg"}},  // the last line counts without its line end
      {".mp3\n\n.ogg\n", V{".mp3", "", ".ogg"}}, {"", V{}},
      {".mp3 " + std::string(3 << 20, 'x') + "\n.ogg\n", V{".mp3", ".ogg"}},
      // clang-format on
      // A zero byte ends the word as it ends a C string; the line still counts once.
      {std::string(".mp3\0x y\n.ogg\n", 14), V{".mp3", ".ogg"}},
  };
  test::TempFolder folder;
  EXPECT_TRUE(ReadList(folder).empty()) << "no file";
  for (const Case& c : cases) {
    folder.Write("QMB.typ", c.content);
    EXPECT_EQ(ReadList(folder), c.items) << c.content.substr(0, 40);
  }
}

TEST(TypeList, WrittenBackTheFileIsIdentical) {
  test::TempFolder folder;
  folder.Write("QMB.typ", ".mp3\n.ogg\n.wav\n");
  StringListModel list;
  ReadTypeList(folder.Path() + "QMB.typ", list);
  WriteTypeList(folder.Path() + "QMB.typ", list);
  EXPECT_EQ(folder.Read("QMB.typ"), ".mp3\n.ogg\n.wav\n");

  list.Append("  .flac  ");
  WriteTypeList(folder.Path() + "QMB.typ", list);
  EXPECT_EQ(folder.Read("QMB.typ"), ".mp3\n.ogg\n.wav\n.flac\n");
}

TEST(TypeListDeathTest, UnreadableFileEndsWithCodeOne) {
  test::TempFolder folder;
  std::filesystem::create_directory(folder.Path() + "QMB.typ");
  StringListModel list;
  EXPECT_EXIT(ReadTypeList(folder.Path() + "QMB.typ", list), ::testing::ExitedWithCode(1),
              "Can't open file .*QMB\\.typ");
}

}  // namespace
}  // namespace qmb
