// Loading plug-ins from Plugins/: kinds by extension, every failure reported
// by name with no row left behind, the choice of plug-in for a path, and the
// exit calls in kind and load order.
#include <gtest/gtest.h>

#include "plugin_rig.h"

namespace qmb::test {
namespace {

using PluginLoading = PluginRig;

TEST_F(PluginLoading, EachKindLoadsByItsExtensionWhateverItsCase) {
  Install({"input_a.QIP", "dsp_a.qdp", "visual_a.qvp", "general.qgp", "file_tags.qfp"});
  folder.Write("Plugins/notes.txt", "not a plug-in");
  folder.Write("Plugins/README", "no extension");
  Load();
  EXPECT_TRUE(desktop.messages.empty());
  // Init at load for every kind but visualization, which starts on demand.
  struct Expect {
    PluginKind kind;
    const char* file;
    const char* description;
    bool ticked;
    int started;
  };
  for (const Expect& e : {Expect{kInputPlugins, "input_a.QIP", "Input A", true, 1},
                          Expect{kDspPlugins, "dsp_a.qdp", "DSP A", false, 1},
                          Expect{kVisualPlugins, "visual_a.qvp", "Visual A", false, 0},
                          Expect{kGeneralPlugins, "general.qgp", "General", false, 1},
                          Expect{kFilePlugins, "file_tags.qfp", "File Tags", true, 1}}) {
    SCOPED_TRACE(e.file);
    ASSERT_EQ(manager.registry.Count(e.kind), 1);
    const PluginListModel::Row& row = manager.registry.List(e.kind).At(0);
    EXPECT_EQ(row.description, e.description);
    EXPECT_EQ(row.fileName, e.file);
    EXPECT_EQ(row.checked, e.ticked);
    EXPECT_EQ(Probe(e.file).initCalls + Probe(e.file).startCalls, e.started);
  }
  EXPECT_EQ(Probe("general.qgp").host, &host);
}

TEST_F(PluginLoading, EveryFailureNamesTheFileAndLeavesNoRow) {
  // no_entry.* is a library without the entry, text.* plain text.
  struct Case {
    const char* file;
    PluginKind kind;
    std::vector<std::string> messageStarts;
  };
  const Case cases[] = {
      {"no_entry.qip", kInputPlugins, {"no_entry.qip is not a valid input plug-in.\r\n"}},
      {"no_entry.qdp", kDspPlugins, {"no_entry.qdp is not a valid input plug-in.\r\n"}},
      {"no_entry.qvp", kVisualPlugins, {"no_entry.qvp is not a valid visualization plug-in.\r\n"}},
      {"no_entry.qgp", kGeneralPlugins, {"no_entry.qgp is not a valid general plug-in.\r\n"}},
      {"no_entry.qfp", kFilePlugins, {"no_entry.qfp is not a valid file plug-in.\r\n"}},
      {"text.qvp",
       kVisualPlugins,
       {"text.qvp is not a valid Windows Dynamic Link Library.",
        "text.qvp is not a valid visualization plug-in.\r\n"}},
      {"input_failing.qip", kInputPlugins, {"There was an error initializing input_failing.qip."}},
      {"dsp_failing.qdp", kDspPlugins, {"There was an error initializing dsp_failing.qdp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string file = c.file;
    std::filesystem::remove_all(folder.Path() + "Plugins");
    std::filesystem::create_directories(folder.Path() + "Plugins");
    desktop.messages.clear();
    if (file.starts_with("text.")) {
      folder.Write("Plugins/" + file, "plain text, no library");
    } else {
      InstallAs(file.starts_with("no_entry.") ? "no_entry.qip" : file, file);
    }
    Load();
    EXPECT_EQ(manager.registry.Count(c.kind), 0);
    EXPECT_EQ(manager.registry.List(c.kind).Count(), 0);
    ASSERT_EQ(desktop.messages.size(), c.messageStarts.size());
    for (std::size_t i = 0; i < c.messageStarts.size(); ++i) {
      EXPECT_EQ(desktop.messages[i].text.rfind(c.messageStarts[i], 0), 0u)
          << desktop.messages[i].text;
      EXPECT_EQ(desktop.messages[i].caption, "Error");
      EXPECT_EQ(desktop.messages[i].icon, MessageIcon::Error);
    }
  }
  // A DSP Init failure ends without the full stop the input text has.
  EXPECT_EQ(desktop.messages.back().text, "There was an error initializing dsp_failing.qdp");
}

TEST_F(PluginLoading, APluginBuiltForANewerMajorVersionIsRefused) {
  // general.qgp says 1.01, general_minor.qgp 1.99, general_future.qgp 2.00;
  // input_a.QIP says nothing and counts as 1.00.
  Install({"general.qgp", "general_minor.qgp", "general_future.qgp", "input_a.QIP"});
  Load();
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, "general_future.qgp is not a valid general plug-in.");
  EXPECT_EQ(manager.registry.Count(kGeneralPlugins), 2);
  EXPECT_EQ(Row(kGeneralPlugins, "general_future.qgp"), -1);
  EXPECT_GE(Row(kGeneralPlugins, "general_minor.qgp"), 0);
  EXPECT_EQ(manager.registry.Count(kInputPlugins), 1);
}

TEST_F(PluginLoading, AFailedFileLeavesTheListsInStepWithTheSlots) {
  Install({"input_failing.qip", "input_a.QIP", "no_entry.qip", "input_b.qip"});
  Load();
  ASSERT_EQ(manager.registry.Count(kInputPlugins), 2);
  for (int row = 0; row < 2; ++row) {
    const std::string& file = manager.registry.List(kInputPlugins).At(row).fileName;
    EXPECT_TRUE(file == "input_a.QIP" || file == "input_b.qip") << file;
    EXPECT_EQ(manager.registry.Description(kInputPlugins, row),
              file == "input_a.QIP" ? "Input A" : "Input B");
  }
}

TEST_F(PluginLoading, AMissingPluginFolderLoadsNothingSilently) {
  std::filesystem::remove_all(folder.Path() + "Plugins");
  Load();
  for (int kind = 0; kind < kPluginKindCount; ++kind) {
    EXPECT_EQ(manager.registry.Count(static_cast<PluginKind>(kind)), 0);
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PluginLoading, ThePluginForAPathFollowsExtensionThenPatternOverTickedRows) {
  Install({"input_a.QIP", "input_b.qip", "input_pattern.qip"});
  Load();
  int a = Row(kInputPlugins, "input_a.QIP");
  int b = Row(kInputPlugins, "input_b.qip");
  int pattern = Row(kInputPlugins, "input_pattern.qip");
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  ASSERT_GE(pattern, 0);
  // Both claim mp3: the one loaded later plays it.
  EXPECT_EQ(FindInputPlugin(manager.registry, "/m/Song.MP3"), std::max(a, b));
  EXPECT_EQ(FindInputPlugin(manager.registry, "/m/x.own"), b);
  // The pattern claims what no extension does, and an extension beats it.
  EXPECT_EQ(FindInputPlugin(manager.registry, "TONE://host/stream.unknown"), pattern);
  EXPECT_EQ(FindInputPlugin(manager.registry, "tone://host/stream.own"), b);
  EXPECT_EQ(FindInputPlugin(manager.registry, "/m/x.wav"), -1);
  // A name without an extension and an empty pattern claim nothing.
  EXPECT_EQ(FindInputPlugin(manager.registry, "/m/mp3/README"), -1);
  // A cleared tick takes a plug-in out of the choice.
  manager.registry.List(kInputPlugins).SetChecked(std::max(a, b), false);
  EXPECT_EQ(FindInputPlugin(manager.registry, "/m/Song.mp3"), std::min(a, b));
  manager.registry.List(kInputPlugins).SetChecked(pattern, false);
  EXPECT_EQ(FindInputPlugin(manager.registry, "tone://host/stream.unknown"), -1);
}

TEST_F(PluginLoading, ExitCallsGoKindByKindInLoadOrder) {
  Install({"file_tags.qfp", "general.qgp", "visual_a.qvp", "visual_b.qvp", "dsp_a.qdp",
           "input_a.QIP", "input_b.qip"});
  Load();
  std::string expected;
  for (PluginKind kind :
       {kInputPlugins, kDspPlugins, kVisualPlugins, kGeneralPlugins, kFilePlugins}) {
    const PluginListModel& list = manager.registry.List(kind);
    for (int row = 0; row < list.Count(); ++row) expected += list.At(row).description + "\n";
  }
  manager.Unload();
  EXPECT_EQ(folder.Read("exit.log"), expected);
  EXPECT_EQ(manager.registry.Count(kInputPlugins), 0);
  EXPECT_EQ(manager.registry.List(kVisualPlugins).Count(), 0);
}

}  // namespace
}  // namespace qmb::test
