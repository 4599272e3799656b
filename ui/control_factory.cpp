#include "ui/control_factory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

namespace qmb {
namespace {

int ScaleX(int v) {
  return static_cast<int>(v * TheFactoryScale().horizontal);
}
int ScaleY(int v) {
  return static_cast<int>(v * TheFactoryScale().vertical);
}

template <class W>
W* Place(W* control, int id, int x, int y, int width, int height) {
  control->setFont(QApplication::font());
  control->setProperty("qmbId", id);
  control->setGeometry(ScaleX(x), ScaleY(y), ScaleX(width), ScaleY(height));
  control->show();
  return control;
}

// Width 0 sizes a labelled control to its text.
template <class W>
W* PlaceSizedToText(W* control, const QString& text, int id, int x, int y, int width, int height,
                    bool button) {
  Place(control, id, x, y, width, height);
  if (width == 0) {
    QFontMetrics metrics(control->font());
    int w = metrics.horizontalAdvance(text);
    int h = metrics.height();
    if (button) {
      SizeButtonToText(w, h, w, h);
    } else if (control->inherits("QCheckBox")) {
      w += 20;  // room for the box itself
    }
    control->resize(w, height == 0 ? h : ScaleY(height));
  }
  return control;
}

Qt::WindowFlags FlagsFor(std::uint32_t style, std::uint32_t exStyle) {
  Qt::WindowFlags flags = Qt::Window;
  if ((style & kStyleCaption) != kStyleCaption) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & kStyleSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & kStyleMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (style & kStyleMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (exStyle & kExTopmost) flags |= Qt::WindowStaysOnTopHint;
  if (exStyle & kExToolWindow) flags |= Qt::Tool;
  return flags;
}

void ApplyStyle(QWidget* window, std::uint32_t style, std::uint32_t exStyle) {
  window->setProperty("qmbStyle", style);
  window->setProperty("qmbExStyle", exStyle);
  if (window->isWindow()) {
    bool visible = window->isVisible();
    QRect geometry = window->geometry();
    window->setWindowFlags(FlagsFor(style, exStyle));
    window->setGeometry(geometry);
    if (visible) window->show();
  }
  window->setAcceptDrops((exStyle & kExAcceptFiles) != 0);
}

}  // namespace

FactoryScale& TheFactoryScale() {
  static FactoryScale scale;
  return scale;
}

QWidget* CreateTopWindow(const QString& title, int x, int y, int width, int height,
                         std::uint32_t style, std::uint32_t exStyle) {
  auto* window = new QWidget(nullptr);
  window->setWindowTitle(title);
  window->setFont(QApplication::font());
  ApplyStyle(window, style == 0 ? kStyleDefaultTop : style, exStyle);
  window->move(ScaleX(x), ScaleY(y));
  window->resize(std::max(1, ScaleX(width)), std::max(1, ScaleY(height)));
  return window;
}

void CenterWindow(QWidget* window, QWidget* reference, QWidget* secondReference) {
  QScreen* screen = window->screen() ? window->screen() : QApplication::primaryScreen();
  if (!screen) return;
  auto toRect = [](const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; };
  QRect frame = window->frameGeometry();
  Rect ref, second;
  if (reference) ref = toRect(reference->frameGeometry());
  if (secondReference) second = toRect(secondReference->frameGeometry());
  Rect placed = CenteredRect(
      toRect(frame), reference ? &ref : nullptr, secondReference ? &second : nullptr,
      toRect(screen->availableGeometry()), screen->geometry().width(), screen->geometry().height());
  window->move(placed.x, placed.y);
}

std::uint32_t WindowStyleOf(const QWidget* window, bool extended) {
  return window->property(extended ? "qmbExStyle" : "qmbStyle").toUInt();
}

bool SetWindowStyleBits(QWidget* window, std::uint32_t add, std::uint32_t remove, bool extended) {
  if (!window) return false;
  std::uint32_t style = WindowStyleOf(window, false);
  std::uint32_t exStyle = WindowStyleOf(window, true);
  std::uint32_t& target = extended ? exStyle : style;
  target = (target & ~remove) | add;
  ApplyStyle(window, style, exStyle);
  return true;
}

QFont CreatePointFont(const QString& face, int points, int weight, bool italic, bool underline,
                      bool strikeOut) {
  QScreen* screen = QApplication::primaryScreen();
  int dpi = screen ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
  QFont font(face);
  font.setPixelSize(std::max(1, -PointFontHeight(points, dpi)));
  // The weights of the desktop's font API run 0..1000; Qt's run 1..1000 too.
  if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strikeOut);
  return font;
}

QPushButton* CreateButton(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height) {
  return PlaceSizedToText(new QPushButton(text, parent), text, id, x, y, width, height, true);
}

QPlainTextEdit* CreateEditBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                              int height) {
  auto* edit = new QPlainTextEdit(text, parent);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setFrameShape(QFrame::StyledPanel);
  edit->setFrameShadow(QFrame::Sunken);
  return Place(edit, id, x, y, width, height);
}

QLabel* CreateLabel(const QString& text, QWidget* parent, int id, int x, int y, int width,
                    int height) {
  return PlaceSizedToText(new QLabel(text, parent), text, id, x, y, width, height, false);
}

QGroupBox* CreateGroupBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height) {
  return Place(new QGroupBox(text, parent), id, x, y, width, height);
}

QCheckBox* CreateCheckBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height) {
  return PlaceSizedToText(new QCheckBox(text, parent), text, id, x, y, width, height, false);
}

QComboBox* CreateComboBox(QWidget* parent, int id, int x, int y, int width, int height) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(false);
  return Place(combo, id, x, y, width, height);
}

QListWidget* CreateListBox(QWidget* parent, int id, int x, int y, int width, int height) {
  auto* list = new QListWidget(parent);
  list->setSortingEnabled(true);
  list->setFrameShadow(QFrame::Sunken);
  return Place(list, id, x, y, width, height);
}

QFrame* CreateFrame(QWidget* parent, int id, int x, int y, int width, int height) {
  auto* frame = new QFrame(parent);
  frame->setAutoFillBackground(true);
  return Place(frame, id, x, y, width, height);
}

QProgressBar* CreateProgressBar(QWidget* parent, int id, int x, int y, int width, int height) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  return Place(bar, id, x, y, width, height);
}

QStatusBar* CreateStatusBar(const QString& text, QWidget* parent, int id) {
  auto* bar = new QStatusBar(parent);
  bar->setFont(QApplication::font());
  bar->setProperty("qmbId", id);
  bar->showMessage(text);
  bar->show();
  return bar;
}

int ControlId(const QWidget* control) {
  return control ? control->property("qmbId").toInt() : 0;
}

}  // namespace qmb
