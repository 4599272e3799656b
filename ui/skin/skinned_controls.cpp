// The skinned buttons, tracks, thumbs and visual window, and the controls'
// shared state: slider values, displays, lights and the painted face.
#include "ui/skin/skinned_controls.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "core/command_ids.h"
#include "tags/number_text.h"

namespace qmb {

namespace {

// Changes a piece's drawing state, repainting only when it changed.
template <class T>
void SetDrawState(T& state, int value, QWidget* widget) {
  if (state == static_cast<T>(value)) return;
  state = static_cast<T>(value);
  widget->update();
}

// Paints a w × h off-screen picture to the widget in one copy.
void PaintComposed(QWidget* widget, const QImage& composed, std::uint32_t rasterOp) {
  QImage shown = composed.convertToFormat(QImage::Format_RGB32);
  if (rasterOp == kInvertedSourceCopy) shown.invertPixels(QImage::InvertRgb);
  QPainter painter(widget);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, shown);
}

QImage Blank(int w, int h) {
  QImage image(w > 0 ? w : 1, h > 0 ? h : 1, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void InitChild(QWidget* widget) {
  widget->setMouseTracking(true);
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setCursor(Qt::ArrowCursor);
  widget->setFocusPolicy(Qt::TabFocus);
  widget->setGeometry(0, 0, 1, 1);
  widget->show();
}

}  // namespace

int CursorInWindow(const QWidget* widget, QPoint globalPoint) {
  if (!widget) return 0;
  QRect screen(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  return screen.contains(globalPoint) ? 1 : 0;
}

ButtonTip ToggledButtonTip(int button, bool lightOn, int stage) {
  switch (button) {
    case 9:
      return {"Random", QString("Playlist randomization is ") + (lightOn ? "on" : "off")};
    case 10:
      return {"Loop", QString("Playlist looping is ") + (lightOn ? "on" : "off")};
    case 14:
      return {"Expand / Retract",
              QString::fromStdString("Skin expansion stage: " + NumberText(stage))};
    default:
      return {};
  }
}

// Buttons.

SkinButtonWidget::SkinButtonWidget(SkinControls& controls, int index, QWidget* parent)
    : QWidget(parent), controls_(controls), index_(index) {
  InitChild(this);
}

void SkinButtonWidget::paintEvent(QPaintEvent*) {
  const SkinButton& b = controls_.Skin().buttons[index_];
  QImage off = Blank(b.w, b.h);
  const Picture& picture =
      b.state == 2 ? b.pressedPicture : (b.state == 1 ? b.hoverPicture : b.normalPicture);
  QImage piece = PictureImage(picture.get());
  if (!piece.isNull()) {
    QPainter painter(&off);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, piece);
  }
  PaintComposed(this, off, controls_.RasterOp());
}

void SkinButtonWidget::mouseMoveEvent(QMouseEvent*) {
  // Once armed, moves leave the state alone, so a held button stays pressed.
  if (controls_.buttonHoverTracking) return;
  SkinButton& b = controls_.Skin().buttons[index_];
  SetDrawState(b.state, 1, this);
  controls_.buttonHoverTracking = true;
}

void SkinButtonWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  SkinButton& b = controls_.Skin().buttons[index_];
  SetDrawState(b.state, 2, this);
}

void SkinButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->globalPosition().toPoint();
  if (event->button() == Qt::MiddleButton) {
    controls_.ToggleInversion();
    return;
  }
  if (event->button() == Qt::RightButton) {
    if (!CursorInWindow(this, at)) return;
    const SkinControlMenus& menus = controls_.Menus();
    QMenu* menu = index_ == 2   ? menus.exit
                  : index_ == 3 ? menus.previous
                  : index_ == 6 ? menus.stop
                                : nullptr;
    if (menu) controls_.OpenMenu(menu, controls_.BelowButton(index_));
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  SkinButton& b = controls_.Skin().buttons[index_];
  SetDrawState(b.state, 1, this);
  if (!CursorInWindow(this, at)) return;
  controls_.ButtonLeftAction(index_);
}

void SkinButtonWidget::leaveEvent(QEvent*) {
  if (controls_.buttonHoverTracking) {
    SkinButton& b = controls_.Skin().buttons[index_];
    SetDrawState(b.state, 0, this);
  }
  if (controls_.Hooks().hideMainTip) controls_.Hooks().hideMainTip();
  controls_.buttonHoverTracking = false;
}

// Tracks.

SkinTrackWidget::SkinTrackWidget(SkinControls& controls, int index, QWidget* parent)
    : QWidget(parent), controls_(controls), index_(index) {
  InitChild(this);
}

void SkinTrackWidget::paintEvent(QPaintEvent*) {
  const SkinSlider& s = controls_.Skin().sliders[index_];
  QImage off = Blank(s.w, controls_.Skin().mainH);
  QPainter painter(&off);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  QImage track = PictureImage(s.trackPicture.get());
  if (!track.isNull()) painter.drawImage(0, 0, track, 0, 0, s.w, s.h);
  QImage overlay = PictureImage(s.overlayPicture.get());
  if (!overlay.isNull()) {
    // The overlay is the filled part: up to the thumb across, below it upright.
    QPoint at = s.vertical == 1 ? QPoint(0, s.thumbY + s.h1) : QPoint(s.thumbX - s.ow, 0);
    painter.drawImage(at, overlay, QRect(0, 0, s.w, s.h));
  }
  painter.end();
  PaintComposed(this, off.copy(0, 0, s.w, s.h), controls_.RasterOp());
}

void SkinTrackWidget::mouseMoveEvent(QMouseEvent*) {
  if (controls_.sliderHoverTracking) return;
  SkinSlider& s = controls_.Skin().sliders[index_];
  SetDrawState(s.thumbState, 1, this);
  controls_.sliderHoverTracking = true;
}

void SkinTrackWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->globalPosition().toPoint();
  if (event->button() == Qt::MiddleButton) {
    controls_.ToggleInversion();
    return;
  }
  if (event->button() != Qt::RightButton) return;
  const SkinControlMenus& menus = controls_.Menus();
  QMenu* menu = index_ == kPositionSlider  ? menus.seek
                : index_ == kVolumeSlider  ? menus.volume
                : index_ == kBalanceSlider ? menus.balance
                                           : nullptr;
  if (menu) controls_.OpenMenu(menu, at);
}

void SkinTrackWidget::leaveEvent(QEvent*) {
  if (controls_.sliderHoverTracking) {
    SkinSlider& s = controls_.Skin().sliders[index_];
    SetDrawState(s.thumbState, 0, this);
  }
  controls_.sliderHoverTracking = false;
}

// Thumbs.

SkinThumbWidget::SkinThumbWidget(SkinControls& controls, int index, QWidget* parent)
    : QWidget(parent), controls_(controls), index_(index) {
  InitChild(this);
}

void SkinThumbWidget::paintEvent(QPaintEvent*) {
  const SkinSlider& s = controls_.Skin().sliders[index_];
  QImage off = Blank(s.w1, s.h1);
  const Picture& picture = s.thumbState == 2   ? s.thumbPressedPicture
                           : s.thumbState == 1 ? s.thumbHoverPicture
                                               : s.thumbNormalPicture;
  QImage piece = PictureImage(picture.get());
  if (!piece.isNull()) {
    QPainter painter(&off);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, piece);
  }
  PaintComposed(this, off, controls_.RasterOp());
}

void SkinThumbWidget::mouseMoveEvent(QMouseEvent* event) {
  SkinSlider& s = controls_.Skin().sliders[index_];
  if (!controls_.sliderHoverTracking) {
    SetDrawState(s.thumbState, 1, this);
  }
  controls_.sliderHoverTracking = true;
  if (!controls_.sliderDragging) return;
  SetDrawState(s.thumbState, 2, this);
  controls_.DragSlider(index_, event->globalPosition().toPoint());
}

void SkinThumbWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  SkinSlider& s = controls_.Skin().sliders[index_];
  SetDrawState(s.thumbState, 2, this);
  if (!controls_.sliderDragging) {
    controls_.grabOffset = event->globalPosition().toPoint() - mapToGlobal(QPoint(0, 0));
    controls_.sliderDragging = true;
    controls_.dragSlider = index_;
  }
  if (index_ == kPositionSlider) controls_.SetSeekDragActive(true);
}

void SkinThumbWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->globalPosition().toPoint();
  if (event->button() == Qt::MiddleButton) {
    controls_.ToggleInversion();
    return;
  }
  if (event->button() == Qt::RightButton) {
    const SkinControlMenus& menus = controls_.Menus();
    QMenu* menu = index_ == kPositionSlider  ? menus.seek
                  : index_ == kVolumeSlider  ? menus.volume
                  : index_ == kBalanceSlider ? menus.balance
                                             : nullptr;
    if (menu) controls_.OpenMenu(menu, at);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  SkinSlider& s = controls_.Skin().sliders[index_];
  SetDrawState(s.thumbState, 1, this);
  controls_.sliderDragging = false;
  controls_.dragSlider = -1;
  if (!CursorInWindow(this, at)) {
    controls_.SetSeekDragActive(false);
    return;
  }
  // The position seeks only now, when let go over the thumb.
  if (index_ == kPositionSlider && controls_.SeekDragActive()) {
    controls_.ApplySliderValue(kPositionSlider);
    controls_.SetSeekDragActive(false);
  }
}

void SkinThumbWidget::leaveEvent(QEvent*) {
  if (controls_.sliderHoverTracking) {
    SkinSlider& s = controls_.Skin().sliders[index_];
    SetDrawState(s.thumbState, 0, this);
  }
  controls_.sliderHoverTracking = false;
  controls_.sliderDragging = false;
  controls_.dragSlider = -1;
}

// The visual window.

SkinVisualWidget::SkinVisualWidget(SkinControls& controls, QWidget* parent)
    : QWidget(parent), controls_(controls) {
  InitChild(this);
}

void SkinVisualWidget::paintEvent(QPaintEvent*) {
  if (controls_.HasVisualPicture()) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, controls_.VisualPicture());
    return;
  }
  const SkinDefinition& skin = controls_.Skin();
  const SkinVisualArea& v = skin.visual;
  QImage off = Blank(v.width, v.height);
  Picture piece = CutSkinPiece(skin.background.get(), v.x1, v.y1, v.width, v.height);
  QImage image = PictureImage(piece.get());
  if (!image.isNull()) {
    QPainter painter(&off);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image);
  }
  PaintComposed(this, off, controls_.RasterOp());
}

void SkinVisualWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    controls_.ToggleInversion();
    return;
  }
  if (controls_.Hooks().visualMouseRelease) controls_.Hooks().visualMouseRelease(event);
}

void SkinVisualWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && controls_.Hooks().visualDoubleClick) {
    controls_.Hooks().visualDoubleClick(event);
  }
}

// The controls together.

SkinControls::SkinControls(QWidget* mainWindow, SkinDefinition& skin, RunningState& state,
                           PlaybackDisplays& displays, SkinControlHooks hooks,
                           SkinControlMenus menus)
    : mainWindow_(mainWindow),
      skin_(skin),
      state_(state),
      displays_(displays),
      hooks_(std::move(hooks)),
      menus_(menus) {
  for (int i = 0; i < kSkinButtonCount; ++i) {
    buttons_[i] = new SkinButtonWidget(*this, i, mainWindow_);
  }
  for (int i = 0; i < kSkinSliderCount; ++i) {
    tracks_[i] = new SkinTrackWidget(*this, i, mainWindow_);
    thumbs_[i] = new SkinThumbWidget(*this, i, tracks_[i]);
  }
  visual_ = new SkinVisualWidget(*this, mainWindow_);
  statusTimer_.setSingleShot(false);
  QObject::connect(&statusTimer_, &QTimer::timeout, this, [this] {
    displays_.messageShowing = false;
    statusTimer_.stop();
  });
  displaysConnection_ = displays_.changed.Connect([this] { RefreshDisplays(); });
}

SkinControls::~SkinControls() {
  displays_.changed.Disconnect(displaysConnection_);
  for (auto& b : buttons_) delete b.data();
  for (auto& t : tracks_) delete t.data();  // with its thumb
  delete visual_.data();
}

void SkinControls::PlaceControls() {
  for (int i = 0; i < kSkinButtonCount; ++i) {
    SkinButton& b = skin_.buttons[i];
    b.state = 0;
    if (buttons_[i]) buttons_[i]->setGeometry(b.x, b.y, std::max(b.w, 1), std::max(b.h, 1));
  }
  for (int i = 0; i < kSkinSliderCount; ++i) {
    SkinSlider& s = skin_.sliders[i];
    s.thumbState = 0;
    if (tracks_[i]) tracks_[i]->setGeometry(s.x, s.y, std::max(s.w, 1), std::max(s.h, 1));
    s.maximum = state_.sliders[i].maximum;
    SetSliderValue(i, state_.sliders[i].value, 1);
  }
  const SkinVisualArea& v = skin_.visual;
  // A picture of the old skin would show over the new one.
  visualPicture_ = QImage();
  if (visual_) visual_->setGeometry(v.x1, v.y1, std::max(v.width, 1), std::max(v.height, 1));
  skin_.lights[0].on = state_.shuffle;
  skin_.lights[1].on = state_.loop;
  const int dpi = mainWindow_ ? mainWindow_->logicalDpiY() : 96;
  textFont_ = SkinDisplayFont(skin_.text, dpi);
  timeFont_ = SkinDisplayFont(skin_.time, dpi);
  buttonHoverTracking = false;
  sliderHoverTracking = false;
  sliderDragging = false;
  dragSlider = -1;
}

SliderShape SkinControls::ShapeOf(int i) const {
  const SkinSlider& s = skin_.sliders[i];
  return {s.w, s.h, s.w1, s.h1, s.vertical == 1};
}

void SkinControls::MoveThumb(int i, std::int32_t offset) {
  SkinSlider& s = skin_.sliders[i];
  if (s.vertical == 1) {
    s.thumbY = offset;
  } else {
    s.thumbX = offset;
  }
  if (thumbs_[i]) {
    thumbs_[i]->setGeometry(s.vertical == 1 ? 0 : offset, s.vertical == 1 ? offset : 0,
                            std::max(s.w1, 1), std::max(s.h1, 1));
    thumbs_[i]->update();
  }
  if (tracks_[i]) tracks_[i]->update();
}

void SkinControls::SetSliderValue(int i, float value, int noApply) {
  if (i < 0 || i >= kSkinSliderCount) return;
  const float maximum = state_.sliders[i].maximum;
  value = ClampSliderValue(value, maximum);
  MoveThumb(i, ThumbOffsetForValue(ShapeOf(i), value, maximum));
  state_.sliders[i].value = value;
  skin_.sliders[i].value = value;
  skin_.sliders[i].maximum = maximum;
  PaintSkinDisplays(1, 0);
  if (noApply == 0) ApplySliderValue(i);
}

void SkinControls::DragSlider(int i, QPoint globalPointer) {
  if (i < 0 || i >= kSkinSliderCount) return;
  const SkinSlider& s = skin_.sliders[i];
  const QPoint main = mainWindow_->mapToGlobal(QPoint(0, 0));
  const bool vertical = s.vertical == 1;
  const int pointer =
      vertical ? globalPointer.y() - main.y() - s.y : globalPointer.x() - main.x() - s.x;
  const int grab = vertical ? grabOffset.y() : grabOffset.x();
  SliderState& slider = state_.sliders[i];
  DragResult step = DragSliderValue(ShapeOf(i), pointer, grab, slider.maximum, slider.value);
  MoveThumb(i, step.offset);
  slider.value = step.value;
  skin_.sliders[i].value = step.value;
  PaintSkinDisplays(1, 0);
  if (i != kPositionSlider) ApplySliderValue(i);
}

void SkinControls::ApplySliderValue(int i) {
  if (i < 0 || i >= kSkinSliderCount) return;
  if (hooks_.applySlider) hooks_.applySlider(i, state_.sliders[i].value);
}

void SkinControls::WheelSlider(bool up, QPoint globalPointer) {
  const QPoint main = mainWindow_->mapToGlobal(QPoint(0, 0));
  for (int i = 0; i < kSkinSliderCount; ++i) {
    const SkinSlider& s = skin_.sliders[i];
    const int px = globalPointer.x() - main.x();
    const int py = globalPointer.y() - main.y();
    if (px < s.x || px > s.x + s.w || py < s.y || py > s.y + s.h) continue;
    const float step = i < kEqBandSliders ? 1.0f : 15.0f;
    const float value = state_.sliders[i].value + (up ? step : -step);
    if (i == kPositionSlider) SetSeekDragActive(true);
    SetSliderValue(i, value, 0);
    if (i == kPositionSlider) SetSeekDragActive(false);
    return;
  }
}

std::array<float, kEqBandSliders> SkinControls::Bands() const {
  std::array<float, kEqBandSliders> bands{};
  for (int b = 0; b < kEqBandSliders; ++b) bands[b] = state_.sliders[b].value;
  return bands;
}

QImage& SkinControls::Offscreen() {
  if (offscreen_.width() != skin_.mainW || offscreen_.height() != skin_.mainH) {
    offscreen_ = Blank(skin_.mainW, skin_.mainH);
  }
  if (screen_.size() != offscreen_.size()) screen_ = Blank(skin_.mainW, skin_.mainH);
  return offscreen_;
}

void SkinControls::ShowOnScreen(const QImage& composed, const QRect& rect) {
  CopyWithRasterOp(screen_, rect.topLeft(), composed, rect, state_.rasterOp);
  if (mainWindow_) mainWindow_->update(rect);
}

void SkinControls::PaintMainWindow() {
  if (skin_.mainW <= 0 || skin_.mainH <= 0) return;
  Offscreen();
  QImage face = ComposeMainWindow(skin_, Bands());
  if (face.isNull()) return;
  ShowOnScreen(face, face.rect());
  for (auto& b : buttons_)
    if (b) b->update();
  for (auto& t : tracks_)
    if (t) t->update();
  for (auto& t : thumbs_)
    if (t) t->update();
  if (visual_) visual_->update();
}

void SkinControls::DrawMainWindow(QPainter& painter, const QRect& exposed) const {
  if (screen_.isNull()) return;
  painter.drawImage(exposed.topLeft(), screen_, exposed);
}

void SkinControls::PaintSkinDisplays(int kind, int index) {
  if (skin_.mainW <= 0 || skin_.mainH <= 0) return;
  QImage& off = Offscreen();
  QPainter painter(&off);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  auto piece = [this, &painter](int x, int y, int w, int h) {
    Picture cut = CutSkinPiece(skin_.background.get(), x, y, w, h);
    QImage image = PictureImage(cut.get());
    if (!image.isNull()) painter.drawImage(x, y, image);
  };
  if (kind == 1) {
    const SkinEqArea& eq = skin_.eq;
    piece(eq.x, eq.y, eq.w, eq.h);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    DrawEqCurve(painter, eq, Bands());
    painter.end();
    ShowOnScreen(off, QRect(eq.x, eq.y, eq.w, eq.h));
    return;
  }
  if (kind == 2) {
    if (index < 0 || index >= kSkinLightCount) return;
    const SkinLight& light = skin_.lights[index];
    QImage image = PictureImage(light.on ? light.onPicture.get() : light.offPicture.get());
    if (!image.isNull()) painter.drawImage(light.x, light.y, image);
    painter.end();
    ShowOnScreen(off, QRect(light.x, light.y, light.w, light.h));
    return;
  }
  if (kind != 3) return;
  SkinTextDisplay& text = skin_.text;
  const SkinRect& area = skin_.textArea;
  piece(area.left, area.top, text.width, text.height);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setFont(textFont_);
  painter.setPen(SkinQColor(text.foreColour));
  // One step per position tick, however often the displays are repainted.
  if (displays_.ticks != scrolledAtTick_) {
    scrolledAtTick_ = displays_.ticks;
    ScrollTitle(text, area, scroll_);
  }
  const QString caption = QString::fromStdString(text.caption);
  // The measured width is kept in x2: the next tick scrolls by it.
  text.x2 = text.x1 + painter.fontMetrics().horizontalAdvance(caption);
  painter.drawText(QRect(text.x1, text.y1, std::max(text.x2 - text.x1, 1) + 1,
                         std::max(text.y2 - text.y1, painter.fontMetrics().height())),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, caption);
  SkinTextDisplay& time = skin_.time;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  piece(time.x1, time.y1, time.width, time.height);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setFont(timeFont_);
  painter.setPen(SkinQColor(time.foreColour));
  painter.drawText(
      QRect(time.x1, time.y1, std::max(time.x2 - time.x1, 1), std::max(time.y2 - time.y1, 1)),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
      QString::fromStdString(time.caption));
  painter.end();
  // Only the area reaches the screen, which clips the scrolled title.
  ShowOnScreen(off, QRect(area.left, area.top, text.width, text.height));
  ShowOnScreen(off, QRect(time.x1, time.y1, time.width, time.height));
}

void SkinControls::ShowStatusText(const std::string& text, int milliseconds) {
  displays_.messageShowing = true;
  displays_.titleText = text;
  skin_.text.caption = text.substr(0, kSkinCaptionBytes);
  statusTimer_.start(milliseconds);
}

void SkinControls::SetVisualPicture(const QImage& picture) {
  visualPicture_ = picture;
  if (visual_) visual_->repaint();
}

void SkinControls::SetVisualPixels(const std::uint32_t* pixels, int width, int height) {
  if (visualPicture_.width() != width || visualPicture_.height() != height ||
      visualPicture_.format() != QImage::Format_RGB32) {
    visualPicture_ = QImage(width, height, QImage::Format_RGB32);
  }
  for (int y = 0; y < height; ++y) {
    std::memcpy(visualPicture_.scanLine(y), pixels + static_cast<std::size_t>(y) * width,
                static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  }
  if (visual_) visual_->repaint();
}

void SkinControls::ClearVisualPicture() {
  visualPicture_ = QImage();
  if (visual_) visual_->repaint();
}

void SkinControls::ToggleShuffleLight() {
  state_.shuffle = !state_.shuffle;
  skin_.lights[0].on = state_.shuffle ? 1 : 0;
  PaintSkinDisplays(2, 0);
}

void SkinControls::ToggleLoopLight() {
  state_.loop = !state_.loop;
  skin_.lights[1].on = state_.loop ? 1 : 0;
  PaintSkinDisplays(2, 1);
}

void SkinControls::RefreshDisplays() {
  // The position tick already keeps a status text while a track plays and
  // writes the title over it when nothing plays.
  skin_.text.caption = displays_.titleText.substr(0, kSkinCaptionBytes);
  skin_.time.caption = displays_.timeText.substr(0, kSkinCaptionBytes);
  // Values set elsewhere (the tick, the menus) move their thumbs; a held
  // thumb follows the pointer instead.
  for (int i = 0; i < kSkinSliderCount; ++i) {
    if (sliderDragging && dragSlider == i) continue;
    if (i == kPositionSlider && SeekDragActive()) continue;
    const SliderState& s = state_.sliders[i];
    SkinSlider& shown = skin_.sliders[i];
    if (shown.value == s.value && shown.maximum == s.maximum) continue;
    shown.maximum = s.maximum;
    SetSliderValue(i, s.value, 1);
  }
  PaintSkinDisplays(3, 0);
}

void SkinControls::OpenMenu(QMenu* menu, QPoint globalPoint) const {
  if (menu) menu->popup(globalPoint);
}

QPoint SkinControls::BelowButton(int i) const {
  const SkinButton& b = skin_.buttons[i];
  return mainWindow_->mapToGlobal(QPoint(b.x, b.y + b.h));
}

void SkinControls::ToggleInversion() const {
  if (hooks_.toggleInversion) hooks_.toggleInversion();
}

void SkinControls::ButtonLeftAction(int i) {
  auto run = [this](int id) {
    if (hooks_.command) hooks_.command(id);
  };
  auto tip = [this, i](bool on) {
    ButtonTip t = ToggledButtonTip(i, on, state_.skinStage);
    if (hooks_.setButtonTip) hooks_.setButtonTip(i, t.title, t.text);
  };
  switch (i) {
    case 0:
      OpenMenu(menus_.main, BelowButton(i));
      break;
    case 1:
      if (hooks_.hideMainWindow) {
        hooks_.hideMainWindow();
      } else if (mainWindow_) {
        mainWindow_->hide();
      }
      break;
    case 2:
      run(command::kExit);
      break;
    case 3:
      run(command::kPrevious);
      break;
    case 4:
      run(command::kPlay);
      break;
    case 5:
      run(command::kPause);
      break;
    case 6:
      if (hooks_.stopAndResetCycle) hooks_.stopAndResetCycle();
      break;
    case 7:
      run(command::kNext);
      break;
    case 8:
      run(command::kOpen);
      break;
    case 9:
      ToggleShuffleLight();
      tip(state_.shuffle);
      break;
    case 10:
      ToggleLoopLight();
      tip(state_.loop);
      break;
    case 11:
      run(command::kAbout);
      break;
    case 12:
      OpenMenu(menus_.equalizer, BelowButton(i));
      break;
    case 13:
      run(command::kShowPlaylist);
      break;
    case 14:
      if (hooks_.nextSkinStage) hooks_.nextSkinStage();
      tip(false);
      break;
    default:
      break;
  }
}

}  // namespace qmb
