#include "ui/skin/visual_window.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "ui/skin/skinned_controls.h"
#include "vis/visual_capture.h"

namespace qmb {
namespace {

PixelView ViewOf(const QmbPicture* picture) {
  if (!picture || !picture->pixels) return {};
  return {picture->pixels, picture->width, picture->height, picture->stride / 4};
}

// The visual area's piece of the skin picture: seen in place when it lies
// inside the picture, else cut into `cut` (black where it reaches outside).
PixelView PieceView(const QmbPicture* picture, const SkinVisualArea& v, Picture& cut) {
  if (picture && picture->pixels && v.x1 >= 0 && v.y1 >= 0 && v.width <= picture->width - v.x1 &&
      v.height <= picture->height - v.y1) {
    const int stride = picture->stride / 4;
    return {picture->pixels + static_cast<std::size_t>(v.y1) * stride + v.x1, v.width, v.height,
            stride};
  }
  cut = CutSkinPiece(picture, v.x1, v.y1, v.width, v.height);
  return ViewOf(cut.get());
}

}  // namespace

VisualRenderer::VisualRenderer(SkinControls& controls, VisualCapture& capture)
    : controls_(controls), capture_(capture) {}

VisualRenderer::~VisualRenderer() {
  if (detached_) detached_->removeEventFilter(this);
}

void VisualRenderer::SetDetachedWindow(QWidget* window) {
  detached_ = window;
  if (!window) return;
  window->setAttribute(Qt::WA_OpaquePaintEvent);
  window->installEventFilter(this);
}

void VisualRenderer::RedrawVisualWindow() {
  composed_.valid = false;
  controls_.ClearVisualPicture();
}

void VisualRenderer::RenderVisualFrame(bool drawInternal, bool callPlugin) {
  if (!capture_.CopyBlock(block_)) {
    RedrawVisualWindow();
    return;
  }
  if (drawInternal) ComposeInternal();
  if (!callPlugin || !renderPlugin) return;
  ShowPlugin(state.detached && detached_ ? detached_.data() : controls_.Visual());
}

void VisualRenderer::ComposeInternal() {
  const SkinDefinition& skin = controls_.Skin();
  const SkinVisualArea& v = skin.visual;
  if (v.width <= 0 || v.height <= 0) return;
  const std::uint64_t sequence = capture_.Sequence();
  const std::uint32_t rasterOp = controls_.RasterOp();
  const Composed now{sequence, state, rasterOp, true};
  if (composed_.valid && controls_.HasVisualPicture() && composed_.sequence == sequence &&
      composed_.rasterOp == rasterOp && composed_.state.visKind == state.visKind &&
      composed_.state.spectrumStyle == state.spectrumStyle &&
      composed_.state.scopeStyle == state.scopeStyle && frame_.Width() == v.width &&
      frame_.Height() == v.height)
    return;
  if (frame_.Width() != v.width || frame_.Height() != v.height)
    frame_ = VisualFrame(v.width, v.height);
  VisualSource source;
  if (state.visKind == 0 && spectrum) source.spectrum = spectrum();
  source.buffer = block_.data();
  source.bufferValues = block_.size();
  source.bufferLength = bufferLength ? bufferLength() : 0;
  // The background is read from the skin each frame, so a reloaded skin shows at once.
  Picture cut;
  const PixelView background = PieceView(skin.background.get(), v, cut);
  ComposeVisualFrame(frame_, background, ViewOf(skin.visual.visualPicture.get()),
                     SkinQColor(v.foreColour).rgb(), state, source);
  frame_.ApplyRasterOp(rasterOp);
  // Copied into the controls: they may paint it after this renderer is gone.
  controls_.SetVisualPixels(frame_.Data(), v.width, v.height);
  composed_ = now;
  ++framesComposed_;
}

void VisualRenderer::ShowPlugin(QWidget* target) {
  if (!target) return;
  QImage picture;
  const float* values = spectrum ? spectrum() : nullptr;
  if (!renderPlugin(target->width(), target->height(), values, block_, picture) || picture.isNull())
    return;
  if (target == detached_) {
    detachedPicture_ = picture;
    target->update();
    return;
  }
  // The plug-in draws over the visual window's background, as its paint
  // shows it.
  const SkinDefinition& skin = controls_.Skin();
  const SkinVisualArea& v = skin.visual;
  VisualFrame background(v.width, v.height);
  Picture piece = CutSkinPiece(skin.background.get(), v.x1, v.y1, v.width, v.height);
  background.Copy(ViewOf(piece.get()), 0, 0, v.width, v.height);
  background.ApplyRasterOp(controls_.RasterOp());
  QImage shown = QImage(reinterpret_cast<const uchar*>(background.Data()), v.width, v.height,
                        v.width * 4, QImage::Format_RGB32)
                     .copy();
  QPainter painter(&shown);
  painter.drawImage(0, 0, picture);
  painter.end();
  composed_.valid = false;
  controls_.SetVisualPicture(shown);
}

void VisualRenderer::Changed() {
  composed_.valid = false;
  if (changed) changed();
}

void VisualRenderer::Detach() {
  if (detached_) {
    detached_->update();
    detached_->show();
  }
  state.detached = true;
  RedrawVisualWindow();
  Changed();
}

void VisualRenderer::Attach() {
  if (detached_) detached_->hide();
  state.detached = false;
  Changed();
}

void VisualRenderer::SetSpectrumStyle(std::uint8_t style) {
  state.visKind = 0;
  state.spectrumStyle = style;
  Changed();
}

void VisualRenderer::SetScopeStyle(std::uint8_t style) {
  state.visKind = 1;
  state.scopeStyle = style;
  Changed();
}

void VisualRenderer::MouseReleased(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    state.visKind = state.visKind == 0 ? 1 : 0;
    Changed();
  } else if (event->button() == Qt::RightButton && menu) {
    menu->popup(event->globalPosition().toPoint());
  } else if (event->button() == Qt::MiddleButton) {
    controls_.ToggleInversion();
  }
}

void VisualRenderer::DoubleClicked() {
  if (state.detached) {
    Attach();
  } else {
    Detach();
  }
}

bool VisualRenderer::eventFilter(QObject* object, QEvent* event) {
  if (object != detached_) return QObject::eventFilter(object, event);
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter painter(detached_);
      painter.fillRect(detached_->rect(), Qt::black);
      if (!detachedPicture_.isNull()) painter.drawImage(0, 0, detachedPicture_);
      return true;
    }
    case QEvent::MouseButtonRelease:
      MouseReleased(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) DoubleClicked();
      return true;
    case QEvent::Close:
      // Closing only hides it; it lives as long as the player.
      event->ignore();
      Attach();
      return true;
    default:
      return QObject::eventFilter(object, event);
  }
}

}  // namespace qmb
