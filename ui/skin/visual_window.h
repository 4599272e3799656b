// The internal visualization on screen: each frame composed off screen and
// copied to the skin's visual window with the skin's raster operation; a
// visualization plug-in's picture in the visual window or in the separate
// "Visualization Window"; and what the mouse and the visual menu do there.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <vector>

#include "vis/visual_frame.h"

class QMenu;
class QMouseEvent;
class QWidget;

namespace qmb {

class SkinControls;
class VisualCapture;

class VisualRenderer : public QObject {
 public:
  VisualRenderer(SkinControls& controls, VisualCapture& capture);
  ~VisualRenderer() override;

  VisualState state;

  // What a frame reads; unset ones give nothing. The spectrum is asked for
  // only when it is drawn or handed to a plug-in.
  std::function<const float*()> spectrum;  // kVisualSpectrumCount values, or null
  std::function<int()> bufferLength;       // the engine's block length
  // A running visualization plug-in renders a width × height picture of the
  // spectrum and the block into `picture`; false when none runs.
  std::function<bool(int width, int height, const float* spectrum, std::vector<std::int16_t>& block,
                     QImage& picture)>
      renderPlugin;
  // The mode or the window changed: the caller may draw at once and start
  // or stop its timer.
  std::function<void()> changed;
  // The visual menu, opened by a right click on either visual window.
  QMenu* menu = nullptr;

  // The separate "Visualization Window", made hidden by the caller; the
  // renderer paints it and takes its mouse and close events.
  void SetDetachedWindow(QWidget* window);
  QWidget* DetachedWindow() const { return detached_; }

  // Composes the internal picture (when `drawInternal` and a new block or a
  // new mode came since the last one) and lets a running plug-in render
  // into its window (when `callPlugin`). Without a captured block the visual
  // window goes back to its background.
  void RenderVisualFrame(bool drawInternal, bool callPlugin);
  // The visual window shows its background again.
  void RedrawVisualWindow();

  // The visual menu's commands and the mouse.
  void Detach();
  void Attach();
  void SetSpectrumStyle(std::uint8_t style);
  void SetScopeStyle(std::uint8_t style);
  void MouseReleased(QMouseEvent* event);
  void DoubleClicked();

  // Frames composed so far (internal pictures, not plug-in renders).
  int FramesComposed() const { return framesComposed_; }
  const QImage& DetachedPicture() const { return detachedPicture_; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void ComposeInternal();
  void ShowPlugin(QWidget* target);
  void Changed();

  SkinControls& controls_;
  VisualCapture& capture_;
  QPointer<QWidget> detached_;
  std::vector<std::int16_t> block_;
  VisualFrame frame_;
  QImage detachedPicture_;
  // What the shown frame was composed from; the same again composes nothing.
  struct Composed {
    std::uint64_t sequence = 0;
    VisualState state;
    std::uint32_t rasterOp = 0;
    bool valid = false;
  } composed_;
  int framesComposed_ = 0;
};

}  // namespace qmb
