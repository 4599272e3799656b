// The skin buttons' tooltips on the bundled Default skin: in the skin's
// colours while "Enable tool tips" is on, none while it is off, following the
// random, loop and stage toggles, and taken away when the pointer leaves. That
// Qt shows a set tip on hover is Qt's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <array>
#include <cstdlib>
#include <string>

#include "default_skin.h"
#include "ui/menus.h"

namespace qmb {
namespace {

class ButtonTipsTest : public DefaultSkinTest {
 protected:
  void SetUp() override {
    // Wired as start-up wires them.
    SkinControlHooks hooks;
    hooks.setButtonTip = [this](int button, const QString& title, const QString& text) {
      tips.UpdateTip(controls->Button(button), {title, text});
    };
    hooks.hideMainTip = [this] { ++hidden; };
    hooks.nextSkinStage = [this] { ++state.skinStage; };
    PlaceSkin({}, hooks, {}, DesktopTipColours());
  }

  void Build(bool enabled) {
    std::array<QWidget*, kSkinButtonCount> buttons{};
    for (int i = 0; i < kSkinButtonCount; ++i) buttons[i] = controls->Button(i);
    tips.Build(buttons, enabled, {state.shuffle, state.loop, state.skinStage},
               SkinQColor(skin.tipsForeColour), SkinQColor(skin.tipsBackColour));
  }
  void Send(int i, QEvent::Type type) {
    QWidget* button = controls->Button(i);
    const QPointF at = button->rect().center();
    QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(button, &event);
  }
  void Click(int i) {
    Send(i, QEvent::MouseButtonPress);
    Send(i, QEvent::MouseButtonRelease);
  }
  std::string Tip(int i) { return controls->Button(i)->toolTip().toStdString(); }

  SkinToolTips tips;
  int hidden = 0;
};

// Tips are off, then on in the skin's colours with the texts the toggles
// wrote meanwhile, then rewritten by every toggle, then off again.
TEST_F(ButtonTipsTest, TogglesRewriteTheTipsThatAreOn) {
  // Told apart from the desktop's only as they differ.
  ASSERT_NE(skin.tipsBackColour, DesktopTipColours().back);
  Build(false);
  Click(9);
  ASSERT_TRUE(state.shuffle);
  EXPECT_EQ(Tip(9), "") << "no tips while they are off";
  Build(true);
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), SkinQColor(skin.tipsBackColour));
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), SkinQColor(skin.tipsForeColour));
  const struct {
    int button;  // clicked first unless negative
    const char* text;
  } cases[] = {
      {-4, "Play the current file"},        {-9, "Playlist randomization is on"},
      {9, "Playlist randomization is off"}, {10, "Playlist looping is on"},
      {14, "Skin expansion stage:  1"},     {14, "Skin expansion stage:  2"},
  };
  for (const auto& c : cases) {
    if (c.button >= 0) Click(c.button);
    EXPECT_NE(Tip(std::abs(c.button)).find(c.text), std::string::npos) << Tip(std::abs(c.button));
  }
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(controls->Button(4), &leave);
  EXPECT_EQ(hidden, 1) << "leaving a button takes its tip away";
  Build(false);
  EXPECT_EQ(Tip(9), "");
}

}  // namespace
}  // namespace qmb
