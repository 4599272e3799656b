// The visualization on the bundled Default skin's visual window: frames as
// the composer draws them, plain and inverted, composed only when something
// changed, the background after a stop, a plug-in's picture in the window it
// draws into, and the separate "Visualization Window".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <array>
#include <memory>

#include "default_skin.h"
#include "ui/skin/visual_window.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

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
  EXPECT_TRUE(detached->isVisible());
  EXPECT_EQ(Shown(), background) << "detaching redraws the visual window";
  renderer->RenderVisualFrame(true, true);
  EXPECT_EQ(targets.back(), QSize(300, 175));
  EXPECT_EQ(renderer->DetachedPicture().pixel(9, 9), qRgb(255, 0, 0));
  EXPECT_EQ(Shown(), Expected(kSourceCopy)) << "the internal picture beside the plug-in's";

  QCloseEvent close;
  QApplication::sendEvent(detached.get(), &close);
  EXPECT_FALSE(detached->isVisible());
  EXPECT_FALSE(renderer->state.detached);
  renderer->DoubleClicked();
  EXPECT_TRUE(renderer->state.detached && detached->isVisible());
  QMouseEvent left(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
  renderer->MouseReleased(&left);
  EXPECT_EQ(renderer->state.visKind, 1) << "a left click switches to the scope";
}

}  // namespace
}  // namespace qmb
