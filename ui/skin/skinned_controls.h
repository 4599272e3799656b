// The skin's controls on the main window: the 15 buttons, the 13 slider tracks
// with their thumbs and the visual window, with the sliders' values, the
// status text, the lights and the main window's painted face.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/running_state.h"
#include "playback/playback_state.h"
#include "skin/skin_definition.h"
#include "ui/skin/skin_paint.h"
#include "ui/skin/slider_math.h"

class QMenu;

namespace qmb {

class SkinControls;

// What the controls reach outside themselves; every hook may stay empty.
struct SkinControlHooks {
  std::function<void(int id)> command;  // the switchboard's Command
  // Stores and applies a slider's value (volume, balance, seek, bands) and
  // shows its status text through ShowStatusText.
  std::function<void(int slider, float value)> applySlider;
  std::function<void()> stopAndResetCycle;  // button 6: stop, nothing played this cycle
  std::function<void()> hideMainWindow;     // button 1
  std::function<void()> nextSkinStage;      // button 14: SetSkinStage(-1)
  std::function<void()> toggleInversion;    // the middle button anywhere
  // A button's tooltip after a toggle (buttons 9, 10, 14).
  std::function<void(int button, const QString& title, const QString& text)> setButtonTip;
  std::function<void()> hideMainTip;  // the pointer left a button
  // The visual window's own mouse handling.
  std::function<void(QMouseEvent*)> visualMouseRelease;
  std::function<void(QMouseEvent*)> visualDoubleClick;
};

// The menus the controls open; null ones are not opened.
struct SkinControlMenus {
  QMenu* main = nullptr;       // button 0
  QMenu* exit = nullptr;       // button 2, right
  QMenu* previous = nullptr;   // button 3, right
  QMenu* stop = nullptr;       // button 6, right
  QMenu* equalizer = nullptr;  // button 12
  QMenu* seek = nullptr;       // slider 10, right
  QMenu* volume = nullptr;     // slider 11, right
  QMenu* balance = nullptr;    // slider 12, right
};

class SkinButtonWidget : public QWidget {
 public:
  SkinButtonWidget(SkinControls& controls, int index, QWidget* parent);
  int Index() const { return index_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent*) override;

 private:
  SkinControls& controls_;
  int index_;
};

class SkinTrackWidget : public QWidget {
 public:
  SkinTrackWidget(SkinControls& controls, int index, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent*) override;

 private:
  SkinControls& controls_;
  int index_;
};

class SkinThumbWidget : public QWidget {
 public:
  SkinThumbWidget(SkinControls& controls, int index, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent*) override;

 private:
  SkinControls& controls_;
  int index_;
};

class SkinVisualWidget : public QWidget {
 public:
  SkinVisualWidget(SkinControls& controls, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  SkinControls& controls_;
};

// 1 when `globalPoint` lies in the widget's screen rectangle (left and top
// edges inside, right and bottom outside).
int CursorInWindow(const QWidget* widget, QPoint globalPoint);

// The tooltip of button 9, 10 or 14 after its toggle.
struct ButtonTip {
  QString title;
  QString text;
};
ButtonTip ToggledButtonTip(int button, bool lightOn, int stage);

class SkinControls : public QObject {
 public:
  // `mainWindow` must outlive this; its paint event calls DrawMainWindow and
  // its wheel events WheelSlider.
  SkinControls(QWidget* mainWindow, SkinDefinition& skin, RunningState& state,
               PlaybackDisplays& displays, SkinControlHooks hooks = {},
               SkinControlMenus menus = {});
  ~SkinControls() override;

  // Gives every control its place, size and fresh state and the displays
  // their fonts from the skin; call after each skin load, then PaintMainWindow.
  void PlaceControls();

  void SetSliderValue(int i, float value, int noApply);
  void DragSlider(int i, QPoint globalPointer);
  void ApplySliderValue(int i);
  void WheelSlider(bool up, QPoint globalPointer);

  // Recomposes the whole face and shows it.
  void PaintMainWindow();
  void PaintSkinDisplays(int kind, int index);
  // The main window's paint event: what was last copied to it.
  void DrawMainWindow(QPainter& painter, const QRect& exposed) const;

  void ShowStatusText(const std::string& text, int milliseconds);
  // What the visual window shows: a finished picture of its size (the
  // visualization's last frame), or, once cleared, its background piece.
  // Either is painted at once, inside the call.
  void SetVisualPicture(const QImage& picture);
  // The same from `width` × `height` RGB pixels, into the picture already
  // held when its size is unchanged (a frame every 30 ms allocates nothing).
  void SetVisualPixels(const std::uint32_t* pixels, int width, int height);
  void ClearVisualPicture();
  bool HasVisualPicture() const { return !visualPicture_.isNull(); }
  const QImage& VisualPicture() const { return visualPicture_; }
  void ToggleShuffleLight();
  void ToggleLoopLight();

  // The displays changed (a position tick): captions, displays and the
  // thumbs follow.
  void RefreshDisplays();

  std::uint32_t RasterOp() const { return state_.rasterOp; }
  const QImage& Screen() const { return screen_; }
  SkinDefinition& Skin() { return skin_; }
  RunningState& State() { return state_; }
  const SkinControlHooks& Hooks() const { return hooks_; }
  const SkinControlMenus& Menus() const { return menus_; }
  QWidget* MainWindow() const { return mainWindow_; }
  SkinButtonWidget* Button(int i) const { return buttons_[i]; }
  SkinTrackWidget* Track(int i) const { return tracks_[i]; }
  SkinThumbWidget* Thumb(int i) const { return thumbs_[i]; }
  SkinVisualWidget* Visual() const { return visual_; }
  bool StatusTextDone() const { return !displays_.messageShowing; }
  const TitleScroll& Scroll() const { return scroll_; }
  const QFont& TextFont() const { return textFont_; }
  const QFont& TimeFont() const { return timeFont_; }

  // Shared state of the windows' procedures.
  bool buttonHoverTracking = false;
  bool sliderHoverTracking = false;
  bool sliderDragging = false;
  QPoint grabOffset;
  int dragSlider = -1;  // the slider whose thumb is held
  // While set, the position tick leaves the position slider alone.
  bool SeekDragActive() const { return displays_.sliderDragging; }
  void SetSeekDragActive(bool active) { displays_.sliderDragging = active; }

  // Opens `menu` at `globalPoint`, left-aligned.
  void OpenMenu(QMenu* menu, QPoint globalPoint) const;
  // The screen point below button i, where its menus open.
  QPoint BelowButton(int i) const;
  void ButtonLeftAction(int i);
  void ToggleInversion() const;

 private:
  SliderShape ShapeOf(int i) const;
  void MoveThumb(int i, std::int32_t offset);
  std::array<float, kEqBandSliders> Bands() const;
  void ShowOnScreen(const QImage& composed, const QRect& rect);
  QImage& Offscreen();

  QWidget* mainWindow_;
  SkinDefinition& skin_;
  RunningState& state_;
  PlaybackDisplays& displays_;
  SkinControlHooks hooks_;
  SkinControlMenus menus_;
  std::array<QPointer<SkinButtonWidget>, kSkinButtonCount> buttons_{};
  std::array<QPointer<SkinTrackWidget>, kSkinSliderCount> tracks_{};
  std::array<QPointer<SkinThumbWidget>, kSkinSliderCount> thumbs_{};
  QPointer<SkinVisualWidget> visual_;
  QImage screen_;
  QImage offscreen_;
  QImage visualPicture_;
  // The title's and time's fonts belong to the loaded skin.
  QFont textFont_;
  QFont timeFont_;
  TitleScroll scroll_;
  std::uint64_t scrolledAtTick_ = 0;
  QTimer statusTimer_;  // timer 2
  int displaysConnection_ = 0;
};

}  // namespace qmb
