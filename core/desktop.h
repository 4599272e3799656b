// The desktop seam: everything the player's logic asks of the desktop (message
// boxes, file and folder dialogs, the input box, keeping windows alive, sleeping,
// the up-time clock, opening a URL). The Qt layer implements it; tests install a
// scripted fake that records every text it was asked to show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qmb {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // A modal message box owned by the active window; returns the button pressed.
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;

  // The system open or save dialog. `filter` is in the Qt form ("Desc (*.a *.b);;...").
  // Open with `multiple` returns every chosen full path; an empty vector when cancelled.
  virtual std::vector<std::string> ChooseFiles(const std::string& title, const std::string& filter,
                                               bool save, bool multiple,
                                               const std::string& initialFolder,
                                               const std::string& defaultExtension) = 0;

  // The folder-browse dialog; empty when cancelled.
  virtual std::string ChooseFolderPath(const std::string& title,
                                       const std::string& initialFolder) = 0;

  // A one-line input box; nothing when cancelled.
  virtual std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                             const std::string& initialText) = 0;

  // Handles pending window messages so long loops keep the windows alive.
  virtual void ProcessPendingEvents() = 0;
  virtual void SleepMs(int milliseconds) = 0;
  // Milliseconds since the system started.
  virtual std::int64_t UpTimeMs() = 0;
  virtual bool OpenUrl(const std::string& url) = 0;
};

// The desktop the logic talks to. Start-up installs the Qt one; tests their own.
Desktop& TheDesktop();
// Installs `desktop` (not owned) and returns the previous one.
Desktop* SetDesktop(Desktop* desktop);

}  // namespace qmb
