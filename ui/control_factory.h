// The window and control factories every window of the player is made with:
// default styles, the default GUI font, scale factors and centring.
#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

#include "core/window_geometry.h"

class QWidget;
class QPushButton;
class QPlainTextEdit;
class QLabel;
class QGroupBox;
class QCheckBox;
class QComboBox;
class QListWidget;
class QFrame;
class QProgressBar;
class QStatusBar;

namespace qmb {

// Window style bits, with the values plug-ins and skins know them by.
enum WindowStyle : std::uint32_t {
  kStylePopup = 0x80000000,
  kStyleCaption = 0x00C00000,
  kStyleSysMenu = 0x00080000,
  kStyleThickFrame = 0x00040000,
  kStyleMinimizeBox = 0x00020000,
  kStyleMaximizeBox = 0x00010000,
  // The default of CreateTopWindow: a pop-up with caption, system menu,
  // sizing border, minimise and maximise boxes.
  kStyleDefaultTop = kStylePopup | kStyleCaption | kStyleSysMenu | kStyleThickFrame |
                     kStyleMinimizeBox | kStyleMaximizeBox,
};
enum WindowExStyle : std::uint32_t {
  kExTopmost = 0x00000008,
  kExAcceptFiles = 0x00000010,
  kExToolWindow = 0x00000080,
  kExAppWindow = 0x00040000,
  kExLayered = 0x00080000,
};

FactoryScale& TheFactoryScale();

// A parentless top-level window of the player's window class at (x, y). The
// window manager draws its own frame around it here, so the window gets the
// asked client size rather than the frame allowance of other desktops.
QWidget* CreateTopWindow(const QString& title, int x, int y, int width, int height,
                         std::uint32_t style, std::uint32_t exStyle);

// Centres on the work area (no reference) or on the reference windows, kept
// on the screen; see CenteredRect.
void CenterWindow(QWidget* window, QWidget* reference, QWidget* secondReference);

// New style = (old without `remove`) with `add`; `extended` picks the
// extended style. Keeps the window's place and size. True when it worked.
bool SetWindowStyleBits(QWidget* window, std::uint32_t add, std::uint32_t remove, bool extended);
std::uint32_t WindowStyleOf(const QWidget* window, bool extended);

// A font of `points` at the screen's vertical resolution.
QFont CreatePointFont(const QString& face, int points, int weight, bool italic, bool underline,
                      bool strikeOut);

// Child controls: positions and sizes are scaled; every control gets the
// default GUI font and its command identifier as the property "qmbId".
QPushButton* CreateButton(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height);
QPlainTextEdit* CreateEditBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                              int height);
QLabel* CreateLabel(const QString& text, QWidget* parent, int id, int x, int y, int width,
                    int height);
QGroupBox* CreateGroupBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height);
QCheckBox* CreateCheckBox(const QString& text, QWidget* parent, int id, int x, int y, int width,
                          int height);
QComboBox* CreateComboBox(QWidget* parent, int id, int x, int y, int width, int height);
QListWidget* CreateListBox(QWidget* parent, int id, int x, int y, int width, int height);
QFrame* CreateFrame(QWidget* parent, int id, int x, int y, int width, int height);
QProgressBar* CreateProgressBar(QWidget* parent, int id, int x, int y, int width, int height);
QStatusBar* CreateStatusBar(const QString& text, QWidget* parent, int id);

// The command identifier a factory gave a control; 0 for others.
int ControlId(const QWidget* control);

}  // namespace qmb
