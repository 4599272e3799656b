// The window and control factories on a real (offscreen) desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <memory>

#include "ui/control_factory.h"

namespace qmb {
namespace {

TEST(CreateTopWindow, GivesTheAskedClientSizeAtTheAskedPlaceTimesTheScale) {
  std::unique_ptr<QWidget> window(CreateTopWindow("Test", 40, 50, 300, 140, 0, 0));
  EXPECT_EQ(QRect(window->pos(), window->size()), QRect(40, 50, 300, 140));
  EXPECT_EQ(window->windowTitle(), "Test");
  EXPECT_FALSE(window->isVisible()) << "shown by its owner when ready";
  EXPECT_EQ(WindowStyleOf(window.get(), false), kStyleDefaultTop);
  EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint);
  TheFactoryScale() = FactoryScale{2.0, 0.5};
  window.reset(CreateTopWindow("", 10, 10, 100, 100, kStylePopup, 0));
  TheFactoryScale() = FactoryScale{};
  EXPECT_EQ(QRect(window->pos(), window->size()), QRect(20, 5, 200, 50));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << "a pop-up has no caption";
}

TEST(SetWindowStyleBits, AddsAndRemovesWithoutMovingTheWindow) {
  std::unique_ptr<QWidget> window(CreateTopWindow("", 30, 30, 120, 80, kStylePopup, 0));
  window->show();
  EXPECT_TRUE(SetWindowStyleBits(window.get(), kExTopmost | kExAcceptFiles, 0, true));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry().size(), QSize(120, 80));
  EXPECT_TRUE(SetWindowStyleBits(window.get(), 0, kExTopmost, true));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(WindowStyleOf(window.get(), true), static_cast<std::uint32_t>(kExAcceptFiles));
  EXPECT_FALSE(SetWindowStyleBits(nullptr, 1, 0, false));
}

TEST(CenterWindow, KeepsAWindowByTheScreenEdgeOnScreen) {
  QRect screen = QApplication::primaryScreen()->geometry();
  std::unique_ptr<QWidget> reference(
      CreateTopWindow("", screen.width() - 50, 100, 100, 100, kStylePopup, 0));
  std::unique_ptr<QWidget> window(CreateTopWindow("", 0, 0, 300, 200, kStylePopup, 0));
  CenterWindow(window.get(), reference.get(), nullptr);
  EXPECT_EQ(window->x() + window->width(), screen.width());
  EXPECT_EQ(window->y(), 100 + (100 - 200) / 2);
}

TEST(ChildControls, TakeTheirIdTheDefaultFontAndTheirDefaults) {
  QWidget parent;
  QPushButton* sized = CreateButton("Restore Defaults", &parent, 4010, 5, 6, 0, 0);
  EXPECT_GT(sized->width(), QFontMetrics(sized->font()).horizontalAdvance("Restore Defaults"));
  EXPECT_EQ(ControlId(sized), 4010);
  EXPECT_EQ(sized->font(), QApplication::font());

  QCheckBox* check = CreateCheckBox("Use tags", &parent, 4020, 0, 0, 100, 20);
  EXPECT_EQ(check->geometry(), QRect(0, 0, 100, 20));
  EXPECT_EQ(ControlId(CreateComboBox(&parent, 4030, 0, 0, 80, 20)), 4030);
  EXPECT_EQ(ControlId(nullptr), 0);
}

}  // namespace
}  // namespace qmb
