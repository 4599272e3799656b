// The switchboard: every command id of the menus, buttons and controls, and
// the list notifications, forwarded to the operation that implements it.
// Windows and subsystems that come later register their commands here.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>

namespace qmb {

struct PlayerCore;
struct PlayerParts;

struct Rect;

class Switchboard {
 public:
  Switchboard(PlayerCore& core, PlayerParts& parts);

  // Runs command `id`; false, and nothing runs, when the id has no operation.
  bool Command(int id);
  // Adds or replaces the operation of a command (windows, skins, plug-ins).
  void Register(int id, std::function<void()> operation);
  bool Handles(int id) const { return commands_.count(id) != 0; }
  // Runs after every command that had an operation.
  std::function<void()> afterCommand;

  // List notifications.
  void PlaylistDoubleClicked();
  void PlaylistClicked();
  void PlaylistKey(bool enter, bool del);
  void CueListDoubleClicked();
  void CueListKey(bool enter, bool del);
  // A right click on a playlist row at the screen point (x, y): the drive
  // items are rebuilt and the context menu opens (through `openPlaylistMenu`).
  void PlaylistRightClicked(int x, int y);
  std::function<void(int x, int y)> openPlaylistMenu;
  // The search results: a double click locates the entry a row names, Enter
  // plays it.
  void ResultDoubleClicked(int row);
  void ResultEnter(int row);

  // A right click on the main window at (x, y): inside the time display's
  // rectangle (edges included) it flips elapsed and remaining time; elsewhere
  // the main menu opens (through `openMainMenu`).
  void MainWindowRightClick(int x, int y, const Rect& timeRect);
  std::function<void(int x, int y)> openMainMenu;

  // Opens the help file; false (after the message) when it cannot.
  bool OpenHelp();

 private:
  void RegisterPlayerCommands();
  void RegisterPlaylistCommands();
  void RegisterControlPanelCommands();
  void RegisterPluginCommands();
  void ReportStatus(int status);

  PlayerCore& core_;
  PlayerParts& parts_;
  std::unordered_map<int, std::function<void()>> commands_;
};

// The help page beside the program.
constexpr const char* kHelpFile = "Documentation/qmbhelp.html";

}  // namespace qmb
