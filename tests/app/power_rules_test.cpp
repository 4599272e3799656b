// The two power rules and the orderly shutdown they can start.
#include <gtest/gtest.h>

#include "app/shutdown.h"
#include "core/player_core.h"
#include "player_core_setup.h"
#include "temp_folder.h"

namespace qmb {
namespace {

class PowerRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::SetUpPlayerCore(ThePlayer(), folder.Path()); }
  void Rule(int rule, int state, int action) {
    ThePlayer().panel.batteryState[rule].Select(state);
    ThePlayer().panel.batteryAction[rule].Select(action);
  }
  test::TempFolder folder;
  std::vector<std::string> done;
  PowerActions actions{[this] { done.push_back("stop"); }};
};

TEST_F(PowerRulesTest, BothRulesForAStateRunInOrder) {
  Rule(0, 0, 2);  // Low: Save Settings
  Rule(1, 0, 3);  // Low: Stop playback
  ThePlayer().state.windowX = 77;
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_EQ(done, std::vector<std::string>{"stop"});
  ASSERT_TRUE(folder.Exists("qmb.dat"));
  EXPECT_EQ(folder.Read("qmb.dat")[520], 77);
}

TEST_F(PowerRulesTest, ARuleForAnotherStateOrDoNothingActsNot) {
  Rule(0, 1, 3);  // Critical: Stop playback
  Rule(1, 0, 0);  // Low: Do Nothing
  ApplyPowerRules(0, ThePlayer(), actions);
  EXPECT_TRUE(done.empty());
  EXPECT_FALSE(folder.Exists("qmb.dat"));
  ApplyPowerRules(1, ThePlayer(), actions);
  EXPECT_EQ(done.size(), 1u);
}

using PowerRulesDeathTest = PowerRulesTest;

TEST_F(PowerRulesDeathTest, ShutdownQmbSavesEverythingAndEndsWithCodeZero) {
  Rule(1, 1, 1);  // Critical: Shutdown QMB
  ThePlayer().panel.fileTypes.Append(".ogg");
  EXPECT_EXIT(ApplyPowerRules(1, ThePlayer(), actions), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(folder.Read("qmb.dat").size(), 704u);
  EXPECT_EQ(folder.Read("QMB.typ"), ".ogg\n");
}

}  // namespace
}  // namespace qmb
