// The one-click shapes through the sliders, and the preset files as the
// preset window lists, loads and saves them.
#include "eq/eq_presets.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <optional>

#include "scripted_desktop.h"
#include "temp_folder.h"

namespace qmb::test {
namespace {

// What the shapes asked of the sliders, band by band.
struct Sliders {
  EqBands values{};
  int calls = 0;
  SetEqSlider Set() {
    return [this](int band, float value) {
      values[band] = value;
      ++calls;
    };
  }
};

EqBands Bands(std::initializer_list<float> first, float rest) {
  EqBands b;
  b.fill(rest);
  std::copy(first.begin(), first.end(), b.begin());
  return b;
}

TEST(EqShapes, RaiseAndLowerMoveEveryBandTwoWholeUnitsOrNothing) {
  struct Case {
    const char* what;
    bool up;
    EqBands start;
    std::optional<EqBands> after;  // nothing: no slider is touched
  } cases[] = {
      {"a band at 28.5 blocks a raise", true, Bands({28.5f}, 10), std::nullopt},
      {"28 is allowed and becomes 30", true, Bands({28, 20.6f, 0}, 10), Bands({30, 22, 2}, 12)},
      {"a band at 1 blocks a lower", false, Bands({1}, 10), std::nullopt},
      {"exactly 2 is allowed and becomes 0", false, Bands({2, 20.6f, 30}, 10),
       Bands({0, 18, 28}, 8)},
  };
  for (const Case& c : cases) {
    Sliders s;
    s.values = c.start;
    ShiftEq(c.up, c.start, s.Set());
    EXPECT_EQ(s.calls, c.after ? kEqBandCount : 0) << c.what;
    EXPECT_EQ(s.values, c.after.value_or(c.start)) << c.what;
  }
}

TEST(EqShapes, NormalizeSavesTenFifteensAndRandomizeGivesWholeValuesFromFiveTo24) {
  TempFolder folder;
  Sliders s;
  s.values = Bands({3, 29.5f}, 7);
  NormalizeEq(s.Set());
  SaveEqPreset(folder.Path() + "flat.qeq", s.values);
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += std::string("\x00\x00\x70\x41", 4);  // 15.0f
  EXPECT_EQ(folder.Read("flat.qeq"), ten);

  ScriptedDesktop desktop;
  std::vector<EqBands> shapes;
  for (std::int64_t upTime : {1000, 1001}) {
    desktop.upTimeMs = upTime;
    Sliders r;
    RandomizeEq(r.Set());
    ASSERT_EQ(r.calls, kEqBandCount);
    for (float v : r.values) EXPECT_TRUE(v == std::trunc(v) && v >= 5 && v <= 24) << v;
    shapes.push_back(r.values);
  }
  EXPECT_NE(shapes[0], shapes[1]) << "two clicks within one second give two shapes";
}

TEST(EqPresetFiles, ShortMissingAndLongFilesLoadAsTheyShould) {
  TempFolder folder;
  std::string whole;
  for (int i = 0; i < 12; ++i) whole += std::string("\x00\x00", 2) + char(0x80 + i) + '\x41';
  auto value = [](int i) { return 16.0f + 2.0f * static_cast<float>(i) / 16; };
  folder.Write("short.qeq", whole.substr(0, 20));
  folder.Write("long.qeq", whole);
  struct Case {
    const char* file;
    int fromFile;  // bands read from the file; the rest are 0
  } cases[] = {{"short.qeq", 5}, {"long.qeq", 10}, {"gone.qeq", 0}};
  for (const Case& c : cases) {
    Sliders s;
    s.values.fill(9);
    EqBands expected{};
    for (int band = 0; band < c.fromFile; ++band) expected[band] = value(band);
    EXPECT_EQ(LoadEqPreset(folder.Path() + c.file, true, s.Set()), expected) << c.file;
    EXPECT_EQ(s.values, expected) << c.file;
    EXPECT_EQ(s.calls, kEqBandCount) << c.file;
  }
}

TEST(EqPresetFiles, TheListShowsNamesThatLoadFromTheirOwnFileAndSavesStartInQeq) {
  TempFolder program;
  std::filesystem::create_directories(program.Path() + "QEQ/folder.qeq");
  for (const char* name : {"rock.qeq", "a.b.qeq", "Bass.qeq", "notes.txt", "LOUD.QEQ", "qeq"})
    program.Write(std::string("QEQ/") + name, std::string(40, '\0'));
  EXPECT_EQ(ListEqPresets(program.Path()), (std::vector<std::string>{"a.b", "Bass", "rock"}));
  EXPECT_EQ(EqPresetPath(program.Path(), "a.b"), program.Path() + "QEQ/a.b.qeq");

  // A name typed without ".qeq" is saved as typed; a cancel writes nothing.
  ScriptedDesktop desktop;
  desktop.fileChoices.push_back({program.Path() + "QEQ/mine"});
  EqBands bands = Bands({0, 30, 15.5f}, 12);
  SaveEqPresetDialog(program.Path(), bands);
  SaveEqPresetDialog(program.Path(), bands);
  ASSERT_EQ(desktop.fileDialogs.size(), 2u);
  const auto& d = desktop.fileDialogs[0];
  EXPECT_EQ(d.title + "|" + d.filter + "|" + d.initialFolder + "|" + d.defaultExtension,
            "Save QEQ File|Qumble Eq Files (*.qeq)|" + program.Path() + "QEQ/|");
  EXPECT_EQ(LoadEqPreset(program.Path() + "QEQ/mine", false, nullptr), bands);
  EXPECT_EQ(ListEqPresets(program.Path()).size(), 3u);
}

// A socket is there but cannot be opened as a file, even by root.
TEST(EqPresetFilesDeathTest, APresetThatIsThereButCannotBeOpenedEndsTheProgram) {
  TempFolder folder;
  std::string path = folder.Path() + "socket.qeq";
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EXIT(LoadEqPreset(path, true, nullptr), ::testing::ExitedWithCode(1),
              "Can't open file " + path);
  EXPECT_EXIT(SaveEqPreset(folder.Path() + "no/such/folder.qeq", {}), ::testing::ExitedWithCode(1),
              "Can't open file");
  ::close(fd);
}

}  // namespace
}  // namespace qmb::test
