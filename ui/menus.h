// Every menu of the player, built once at start-up and kept for the whole run,
// and the tooltips of the fifteen skin buttons.
#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "playback/playback_state.h"

class QAction;
class QIcon;
class QMenu;
class QMenuBar;
class QWidget;

namespace qmb {

// The pictures of the main menu's items 1, 2, 4, 5 and 18, drawn by the
// program at 16x16. Any other id gets a null icon.
QIcon MenuItemPicture(int id);

// The menus. A chosen item calls `dispatch` with its command id; every item
// also carries its id as its QAction data. "Mute", "Stop After Current" and
// "Close After Current" show the models of `checks`, which must outlive this:
// choosing one leaves the mark to the model, which the dispatch toggles.
class PlayerMenus {
 public:
  PlayerMenus(MenuChecks& checks, std::function<void(int id)> dispatch);
  ~PlayerMenus();
  PlayerMenus(const PlayerMenus&) = delete;
  PlayerMenus& operator=(const PlayerMenus&) = delete;

  // Replaces the drive items of "Send To Media" with (id, text) pairs in that
  // order; "Choose..." and its separator stay. Ids outside 10000..10025 are
  // skipped, so a drive can never send another command.
  void SetDriveItems(const std::vector<std::pair<int, std::string>>& drives);

  // The item with `id` in `menu` or its submenus; null when there is none.
  static QAction* FindItem(const QMenu* menu, int id);

  QMenu* main = nullptr;
  QMenu* configuration = nullptr;  // submenu of main
  QMenu* playback = nullptr;       // submenu of main
  QMenu* equalizer = nullptr;
  QMenu* visual = nullptr;
  QMenu* visualization = nullptr;  // submenu of visual

  // The playlist window's menu bar and its menus, left to right. The window
  // that takes the bar owns it (and its menus) from then on.
  QPointer<QMenuBar> playlistBar;
  QMenu* playlistFile = nullptr;  // "Playlist"
  QMenu* edit = nullptr;
  QMenu* add = nullptr;
  QMenu* remove = nullptr;  // "Delete"
  QMenu* selection = nullptr;
  QMenu* tags = nullptr;
  QMenu* view = nullptr;

  QMenu* playlistContext = nullptr;
  QMenu* sendToMedia = nullptr;  // submenu of playlistContext

  // The right-click menus of the skin's sliders and buttons.
  QMenu* seek = nullptr;
  QMenu* volume = nullptr;
  QMenu* balance = nullptr;
  QMenu* stop = nullptr;
  QMenu* previous = nullptr;
  QMenu* exit = nullptr;

 private:
  QAction* AddItem(QMenu* menu, const QString& text, int id);
  QAction* AddCheckItem(QMenu* menu, const QString& text, int id, CheckModel& model);

  MenuChecks& checks_;
  // Shared with the items' handlers, which may run while this is being torn
  // down by a dispatch that ends the program.
  std::shared_ptr<std::function<void(int)>> dispatch_;
  std::vector<std::unique_ptr<QMenu>> popups_;
  std::vector<std::pair<CheckModel*, int>> connections_;
};

// What the skin buttons' tips depend on.
struct ToolTipState {
  bool random = false;
  bool loop = false;
  int stage = 0;  // the skin's current expansion stage
};

struct ToolTipText {
  QString title;
  QString text;
};

// The title and text of skin button `button` (0..14); empty outside.
ToolTipText SkinButtonToolTip(int button, const ToolTipState& state);

// The tips as the tooltip shows them: the title in bold behind an
// information sign, then the text, wrapped to at most 180 pixels.
QString ToolTipHtml(const ToolTipText& tip);

// The tooltips of the skin buttons: shown 200 ms after the pointer enters a
// button, also while the player is not the active program.
class SkinToolTips {
 public:
  SkinToolTips();
  ~SkinToolTips();
  SkinToolTips(const SkinToolTips&) = delete;
  SkinToolTips& operator=(const SkinToolTips&) = delete;

  // With `enabled`, gives each of `buttons` (index = button number; null
  // entries are skipped) its tip and the skin's colours; without, removes
  // them. Called at start-up and when "Enable tool tips" is clicked.
  void Build(std::span<QWidget* const> buttons, bool enabled, const ToolTipState& state,
             QColor textColor, QColor backColor);
  // A button's tip anew (random, loop and the stage change their texts).
  // Does nothing while tips are off.
  void UpdateTip(QWidget* button, const ToolTipText& tip);
  // A newly loaded skin's colours, for the tips shown from now on; while
  // tips are off the next Build brings them.
  void SetColours(QColor textColor, QColor backColor);
  // The pointer left a button: its tip goes.
  void HideTip();
  bool Enabled() const { return enabled_; }

 private:
  class Shower;
  bool enabled_ = false;
  std::unique_ptr<Shower> shower_;
};

}  // namespace qmb
