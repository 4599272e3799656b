// The skinned controls on the bundled Default skin: the buttons' states,
// roles and tooltips (in the skin's colours while "Enable tool tips" is on,
// following the random, loop and stage toggles; that Qt shows a set tip on
// hover is Qt's), dragging and wheeling the sliders and their arithmetic at
// the edges the skins meet, the status text, the display fonts (with the
// desktop's for a face the system lacks) and the painted face, plain and
// inverted. Then the visualization in the skin's visual window: frames as the
// composer draws them, composed only when something changed, a plug-in's
// picture in the window it draws into, and the separate "Visualization Window".
#include <gtest/gtest.h>

#include <QtCore/qtestsupport_core.h>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/image_library.h"
#include "skin/skin_definition.h"
#include "ui/menus.h"
#include "ui/skin/skinned_controls.h"
#include "ui/skin/slider_math.h"
#include "ui/skin/visual_window.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

// The bundled Default skin read from the program folder with its picture
// decoded and cut into pieces, and its controls placed on a main window of
// the test's own.
class DefaultSkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), 1); }
  void TearDown() override {
    controls.reset();
    ReleaseSkinObjects(skin);
  }
  // Reads the skin and places its controls on `main` at `at` (ASSERT-style).
  void PlaceSkin(QPoint at = {}, SkinControlHooks hooks = {}, SkinControlMenus menus = {},
                 SkinTipColours tips = {}) {
    const std::string folder = QMB_PROGRAM_FOLDER "/Skins/Default/";
    skin = ReadSkinDefinition(folder, tips);
    skin.skinImage = LoadPicture(folder + skin.graphicName);
    ASSERT_TRUE(skin.skinImage);
    CutSkinPictures(skin);
    main.setGeometry(QRect(at, QSize(skin.mainW, skin.mainH)));
    controls = std::make_unique<SkinControls>(&main, skin, state, displays, hooks, menus);
    controls->PlaceControls();
  }

  SkinDefinition skin;
  RunningState state;
  PlaybackDisplays displays;
  QWidget main;
  std::unique_ptr<SkinControls> controls;
};

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
    // The tips wired as start-up wires them.
    hooks.setButtonTip = [this](int button, const QString& title, const QString& text) {
      tips.UpdateTip(controls->Button(button), {title, text});
    };
    hooks.hideMainTip = [this] { ++hidden; };
    hooks.nextSkinStage = [this] { ++state.skinStage; };
    PlaceSkin(kMainAt, hooks, {.exit = &exitMenu, .stop = &stopMenu, .volume = &volumeMenu},
              DesktopTipColours());
  }

  // Sends a mouse event to `widget` at the main-window point `at`.
  void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
    const QPoint global = kMainAt + at;
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
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

  void BuildTips(bool enabled) {
    std::array<QWidget*, kSkinButtonCount> buttons{};
    for (int i = 0; i < kSkinButtonCount; ++i) buttons[i] = controls->Button(i);
    tips.Build(buttons, enabled, {state.shuffle, state.loop, state.skinStage},
               SkinQColor(skin.tipsForeColour), SkinQColor(skin.tipsBackColour));
  }
  void Click(int i) {
    Mouse(controls->Button(i), QEvent::MouseButtonPress, Centre(i), Qt::LeftButton);
    Mouse(controls->Button(i), QEvent::MouseButtonRelease, Centre(i), Qt::LeftButton);
  }
  std::string Tip(int i) { return controls->Button(i)->toolTip().toStdString(); }

  QMenu exitMenu, stopMenu, volumeMenu;
  std::vector<int> commands;
  std::vector<std::pair<int, float>> applied;
  SkinToolTips tips;
  int hidden = 0;
};

TEST_F(ControlsTest, ButtonActsOnlyWhenReleasedOverIt) {
  QWidget* play = controls->Button(4);
  const QPoint in = Centre(4);
  const QPoint out = in + QPoint(skin.buttons[4].w * 3, 0);
  Mouse(play, QEvent::MouseMove, in);
  Mouse(play, QEvent::MouseButtonPress, in, Qt::LeftButton);
  Mouse(play, QEvent::MouseMove, in);  // held: stays pressed
  EXPECT_EQ(skin.buttons[4].state, 2);
  Mouse(play, QEvent::MouseButtonRelease, out, Qt::LeftButton);
  EXPECT_EQ(skin.buttons[4].state, 1);
  EXPECT_TRUE(commands.empty());
  Mouse(play, QEvent::MouseButtonPress, in, Qt::LeftButton);
  Mouse(play, QEvent::MouseButtonRelease, in, Qt::LeftButton);
  EXPECT_EQ(commands, std::vector<int>{7});
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(play, &leave);
  EXPECT_EQ(skin.buttons[4].state, 0);
  EXPECT_FALSE(controls->buttonHoverTracking);
  EXPECT_EQ(hidden, 1) << "leaving a button takes its tip away";
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

TEST_F(ControlsTest, DraggingVolumeAppliesAtOnceAndPositionOnlyOnRelease) {
  QWidget* volume = controls->Thumb(kVolumeSlider);
  const SkinSlider& v = skin.sliders[kVolumeSlider];
  QPoint at = ThumbAt(kVolumeSlider);
  Mouse(volume, QEvent::MouseButtonPress, at, Qt::LeftButton);
  Mouse(volume, QEvent::MouseMove, QPoint(v.x + 1, at.y()));
  EXPECT_EQ(v.thumbX, 0);
  EXPECT_EQ(applied, (std::vector<std::pair<int, float>>{{kVolumeSlider, 0.0f}}));
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

TEST_F(ControlsTest, FacePaintsPlainAndInverted) {
  controls->PaintMainWindow();
  const QImage background = PictureImage(skin.background.get());
  const QImage& screen = controls->Screen();
  ASSERT_EQ(screen.size(), QSize(skin.mainW, skin.mainH));
  const QPoint plain(2, 2);
  EXPECT_EQ(screen.pixel(plain), background.pixel(plain) | 0xFF000000u);

  state.rasterOp = kInvertedSourceCopy;
  controls->PaintMainWindow();
  EXPECT_EQ(screen.pixel(plain), (~background.pixel(plain) & 0xFFFFFFu) | 0xFF000000u);
  // A widget composes off screen and copies once, inverted too.
  const SkinButton& play = skin.buttons[4];
  EXPECT_EQ(controls->Button(4)->grab().toImage().pixel(0, 0) | 0xFF000000u,
            ~PictureImage(skin.skinImage.get()).pixel(play.a0, play.b0) | 0xFF000000u);
}

TEST_F(ControlsTest, ThumbsFollowValuesSetElsewhere) {
  state.sliders[kVolumeSlider].value = 255;
  displays.changed.Emit();
  const SkinSlider& v = skin.sliders[kVolumeSlider];
  EXPECT_EQ(v.thumbX, v.w - v.w1);
  EXPECT_EQ(controls->Thumb(kVolumeSlider)->x(), v.w - v.w1);
}

// Tips are off, then on in the skin's colours with the texts the toggles
// wrote meanwhile, then rewritten by every toggle, then off again.
TEST_F(ControlsTest, TipsFollowTheTogglesWhileTheyAreOn) {
  // Told apart from the desktop's only as they differ.
  ASSERT_NE(skin.tipsBackColour, DesktopTipColours().back);
  BuildTips(false);
  Click(9);
  ASSERT_TRUE(state.shuffle);
  EXPECT_EQ(Tip(9), "") << "no tips while they are off";
  BuildTips(true);
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
  BuildTips(false);
  EXPECT_EQ(Tip(9), "");
}

constexpr SliderShape kAcross{100, 7, 10, 7, false};
constexpr SliderShape kUpright{7, 100, 7, 10, true};

TEST(ControlsSliderMath, PlacesThumbForValue) {
  struct Case {
    SliderShape shape;
    float value, maximum;
    int offset;
  } cases[] = {
      // clang-format off
      {kAcross, 300, 255, 90}, {kAcross, -5, 255, 0}, {kUpright, 30, 30, 0},
      {kUpright, 15, 30, 45},  // trunc(91 - 15 / (30 / 91)): the "+ 1" of the span
      {kUpright, 0, 30, 90},  // 91 is clamped to h - h1
      {kAcross, 50, 0, 0}, {kUpright, 50, 0, 0},  // maximum 0: 0 / 0 truncates low
      {{7, 10, 7, 10, true}, 3, 30, 0},
      {{8, 7, 10, 7, false}, 3, 30, 0},  // a thumb larger than its track stays at 0
      // clang-format on
  };
  for (const Case& c : cases) {
    float clamped = ClampSliderValue(c.value, c.maximum);
    EXPECT_EQ(ThumbOffsetForValue(c.shape, clamped, c.maximum), c.offset)
        << c.value << " of " << c.maximum << (c.shape.vertical ? " upright" : " across");
  }
}

TEST(ControlsSliderMath, DragGivesValues) {
  struct Case {
    SliderShape shape;
    int pointer, grab;
    float maximum, current;
    int offset;
    float value;
  } cases[] = {
      // clang-format off
      {kAcross, 50, 5, 255, 0, 45, 127.5f},  // held 5 pixels into the thumb
      {kAcross, 3, 5, 255, 9, 0, 0},  // before the grab point
      {kAcross, 500, 0, 255, 0, 90, 255}, {kUpright, 0, 0, 30, 7, 0, 30},  // the top is the maximum
      {kUpright, 200, 4, 30, 7, 90, 0},
      {kAcross, 45, 0, 0, 0, 45, 0},  // the position slider after stop
      {{7, 10, 7, 10, true}, 6, 0, 30, 12, 0, 12},  // no room: value kept
      // clang-format on
  };
  for (const Case& c : cases) {
    DragResult r = DragSliderValue(c.shape, c.pointer, c.grab, c.maximum, c.current);
    EXPECT_EQ(r.offset, c.offset) << c.pointer;
    EXPECT_FLOAT_EQ(r.value, c.value) << c.pointer;
  }
  EXPECT_EQ(TruncFloat(DragSliderValue(kAcross, 50, 5, 255, 0).value), 127);
}

TEST(ControlsSliderMath, ClampsAndTruncatesTowardZeroAndNotANumberLow) {
  EXPECT_EQ(ClampSliderValue(12, 0), 0);
  EXPECT_EQ(ClampSliderValue(std::nanf(""), 30), 0);
  EXPECT_EQ(TruncFloat(45.9f), 45);
  EXPECT_EQ(TruncFloat(-2.7f), -2);
  EXPECT_EQ(TruncFloat(std::nanf("")), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncFloat(3e9f), std::numeric_limits<std::int32_t>::min());
}

TEST(CreateSkinFont, SizeWeightStylesAndFallback) {
  const QString desktop = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
  struct Case {
    const char* face;
    int size, weight, styles, dpi;  // styles: italic, underline and strikethru alike
    int pixels;                     // 0: the desktop's size
    const char* family;             // null: the desktop's family
    QFont::Weight qtWeight;
  };
  const Case cases[] = {
      {"DejaVu Sans", 9, 400, 1, 120, 15, "DejaVu Sans", QFont::Normal},  // 15.0
      {"Qumble No Such Face", 8, 700, 0, 96, 10, nullptr, QFont::Bold},
      {"DejaVu Sans", -8, 0, 0, 96, 10, "DejaVu Sans", QFont::Normal},
      {"DejaVu Sans", 0, 0, 0, 96, 0, "DejaVu Sans", QFont::Normal},
      {"DejaVu Sans", 8, 5000, 0, 96, 10, "DejaVu Sans", static_cast<QFont::Weight>(1000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.size));
    QFont font = CreateSkinFont(c.face, c.size, c.weight, c.styles, c.styles, c.styles, c.dpi);
    if (c.pixels > 0) {
      EXPECT_EQ(font.pixelSize(), c.pixels);
    } else {
      EXPECT_GT(QFontInfo(font).pixelSize(), 0);
    }
    EXPECT_EQ(QFontInfo(font).family(), c.family ? QString(c.family) : desktop);
    EXPECT_EQ(font.weight(), c.qtWeight);
    EXPECT_EQ(std::tuple(font.italic(), font.underline(), font.strikeOut()),
              std::tuple(c.styles != 0, c.styles != 0, c.styles != 0));
  }
}

// Made again on every placing, so a reload takes the new skin's sizes.
TEST_F(DefaultSkinTest, TitleAndTimeUseTheSkinsFonts) {
  PlaceSkin();
  const int dpi = main.logicalDpiY();
  EXPECT_EQ(controls->TextFont().pixelSize(), -SkinFontHeight(skin.text.fontSize, dpi));
  EXPECT_EQ(QFontInfo(controls->TextFont()).family(), QString::fromStdString(skin.text.fontFace));
  EXPECT_EQ(controls->TimeFont().pixelSize(), -SkinFontHeight(skin.time.fontSize, dpi));
  EXPECT_EQ(controls->TimeFont().weight(), skin.time.bold >= 700 ? QFont::Bold : QFont::Normal);
  skin.text.fontSize += 3;
  controls->PlaceControls();
  EXPECT_EQ(controls->TextFont().pixelSize(), -SkinFontHeight(skin.text.fontSize, dpi));
}

constexpr int kBlock = 64;  // frames of the test's mix blocks

class VisualWindowTest : public DefaultSkinTest {
 protected:
  void SetUp() override {
    PlaceSkin();
    if (HasFatalFailure()) return;
    renderer = std::make_unique<VisualRenderer>(*controls, capture);
    spectrum.fill(0.16f);
    spectrum[3] = 1.0f;
    renderer->spectrum = [this] { return spectrum.data(); };
    renderer->bufferLength = [] { return kBlock; };
    Mix(9000);
  }
  void TearDown() override {
    renderer.reset();
    DefaultSkinTest::TearDown();
  }

  // The engine mixed a block whose every pair is (level, level).
  void Mix(std::int16_t level) {
    std::vector<std::int16_t> block(kBlock * 2, level);
    VisualCapture::VisualDspCallback(block.data(), block.data(), kBlock, &capture);
  }
  // What the composer draws for the newest block over the skin's pieces.
  QImage Expected(std::uint32_t rasterOp) {
    const SkinVisualArea& v = skin.visual;
    Picture piece = CutSkinPiece(skin.background.get(), v.x1, v.y1, v.width, v.height);
    auto view = [](const QmbPicture* p) {
      return PixelView{p->pixels, p->width, p->height, p->stride / 4};
    };
    std::vector<std::int16_t> block;
    capture.CopyBlock(block);
    VisualFrame frame(v.width, v.height);
    ComposeVisualFrame(frame, view(piece.get()), view(v.visualPicture.get()),
                       SkinQColor(v.foreColour).rgb(), renderer->state,
                       {spectrum.data(), block.data(), block.size(), kBlock});
    frame.ApplyRasterOp(rasterOp);
    return QImage(reinterpret_cast<const uchar*>(frame.Data()), v.width, v.height, v.width * 4,
                  QImage::Format_RGB32)
        .copy();
  }
  QImage Shown() {
    return controls->Visual()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  VisualCapture capture;
  std::unique_ptr<VisualRenderer> renderer;
  std::array<float, 512> spectrum;
};

TEST_F(VisualWindowTest, EachModeIsShownAsComposedPlainAndInvertedAndOnlyWhenSomethingChanged) {
  const QImage background = Shown();
  int frames = 0;
  for (std::uint32_t rasterOp : {kSourceCopy, kInvertedSourceCopy}) {
    state.rasterOp = rasterOp;
    for (int mode = 0; mode < 6; ++mode) {
      if (mode < 3) renderer->SetSpectrumStyle(static_cast<std::uint8_t>(mode));
      if (mode >= 3) renderer->SetScopeStyle(static_cast<std::uint8_t>(mode - 3));
      renderer->RenderVisualFrame(true, false);
      renderer->RenderVisualFrame(true, false);  // the same block again
      EXPECT_EQ(renderer->FramesComposed(), ++frames) << mode;
      EXPECT_EQ(Shown(), Expected(rasterOp)) << "mode " << mode << " rop " << rasterOp;
      EXPECT_NE(Shown(), background) << mode;
    }
  }
  Mix(-3000);
  renderer->RenderVisualFrame(true, false);
  EXPECT_EQ(renderer->FramesComposed(), ++frames) << "a new block";
  // A stop clears the capture: the next tick shows the background again.
  capture.Clear();
  renderer->RenderVisualFrame(true, false);
  EXPECT_FALSE(controls->HasVisualPicture());
  state.rasterOp = kSourceCopy;
  EXPECT_EQ(Shown(), background);
}

TEST_F(VisualWindowTest, APluginDrawsIntoTheWindowItIsGivenAndClosingAttaches) {
  std::unique_ptr<QWidget> detached(new QWidget);
  detached->resize(300, 175);
  renderer->SetDetachedWindow(detached.get());
  std::vector<QSize> targets;
  renderer->renderPlugin = [&](int w, int h, const float* s, std::vector<std::int16_t>& block,
                               QImage& picture) {
    EXPECT_EQ(s, spectrum.data());
    EXPECT_EQ(block.size(), static_cast<std::size_t>(kBlock * 2));
    targets.push_back({w, h});
    picture = QImage(w, h, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0));
    picture.setPixelColor(0, 0, QColor(0, 0, 0, 0));  // lets the background through
    return true;
  };
  const QImage background = Shown();
  renderer->RenderVisualFrame(false, true);
  ASSERT_EQ(targets.back(), QSize(skin.visual.width, skin.visual.height));
  EXPECT_EQ(Shown().pixel(0, 0), background.pixel(0, 0));
  EXPECT_EQ(Shown().pixel(5, 5), qRgb(255, 0, 0));

  renderer->Detach();
  EXPECT_EQ(Shown(), background) << "detaching redraws the visual window";
  renderer->RenderVisualFrame(true, true);
  EXPECT_EQ(targets.back(), QSize(300, 175));
  EXPECT_EQ(renderer->DetachedPicture().pixel(9, 9), qRgb(255, 0, 0));
  EXPECT_EQ(Shown(), Expected(kSourceCopy)) << "the internal picture beside the plug-in's";

  QCloseEvent close;
  QApplication::sendEvent(detached.get(), &close);
  EXPECT_FALSE(detached->isVisible() || renderer->state.detached);
  renderer->DoubleClicked();
  EXPECT_TRUE(renderer->state.detached && detached->isVisible());
  QMouseEvent left(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
  renderer->MouseReleased(&left);
  EXPECT_EQ(renderer->state.visKind, 1) << "a left click switches to the scope";
}

}  // namespace
}  // namespace qmb
