// The skinned controls on the bundled Default skin: the buttons' states and
// roles, dragging and wheeling the sliders, the status text and the painted
// face, plain and inverted.
#include <gtest/gtest.h>

#include <QtCore/qtestsupport_core.h>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "default_skin.h"

namespace qmb {
namespace {

const QPoint kMainAt(200, 150);

class ControlsTest : public DefaultSkinTest {
 protected:
  void SetUp() override {
    for (int b = 0; b < kEqBandSliders; ++b) state.sliders[b] = {15, 30};
    state.sliders[kPositionSlider] = {0, 200};
    state.sliders[kVolumeSlider] = {200, 255};
    state.sliders[kBalanceSlider] = {127, 255};
    SkinControlHooks hooks;
    hooks.command = [this](int id) { commands.push_back(id); };
    hooks.applySlider = [this](int slider, float value) { applied.push_back({slider, value}); };
    SkinControlMenus menus;
    menus.exit = &exitMenu;
    menus.stop = &stopMenu;
    menus.volume = &volumeMenu;
    PlaceSkin(kMainAt, hooks, menus);
  }

  // Sends a mouse event to `widget` at the main-window point `at`.
  void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
    const QPoint global = kMainAt + at;
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
  void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
  }
  QPoint Centre(int button) const {
    const SkinButton& b = skin.buttons[button];
    return {b.x + b.w / 2, b.y + b.h / 2};
  }
  QPoint ThumbAt(int slider) const {
    const SkinSlider& s = skin.sliders[slider];
    return {s.x + s.thumbX + 1, s.y + s.thumbY + 1};
  }
  QRgb Source(std::int32_t a, std::int32_t b) const {
    return PictureImage(skin.skinImage.get()).pixel(a, b) | 0xFF000000u;
  }

  QMenu exitMenu, stopMenu, volumeMenu;
  std::vector<int> commands;
  std::vector<std::pair<int, float>> applied;
};

TEST_F(ControlsTest, ButtonActsOnlyWhenReleasedOverIt) {
  QWidget* play = controls->Button(4);
  const QPoint in = Centre(4);
  const QPoint out = in + QPoint(skin.buttons[4].w * 3, 0);
  Mouse(play, QEvent::MouseMove, in);
  EXPECT_EQ(skin.buttons[4].state, 1);
  Mouse(play, QEvent::MouseButtonPress, in, Qt::LeftButton);
  EXPECT_EQ(skin.buttons[4].state, 2);
  Mouse(play, QEvent::MouseMove, in);  // held: stays pressed
  EXPECT_EQ(skin.buttons[4].state, 2);
  Mouse(play, QEvent::MouseButtonRelease, out, Qt::LeftButton);
  EXPECT_EQ(skin.buttons[4].state, 1);
  EXPECT_TRUE(commands.empty());
  Mouse(play, QEvent::MouseButtonPress, in, Qt::LeftButton);
  Mouse(play, QEvent::MouseButtonRelease, in, Qt::LeftButton);
  EXPECT_EQ(commands, std::vector<int>{7});
  Leave(play);
  EXPECT_EQ(skin.buttons[4].state, 0);
  EXPECT_FALSE(controls->buttonHoverTracking);
}

TEST_F(ControlsTest, ButtonRolesAndRightClickMenus) {
  const std::pair<int, int> roles[] = {{2, 18}, {3, 6},  {5, 8},  {7, 10},
                                       {8, 11}, {11, 1}, {13, 14}};
  for (auto [button, id] : roles) {
    commands.clear();
    Mouse(controls->Button(button), QEvent::MouseButtonRelease, Centre(button), Qt::LeftButton);
    EXPECT_EQ(commands, std::vector<int>{id}) << button;
  }
  Mouse(controls->Button(4), QEvent::MouseButtonRelease, Centre(4), Qt::RightButton);
  EXPECT_FALSE(exitMenu.isVisible() || stopMenu.isVisible());
  Mouse(controls->Button(6), QEvent::MouseButtonRelease, Centre(6), Qt::RightButton);
  ASSERT_TRUE(stopMenu.isVisible());
  const SkinButton& stop = skin.buttons[6];
  EXPECT_EQ(stopMenu.pos(), kMainAt + QPoint(stop.x, stop.y + stop.h));
  stopMenu.hide();
}

TEST_F(ControlsTest, LightButtonsToggleTheirLights) {
  QWidget* random = controls->Button(9);
  Mouse(random, QEvent::MouseButtonRelease, Centre(9), Qt::LeftButton);
  EXPECT_TRUE(state.shuffle);
  const SkinLight& light = skin.lights[0];
  EXPECT_EQ(controls->Screen().pixel(light.x, light.y), Source(light.a1, light.b1));
  Mouse(random, QEvent::MouseButtonRelease, Centre(9), Qt::LeftButton);
  EXPECT_FALSE(state.shuffle);
  EXPECT_EQ(controls->Screen().pixel(light.x, light.y), Source(light.a0, light.b0));
}

TEST_F(ControlsTest, DraggingVolumeAppliesAtOnceAndPositionOnlyOnRelease) {
  QWidget* volume = controls->Thumb(kVolumeSlider);
  const SkinSlider& v = skin.sliders[kVolumeSlider];
  QPoint at = ThumbAt(kVolumeSlider);
  Mouse(volume, QEvent::MouseButtonPress, at, Qt::LeftButton);
  Mouse(volume, QEvent::MouseMove, QPoint(v.x + 1, at.y()));
  EXPECT_EQ(v.thumbX, 0);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0], (std::pair<int, float>{kVolumeSlider, 0.0f}));
  Mouse(volume, QEvent::MouseButtonRelease, QPoint(v.x + 1, at.y()), Qt::LeftButton);
  EXPECT_FALSE(controls->sliderDragging);

  applied.clear();
  QWidget* seek = controls->Thumb(kPositionSlider);
  const SkinSlider& p = skin.sliders[kPositionSlider];
  at = ThumbAt(kPositionSlider);
  Mouse(seek, QEvent::MouseButtonPress, at, Qt::LeftButton);
  EXPECT_TRUE(displays.sliderDragging);
  const QPoint middle(p.x + (p.w - p.w1) / 2 + 1, at.y());
  Mouse(seek, QEvent::MouseMove, middle);
  EXPECT_TRUE(applied.empty());
  EXPECT_GT(state.sliders[kPositionSlider].value, 90.0f);
  Mouse(seek, QEvent::MouseButtonRelease, middle + QPoint(0, 40), Qt::LeftButton);
  EXPECT_TRUE(applied.empty());  // let go beside the thumb: no seek
  EXPECT_FALSE(displays.sliderDragging);

  Mouse(seek, QEvent::MouseButtonPress, middle, Qt::LeftButton);
  Mouse(seek, QEvent::MouseMove, middle);
  Mouse(seek, QEvent::MouseButtonRelease, middle, Qt::LeftButton);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0].first, kPositionSlider);
}

TEST_F(ControlsTest, WheelStepsTheSliderUnderThePointer) {
  const SkinSlider& v = skin.sliders[kVolumeSlider];
  controls->WheelSlider(true, kMainAt + QPoint(v.x + v.w, v.y + v.h));  // edges count
  EXPECT_EQ(state.sliders[kVolumeSlider].value, 215.0f);
  controls->WheelSlider(false, kMainAt + QPoint(v.x, v.y));
  controls->WheelSlider(false, kMainAt + QPoint(v.x, v.y));
  EXPECT_EQ(state.sliders[kVolumeSlider].value, 185.0f);
  const SkinSlider& band = skin.sliders[3];
  controls->WheelSlider(true, kMainAt + QPoint(band.x, band.y));
  EXPECT_EQ(state.sliders[3].value, 16.0f);
  applied.clear();
  controls->WheelSlider(true, kMainAt + QPoint(-50, -50));
  EXPECT_TRUE(applied.empty());
  controls->WheelSlider(true, kMainAt + QPoint(skin.sliders[10].x, skin.sliders[10].y));
  EXPECT_FALSE(displays.sliderDragging);
  EXPECT_EQ(applied.back(), (std::pair<int, float>{kPositionSlider, 15.0f}));
}

TEST_F(ControlsTest, StatusTextHoldsTheTitleUntilTimerTwo) {
  state.playbackActive = true;
  displays.titleText = "Melody";
  controls->ShowStatusText("Volume:  200", 30);
  displays.changed.Emit();
  EXPECT_EQ(skin.text.caption, "Volume:  200");
  EXPECT_TRUE(QTest::qWaitFor([this] { return controls->StatusTextDone(); }, 5000));
  displays.titleText = "Melody";  // the next position tick writes the title again
  displays.changed.Emit();
  EXPECT_EQ(skin.text.caption, "Melody");
}

TEST_F(ControlsTest, TheTitleScrollsOncePerTickHoweverOftenItIsRepainted) {
  displays.titleText = std::string(120, 'W');
  displays.ticks = 1;
  displays.changed.Emit();  // measures the long title
  const int start = skin.text.x1;
  for (int i = 0; i < 5; ++i) displays.changed.Emit();  // a slider being dragged
  EXPECT_EQ(skin.text.x1, start);
  displays.ticks = 2;
  displays.changed.Emit();
  EXPECT_EQ(skin.text.x1, start - 3);
}

TEST_F(ControlsTest, TitleScrollsThreePixelsAndPausesEightTicks) {
  SkinTextDisplay text;
  const SkinRect area{10, 0, 60, 10};
  text.x1 = 10;
  text.x2 = 70;  // 10 pixels too wide
  TitleScroll scroll;
  std::vector<int> starts;
  for (int tick = 0; tick < 26; ++tick) {
    ScrollTitle(text, area, scroll);
    starts.push_back(text.x1);
  }
  const std::vector<int> expected = {7, 4, 1,  -2, -2, -2, -2, -2, -2, -2, -2, -2, 1,
                                     4, 7, 10, 10, 10, 10, 10, 10, 10, 10, 10, 7,  4};
  EXPECT_EQ(starts, expected);
  text.x2 = text.x1 + 20;  // fits: back to the left edge
  ScrollTitle(text, area, scroll);
  EXPECT_EQ(text.x1, 10);
}

TEST_F(ControlsTest, FacePaintsPlainAndInverted) {
  controls->PaintMainWindow();
  const QImage background = PictureImage(skin.background.get());
  const QImage& screen = controls->Screen();
  ASSERT_EQ(screen.size(), QSize(skin.mainW, skin.mainH));
  const QPoint plain(2, 2);
  EXPECT_EQ(screen.pixel(plain), background.pixel(plain) | 0xFF000000u);
  // Bands at 15 of 30: the curve runs across the middle of the eq area.
  const SkinEqArea& eq = skin.eq;
  const int curveY = static_cast<int>(static_cast<float>(eq.y + eq.h) - eq.h / 30.0f * 15);
  EXPECT_EQ(screen.pixel(eq.x + eq.w / 2, curveY), SkinQColor(eq.foreColour).rgb());
  const SkinLight& off = skin.lights[1];
  EXPECT_EQ(screen.pixel(off.x + 1, off.y + 1), Source(off.a0 + 1, off.b0 + 1));

  state.rasterOp = kInvertedSourceCopy;
  controls->PaintMainWindow();
  EXPECT_EQ(screen.pixel(plain), (~background.pixel(plain) & 0xFFFFFFu) | 0xFF000000u);
  EXPECT_EQ(screen.pixel(eq.x + eq.w / 2, curveY),
            (~SkinQColor(eq.foreColour).rgb() & 0xFFFFFFu) | 0xFF000000u);
  // A widget composes off screen and copies once, inverted too.
  QImage shot = controls->Button(4)->grab().toImage();
  EXPECT_EQ(shot.pixel(0, 0) | 0xFF000000u,
            (~Source(skin.buttons[4].a0, skin.buttons[4].b0) & 0xFFFFFFu) | 0xFF000000u);
}

TEST_F(ControlsTest, ThumbsFollowValuesSetElsewhere) {
  state.sliders[kVolumeSlider].value = 255;
  displays.changed.Emit();
  const SkinSlider& v = skin.sliders[kVolumeSlider];
  EXPECT_EQ(v.thumbX, v.w - v.w1);
  EXPECT_EQ(controls->Thumb(kVolumeSlider)->x(), v.w - v.w1);
  state.sliders[kPositionSlider] = {50, 0};  // after stop: maximum 0
  displays.changed.Emit();
  EXPECT_EQ(skin.sliders[kPositionSlider].thumbX, 0);
  EXPECT_EQ(state.sliders[kPositionSlider].value, 0.0f);
}

}  // namespace
}  // namespace qmb
