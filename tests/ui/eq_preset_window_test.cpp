// The "Load Qumble Equalizer File" window on a real (offscreen) desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "core/command_ids.h"
#include "ui/eq_preset_window.h"

namespace qmb {
namespace {

TEST(EqPresetWindow, ListsTheNamesAndSendsItsCommandsAndASecondShowReplacesIt) {
  std::vector<int> sent;
  EqPresetWindow presets([&sent](int id) { sent.push_back(id); });
  // A name that is not UTF-8 still comes back as it was given.
  const std::vector<std::string> names = {"a.b", "Bass", "rock", "caf\xe9"};
  presets.Show(names);
  QPointer<QWidget> first = presets.Window();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->windowTitle(), "Load Qumble Equalizer File");
  EXPECT_EQ(first->size(), QSize(300, 200));
  const QRect work = QApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(first->frameGeometry().center().x(), work.center().x(), 2);
  QListWidget* list = presets.List();
  EXPECT_EQ(list->geometry(), QRect(5, 5, 290, 160));
  ASSERT_EQ(list->count(), 4);
  EXPECT_EQ(list->item(1)->text(), "Bass");
  EXPECT_EQ(presets.Selected(), "");

  list->setCurrentRow(3);
  EXPECT_EQ(sent, std::vector<int>{command::kPresetList});
  EXPECT_EQ(presets.Selected(), names[3]);
  auto* close = first->findChild<QPushButton*>();
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "Close");
  EXPECT_EQ(close->geometry(), QRect(195, 170, 100, 25));
  close->click();
  EXPECT_EQ(sent.back(), command::kClosePresetWindow);

  presets.Show({"only"});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull()) << "the first window is gone";
  EXPECT_EQ(presets.List()->count(), 1);
  presets.Close();
  EXPECT_EQ(presets.Window(), nullptr);
  EXPECT_EQ(presets.Selected(), "");
}

}  // namespace
}  // namespace qmb
