#include "core/status_codes.h"

#include <cerrno>
#include <cstring>

#include "core/desktop.h"
#include "core/text_util.h"

namespace qmb {
namespace {

// Texts are the program's own, typos included: plug-ins and users know them.
constexpr const char* kMessages[] = {
    "",
    "There were no errors.",
    "The requested operation cannot be completed becuase you have no plug-ins.",
    "No input plug-ins could be found to play the file.",
    "The input plug-in failed to open the file.",
    "An error occured while opening the file.",
    "A visualization plug-in is already running.",
    "A visualization plug-in is not running.",
    "Error initializing plug-in.",
    "Address of specified function could not be found.",
    "Cannot copy items to clipboard.",
    "There are no items on the clipboard.",
    "User canceled adding a url to playlist.",
    "A copy operation is already in progress, please wait until it is finished.",
    "User canceled copy operation.",
    "An error occured while copying the file to the specified location.",
    "Cannot add unsupported files to the playlist.",
    "Current skin does not allow inverting.",
    "A DSP plug-in is already running.",
    "A DSP plug-in is not running.",
    "No file plug-in could be found for the specified file.",
    "Failed to register window class.",
    "Error loading 'image.so', make sure it is in the app directory.",
    "Error initializing the FMOD sound system engine.",
    "Qumble Player does not recognize this playlist format.",
    "Qumble Player failed to open the file.",
    "Failed to execute property function.",
};
constexpr int kLastCode = 26;
constexpr std::size_t kSystemTextLimit = 199;

}  // namespace

const char* StatusMessage(int code) {
  if (code < 1 || code > kLastCode) return "";
  return kMessages[code];
}

void ShowErrorCode(int code) {
  if (code == kOk) return;
  TheDesktop().ShowMessage(StatusMessage(code), "Error", MessageIcon::Error, MessageButtons::Ok);
}

std::string SystemErrorText(int errorNumber) {
  if (errorNumber == 0) return {};
  char buffer[256] = {};
  // The GNU strerror_r returns the text, which may not be in our buffer.
  const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
  std::string result = text ? text : "";
  CutUtf8(result, kSystemTextLimit);
  return result;
}

std::string SystemErrorText() {
  return SystemErrorText(errno);
}

}  // namespace qmb
