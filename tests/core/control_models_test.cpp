// The control models behave as the controls they stand for.
#include <gtest/gtest.h>

#include "core/control_models.h"

namespace qmb {
namespace {

TEST(TrackbarModel, ClampsToItsRangeAndSignalsChanges) {
  TrackbarModel bar(110, 640);
  int changes = 0;
  bar.changed.Connect([&] { ++changes; });
  bar.SetPosition(441);
  bar.SetPosition(441);
  EXPECT_EQ(changes, 1);
  bar.SetPosition(5000);
  EXPECT_EQ(bar.Position(), 640);
  bar.SetPosition(-1);
  EXPECT_EQ(bar.Position(), 110);
}

TEST(ComboModel, AnIndexOutsideTheListShowsNoSelection) {
  ComboModel combo;
  combo.SetItems({"a", "b", "c"});
  combo.Select(1);
  EXPECT_EQ(combo.Selection(), 1);
  combo.Select(3);
  EXPECT_EQ(combo.Selection(), -1);
  EXPECT_EQ(combo.HeldSelection(), -1);
  combo.Select(-1);
  EXPECT_EQ(combo.Selection(), -1);
}

TEST(ComboModel, AnEmptyListHoldsTheIndexUntilItemsArrive) {
  ComboModel devices;
  devices.Select(2);
  EXPECT_EQ(devices.Selection(), -1);
  EXPECT_EQ(devices.HeldSelection(), 2);
  devices.AddItem("first");
  EXPECT_EQ(devices.Selection(), -1);
  devices.AddItem("second");
  devices.AddItem("third");
  EXPECT_EQ(devices.Selection(), 2);
  // Refilling keeps a selection the new list can show.
  devices.Clear();
  EXPECT_EQ(devices.HeldSelection(), 2);
  devices.SetItems({"only"});
  EXPECT_EQ(devices.Selection(), -1);
}

TEST(ChangeSignal, HandlersMayDisconnectWhileRunning) {
  ChangeSignal signal;
  int calls = 0;
  int id = 0;
  id = signal.Connect([&] {
    ++calls;
    signal.Disconnect(id);
  });
  signal.Emit();
  signal.Emit();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qmb
