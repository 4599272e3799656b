// The skin buttons' tooltips on the bundled Default skin: shown on hover in the
// skin's colours while "Enable tool tips" is on, never while it is off, and
// following the random, loop and stage toggles.
#include <gtest/gtest.h>

#include <QtCore/qtestsupport_core.h>
#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <string>

#include "default_skin.h"
#include "ui/menus.h"

namespace qmb {
namespace {

const QPoint kMainAt(300, 200);

class ButtonTipsTest : public DefaultSkinTest {
 protected:
  void SetUp() override {
    // Wired as start-up wires them.
    SkinControlHooks hooks;
    hooks.setButtonTip = [this](int button, const QString& title, const QString& text) {
      tips.UpdateTip(controls->Button(button), {title, text});
    };
    hooks.hideMainTip = [this] { tips.HideTip(); };
    hooks.nextSkinStage = [this] { ++state.skinStage; };
    PlaceSkin(kMainAt, hooks, {}, DesktopTipColours());
    main.show();
  }
  void TearDown() override {
    QToolTip::hideText();
    DefaultSkinTest::TearDown();
  }

  void Build(bool enabled) {
    std::array<QWidget*, kSkinButtonCount> buttons{};
    for (int i = 0; i < kSkinButtonCount; ++i) buttons[i] = controls->Button(i);
    tips.Build(buttons, enabled, {state.shuffle, state.loop, state.skinStage},
               SkinQColor(skin.tipsForeColour), SkinQColor(skin.tipsBackColour));
  }
  // The pointer enters button i and rests there.
  void Enter(int i) {
    QWidget* button = controls->Button(i);
    const QPoint at = button->rect().center();
    QCursor::setPos(button->mapToGlobal(at));
    button->setAttribute(Qt::WA_UnderMouse);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    // What the desktop sends a resting pointer, at once rather than after its delay.
    QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &help);
  }
  static bool TipShown() {
    return QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000);
  }
  // The pointer leaves button i; true once the tip has faded out.
  bool Leave(int i) {
    QWidget* button = controls->Button(i);
    button->setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    return QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000);
  }
  void Click(int i) {
    QWidget* button = controls->Button(i);
    const QPointF at = button->rect().center();
    const QPointF global = button->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
  }
  // The shown tip's picture.
  static QImage ShownTip() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->inherits("QTipLabel") && w->isVisible()) return w->grab().toImage();
    }
    return {};
  }

  SkinToolTips tips;
};

TEST_F(ButtonTipsTest, HoverShowsTheTextInTheSkinsColours) {
  // Told apart from the desktop's only if they differ.
  ASSERT_NE(skin.tipsBackColour, DesktopTipColours().back);
  Build(true);
  Enter(4);
  ASSERT_TRUE(TipShown());
  EXPECT_TRUE(QToolTip::text().contains("Play the current file"));
  EXPECT_TRUE(QToolTip::text().contains("Play"));

  // Most of the tip is the skin's background; its text is drawn in the
  // skin's text colour (antialiased, so some pixel comes close).
  QImage shown = ShownTip();
  ASSERT_FALSE(shown.isNull());
  std::map<QRgb, int> counts;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) ++counts[shown.pixel(x, y) | 0xFF000000u];
  auto most = std::max_element(counts.begin(), counts.end(),
                               [](auto& a, auto& b) { return a.second < b.second; });
  EXPECT_EQ(QColor(most->first), SkinQColor(skin.tipsBackColour));
  const QColor text = SkinQColor(skin.tipsForeColour);
  int nearest = 1000;
  for (auto [rgb, count] : counts) {
    const QColor c(rgb);
    nearest =
        std::min(nearest, std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) +
                              std::abs(c.blue() - text.blue()));
  }
  EXPECT_LT(nearest, 24);
  EXPECT_TRUE(Leave(4)) << "leaving the button takes the tip away";
}

// Tips are off, then on with the texts the toggles wrote meanwhile, then
// rewritten by every toggle, then off again.
TEST_F(ButtonTipsTest, TogglesRewriteTheTipsThatAreOn) {
  Build(false);
  Enter(4);
  EXPECT_FALSE(QToolTip::isVisible());
  Leave(4);
  Click(9);
  ASSERT_TRUE(state.shuffle);
  Build(true);
  const struct {
    int button;  // clicked first unless negative
    const char* text;
  } cases[] = {
      {-9, "Playlist randomization is on"}, {9, "Playlist randomization is off"},
      {10, "Playlist looping is on"},       {14, "Skin expansion stage:  1"},
      {14, "Skin expansion stage:  2"},
  };
  for (const auto& c : cases) {
    if (c.button >= 0) Click(c.button);
    Enter(std::abs(c.button));
    ASSERT_TRUE(TipShown()) << c.text;
    EXPECT_TRUE(QToolTip::text().contains(c.text)) << QToolTip::text().toStdString();
    ASSERT_TRUE(Leave(std::abs(c.button)));
  }
  Build(false);
  Enter(9);
  EXPECT_FALSE(QToolTip::isVisible());
}

}  // namespace
}  // namespace qmb
