// Loading plug-ins from Plugins/: kinds by extension, every failure reported
// by name with no row left behind, the choice of plug-in for a path, and the
// exit calls in kind and load order.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "plugin_rig.h"

namespace qmb::test {
namespace {

using PluginLoading = PluginRig;

TEST_F(PluginLoading, EachKindLoadsByItsExtensionWhateverItsCase) {
  folder.Write("Plugins/notes.txt", "not a plug-in");
  folder.Write("Plugins/README", "no extension");
  Load({"input_a.QIP", "dsp_a.qdp", "visual_a.qvp", "general.qgp", "file_tags.qfp"});
  EXPECT_TRUE(desktop.messages.empty());
  // Init at load for every kind but visualization, which starts on demand.
  const std::tuple<PluginKind, std::string, std::string, bool, int> rows[] = {
      {kInputPlugins, "input_a.QIP", "Input A", true, 1},
      {kDspPlugins, "dsp_a.qdp", "DSP A", false, 1},
      {kVisualPlugins, "visual_a.qvp", "Visual A", false, 0},
      {kGeneralPlugins, "general.qgp", "General", false, 1},
      {kFilePlugins, "file_tags.qfp", "File Tags", true, 1}};
  for (const auto& [kind, file, description, ticked, started] : rows) {
    ASSERT_EQ(manager.registry.Count(kind), 1) << file;
    const PluginListModel::Row& row = manager.registry.List(kind).At(0);
    EXPECT_EQ(std::tie(row.description, row.fileName, row.checked),
              std::tie(description, file, ticked));
    EXPECT_EQ(Probe(file).initCalls + Probe(file).startCalls, started) << file;
  }
  EXPECT_EQ(Probe("general.qgp").host, &host);
}

TEST_F(PluginLoading, EveryFailureNamesTheFileAndLeavesNoRow) {
  // no_entry.* is a library without the entry, text.* plain text.
  const std::tuple<std::string, PluginKind, std::vector<std::string>> cases[] = {
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
  for (const auto& [file, kind, messageStarts] : cases) {
    SCOPED_TRACE(file);
    std::filesystem::remove_all(folder.Path() + "Plugins");
    std::filesystem::create_directories(folder.Path() + "Plugins");
    desktop.messages.clear();
    if (file.starts_with("text."))
      folder.Write("Plugins/" + file, "plain text, no library");
    else
      InstallAs(file.starts_with("no_entry.") ? "no_entry.qip" : file, file);
    Load();
    EXPECT_EQ(std::tuple(manager.registry.Count(kind), manager.registry.List(kind).Count()),
              std::tuple(0, 0));
    ASSERT_EQ(desktop.messages.size(), messageStarts.size());
    for (std::size_t i = 0; i < messageStarts.size(); ++i) {
      const test::ShownMessage& m = desktop.messages[i];
      EXPECT_TRUE(m.text.starts_with(messageStarts[i])) << m.text;
      EXPECT_EQ(std::tie(m.caption, m.icon), std::tuple("Error", MessageIcon::Error));
    }
  }
  // A DSP Init failure ends without the full stop the input text has.
  EXPECT_EQ(desktop.messages.back().text, "There was an error initializing dsp_failing.qdp");
}

TEST_F(PluginLoading, APluginBuiltForANewerMajorVersionIsRefused) {
  // general.qgp says 1.01, general_minor.qgp 1.99, general_future.qgp 2.00;
  // input_a.QIP says nothing and counts as 1.00.
  Load({"general.qgp", "general_minor.qgp", "general_future.qgp", "input_a.QIP"});
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>{"general_future.qgp is not a valid general plug-in."});
  EXPECT_EQ(manager.registry.Count(kGeneralPlugins), 2);
  EXPECT_EQ(Row(kGeneralPlugins, "general_future.qgp"), -1);
  EXPECT_GE(Row(kGeneralPlugins, "general_minor.qgp"), 0);
  EXPECT_EQ(manager.registry.Count(kInputPlugins), 1);
}

TEST_F(PluginLoading, AFailedFileLeavesTheListsInStepWithTheSlots) {
  Load({"input_failing.qip", "input_a.QIP", "no_entry.qip", "input_b.qip"});
  std::multiset<std::pair<std::string, std::string>> rows;
  for (int row = 0; row < manager.registry.Count(kInputPlugins); ++row)
    rows.emplace(manager.registry.List(kInputPlugins).At(row).fileName,
                 manager.registry.Description(kInputPlugins, row));
  EXPECT_EQ(rows, (std::multiset<std::pair<std::string, std::string>>{{"input_a.QIP", "Input A"},
                                                                      {"input_b.qip", "Input B"}}));
}

TEST_F(PluginLoading, AMissingPluginFolderLoadsNothingSilently) {
  std::filesystem::remove_all(folder.Path() + "Plugins");
  Load();
  for (int kind = 0; kind < kPluginKindCount; ++kind)
    EXPECT_EQ(manager.registry.Count(static_cast<PluginKind>(kind)), 0) << kind;
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(PluginLoading, ThePluginForAPathFollowsExtensionThenPatternOverTickedRows) {
  Load({"input_a.QIP", "input_b.qip", "input_pattern.qip"});
  int a = Row(kInputPlugins, "input_a.QIP");
  int b = Row(kInputPlugins, "input_b.qip");
  int pattern = Row(kInputPlugins, "input_pattern.qip");
  ASSERT_GE(std::min({a, b, pattern}), 0);
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
}

TEST_F(PluginLoading, ExitCallsGoKindByKindInLoadOrder) {
  Load({"file_tags.qfp", "general.qgp", "visual_a.qvp", "visual_b.qvp", "dsp_a.qdp", "input_a.QIP",
        "input_b.qip"});
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
